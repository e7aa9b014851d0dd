#include "sim/SimClock.h"

#include "hostcore/HostLog.h"

#include <cmath>

namespace cardsim {

SimClock::SimClock() { Reset(); }

void SimClock::Reset() {
    speed_ = 1.0;
    manual_ = false;
    realBaseMicros_ = HostMicroseconds();
    simBase_ = 0;
    last_ = 0;
}

SimTime SimClock::ScaledNow() const {
    if (manual_) return simBase_;
    const double elapsed = static_cast<double>(HostMicroseconds() - realBaseMicros_) * speed_;
    return simBase_ + static_cast<SimTime>(std::llround(elapsed)) * kSimUnitsPerMicrosecond;
}

SimTime SimClock::Now() {
    const SimTime now = ScaledNow();
    if (now > last_) last_ = now;
    return last_;
}

void SimClock::Rebase() {
    simBase_ = Now();
    realBaseMicros_ = HostMicroseconds();
}

bool SimClock::SetSpeed(double factor) {
    if (!(factor > 0.0) || factor > 1000.0 || std::isnan(factor)) return false;
    Rebase();
    speed_ = factor;
    return true;
}

void SimClock::SetManual(bool manual) {
    Rebase();
    manual_ = manual;
}

void SimClock::Advance(int64_t microseconds) {
    if (!manual_ || microseconds <= 0) return;
    simBase_ = Now() + microseconds * kSimUnitsPerMicrosecond;
}

}  // namespace cardsim
