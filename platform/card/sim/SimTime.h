// Simulated time. The world counts time in thirds of a nanosecond so that both frame
// periods are whole numbers (525/60: 1001/30000 s, 625/50: 1/25 s) and a long run of
// frames never drifts.
#pragma once

#include "digitalio/DIOTypes.h"

#include <cstdint>

namespace cardsim {

using SimTime = int64_t;

constexpr SimTime kSimUnitsPerMicrosecond = 3000;
constexpr SimTime kSimUnitsPerMillisecond = 3000 * 1000;
constexpr SimTime kFramePeriod525 = 100100000;  // 1001/30000 s
constexpr SimTime kFramePeriod625 = 120000000;  // 1/25 s
constexpr SimTime kNever = INT64_MAX;

inline SimTime FramePeriod(DIO_VideoFormat standard) {
    return standard == DIO_PAL ? kFramePeriod625 : kFramePeriod525;
}

inline SimTime MillisecondsToSim(int64_t ms) { return ms * kSimUnitsPerMillisecond; }
inline int64_t SimToMicroseconds(SimTime t) { return t / kSimUnitsPerMicrosecond; }

}  // namespace cardsim
