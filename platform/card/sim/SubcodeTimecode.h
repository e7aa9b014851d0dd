// The deck's own reading of the timecode in a frame's subcode (what a VCR shows and
// searches for), independent of the host library so that the two can be checked
// against each other.
#pragma once

#include "digitalio/DIOTypes.h"
#include "sim/SimTypes.h"

#include <cstdint>

namespace cardsim {

// Scans every timecode pack (0x13) of both subcode blocks of every sequence, ignores
// packs that are all 0xFF or not valid BCD, and answers the value most copies show.
// False when no valid copy exists.
bool ReadSubcodeTimecode(const uint8_t* frame, DIO_VideoFormat standard, TapeTimecode* timecode);

// Rewrites every existing timecode pack with `timecode`, keeping the flag bits that are
// not part of the value. Answers how many packs were rewritten.
int RewriteSubcodeTimecode(uint8_t* frame, DIO_VideoFormat standard, const TapeTimecode& timecode);

}  // namespace cardsim
