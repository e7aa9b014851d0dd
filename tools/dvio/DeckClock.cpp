#include "DeckClock.h"

#include <algorithm>
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

namespace {

// The most one Tick counts: a few polls.
constexpr std::chrono::milliseconds kMostPerTick{20};

}  // namespace

void WaitingDeckTime::Restart() {
    last_ = std::chrono::steady_clock::now();
    seconds_ = 0;
}

double WaitingDeckTime::Tick() {
    const auto now = std::chrono::steady_clock::now();
    const auto step = std::min<std::chrono::steady_clock::duration>(now - last_, kMostPerTick);
    last_ = now;
    seconds_ += std::chrono::duration<double>(step).count() * DeckSpeed();
    return seconds_;
}

DeckDeadline::DeckDeadline(double deckSeconds) : end_(std::chrono::steady_clock::now() + DeckToReal(deckSeconds)) {}

bool DeckDeadline::Passed() const { return std::chrono::steady_clock::now() >= end_; }
