// Reads one channel's samples out of a DV25 frame's shuffled audio blocks.
#pragma once

#include "digitalio/DIOTypes.h"
#include "digitalio/dv25/AudioLimits.h"

#include <cstdint>

namespace dv25 {

// True when every audio block of the frame carries its own ID (section, sequence,
// block number): a frame with a misplaced or damaged block is not trusted.
bool AudioBlockIdsValid(const uint8_t* frame, DIO_VideoFormat standard);

// Writes `samples` little-endian 16-bit samples of DV channel `channel` (0..3) into
// `out` (2 * samples bytes). Missing-sample codes read as silence. The caller has
// checked that the mode carries the channel and that `samples` fits the mode.
void ReadChannel(const uint8_t* frame, DIO_VideoFormat standard, Quantization quantization, int channel,
                 uint32_t samples, uint8_t* out);

}  // namespace dv25
