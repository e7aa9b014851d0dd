#include "DeckClock.h"

#include "sim/SimControl.h"

#include <thread>

std::chrono::steady_clock::duration DeckToReal(double deckSeconds) {
    double speed = cardsim::Speed();
    if (!(speed > 0)) speed = 1;
    const double real = deckSeconds > 0 ? deckSeconds / speed : 0;
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(real));
}

void SleepDeckSeconds(double deckSeconds) { std::this_thread::sleep_for(DeckToReal(deckSeconds)); }

void SleepPoll() { std::this_thread::sleep_for(std::chrono::milliseconds(5)); }

DeckDeadline::DeckDeadline(double deckSeconds) : end_(std::chrono::steady_clock::now() + DeckToReal(deckSeconds)) {}

bool DeckDeadline::Passed() const { return std::chrono::steady_clock::now() >= end_; }
