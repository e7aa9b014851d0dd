#include "DeckClock.h"

#include <atomic>
#include <thread>

namespace {

std::atomic<double> g_speed{1.0};

}  // namespace

void SetDeckSpeed(double speed) { g_speed.store(speed > 0 ? speed : 1.0); }

double DeckSpeed() { return g_speed.load(); }

std::chrono::steady_clock::duration DeckToReal(double deckSeconds) {
    const double real = deckSeconds > 0 ? deckSeconds / DeckSpeed() : 0;
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(real));
}

void SleepDeckSeconds(double deckSeconds) { std::this_thread::sleep_for(DeckToReal(deckSeconds)); }

void SleepPoll() { std::this_thread::sleep_for(std::chrono::milliseconds(5)); }

DeckDeadline::DeckDeadline(double deckSeconds) : end_(std::chrono::steady_clock::now() + DeckToReal(deckSeconds)) {}

bool DeckDeadline::Passed() const { return std::chrono::steady_clock::now() >= end_; }
