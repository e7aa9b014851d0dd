// Timecode labels as a deck counts them: frame counts from 00:00:00:00 with drop-frame
// rules for 525/60 drop-frame material, 25 frames a second for 625/50.
#pragma once

#include "digitalio/DIOTypes.h"
#include "sim/SimTypes.h"

namespace cardsim {

// Frames per second of the standard's timecode (30 or 25).
int TimecodeRate(DIO_VideoFormat standard);
// False for fields out of range and for the labels drop-frame counting skips.
bool IsValidLabel(const TapeTimecode& label, DIO_VideoFormat standard);
LONG LabelToFrameCount(const TapeTimecode& label, DIO_VideoFormat standard);
// The label of a frame count (taken modulo one day).
TapeTimecode LabelFromFrameCount(LONG count, DIO_VideoFormat standard, bool dropFrame);
// `label` moved by `frames` (within the day).
TapeTimecode ShiftLabel(const TapeTimecode& label, DIO_VideoFormat standard, LONG frames);

}  // namespace cardsim
