// The figures of a real DV deck (a consumer or DVCAM VCR, or a camcorder in VCR mode)
// as the simulator plays it: slow threading and eject, stale timecode while winding,
// searches that overshoot, stop to reverse and land a frame or two off, searches for
// a timecode not on the tape that fail only at a tape end, INTERIM answers whose final
// answer arrives during the next command, and "No Device" when the deck is unplugged.
#pragma once

#include "sim/SimTypes.h"

namespace cardsim {

// Sets the mechanics and AV/C manners of `model` to a real deck's; the edit selector,
// cassette type, SMPTE support and record latency are left as they are.
void ApplyRealDeckProfile(DeckModel* model);
// The same fields back to the tidy, fast deck of the defaults.
void ApplyFastDeckProfile(DeckModel* model);

}  // namespace cardsim
