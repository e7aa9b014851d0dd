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

// Deck seconds of waiting that count only while dvio itself runs: each Tick adds the
// wall time since the last one, but never more than a short poll's worth. A patience
// meant for the deck (no frame for three deck seconds means the tape ended) is then
// not used up by a host that was not scheduled: on a busy machine, under a sanitizer,
// or in a write held up by the page cache, at a high --speed a tenth of a second of
// wall time is several deck seconds.
class WaitingDeckTime {
public:
    WaitingDeckTime() { Restart(); }
    void Restart();
    // The deck seconds waited so far, this call's share included.
    double Tick();

private:
    std::chrono::steady_clock::time_point last_;
    double seconds_ = 0;
};

class DeckDeadline {
public:
    explicit DeckDeadline(double deckSeconds);
    bool Passed() const;

private:
    std::chrono::steady_clock::time_point end_;
};
