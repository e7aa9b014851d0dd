// The capture card's deck code for a shuttle speed, for when the deck-control library
// cannot get a shuttle through.
#pragma once

#include "windows.h"

namespace dv1394 {

// Speed 0 is a still; 1..20, 21..40, 41..60, 61..80 and 81 upwards are the five
// forward speeds, slowest first; -1..-19, -20..-39, -40..-59, -60..-79 and -80
// downwards the reverse ones.
LONG ShuttleSpeedToDeckCode(LONG speed);

}  // namespace dv1394
