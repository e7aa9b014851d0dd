// Time as the simulated deck lives it: with --speed X the deck's world runs X times
// faster than the wall clock, so waits that are about the tape (let it play two
// seconds, give a seek a minute) are given in deck seconds.
#pragma once

#include <chrono>

// Wall-clock duration of `deckSeconds` at the simulator's current speed.
std::chrono::steady_clock::duration DeckToReal(double deckSeconds);
void SleepDeckSeconds(double deckSeconds);
// Sleeps a short poll interval of wall-clock time.
void SleepPoll();

class DeckDeadline {
public:
    explicit DeckDeadline(double deckSeconds);
    bool Passed() const;

private:
    std::chrono::steady_clock::time_point end_;
};
