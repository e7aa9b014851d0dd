// The world's clock: the platform's monotonic clock times a speed factor, or a manual
// clock that only moves when told (for tests that need exact frame counts).
// Not locked: the world's lock guards it.
#pragma once

#include "sim/SimTime.h"

namespace cardsim {

class SimClock {
public:
    SimClock();

    // Simulated time now; never goes backwards.
    SimTime Now();

    // Speeds up (> 1) or slows down the world; the time reached so far is kept.
    // Factors outside (0, 1000] are refused.
    bool SetSpeed(double factor);
    double Speed() const { return speed_; }

    // A manual clock stands still until Advance moves it.
    void SetManual(bool manual);
    bool IsManual() const { return manual_; }
    void Advance(int64_t microseconds);

    // Back to time 0, real time, speed 1.
    void Reset();

private:
    SimTime ScaledNow() const;
    void Rebase();

    double speed_ = 1.0;
    bool manual_ = false;
    int64_t realBaseMicros_ = 0;  // platform clock at the last rebase
    SimTime simBase_ = 0;         // simulated time at the last rebase
    SimTime last_ = 0;
};

}  // namespace cardsim
