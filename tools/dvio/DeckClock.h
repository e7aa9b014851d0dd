// Time as the simulated deck lives it: with --speed X the deck's world runs X times
// faster than the wall clock, so waits that are about the tape (let it play two
// seconds, give a seek a minute) are given in deck seconds. The speed is dvio's own
// setting, made once from its options.
#pragma once

#include <chrono>

// The deck's speed against the wall clock (1 until set; values not above 0 count as 1).
void SetDeckSpeed(double speed);
double DeckSpeed();

// Wall-clock duration of `deckSeconds` at the deck's speed.
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
