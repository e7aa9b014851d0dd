// The errors a deck reports inside a DV25 frame it played: video blocks whose STA
// nibble (byte 3, b7-b4) is not 0000, i.e. blocks the deck concealed (replaced with
// other picture data) or could not read, and audio samples carrying the invalid-sample
// code (0x8000 in 16-bit, 0x800 in 12-bit audio) where it lost them.
#pragma once

#include "digitalio/DIOTypes.h"

#include <cstdint>

namespace dv25 {

// STA "error concealed with the previous frame's data".
constexpr uint8_t kConcealedSta = 0x2;

// Video blocks of the frame with a non-zero STA.
int CountErroredVideoBlocks(const uint8_t* frame, DIO_VideoFormat standard);

// Invalid-sample codes among the frame's samples, all channels together; 0 when the
// frame's audio format cannot be read.
uint32_t CountInvalidSamples(const uint8_t* frame, DIO_VideoFormat standard);

// Damage as a deck reports it, for the simulator and tests: the STA of `blocks` video
// blocks (spread over the sequences: block i is in sequence i mod the sequences) set
// to kConcealedSta, and the first `samples` samples of every channel replaced by the
// invalid code. Counts beyond the frame's capacity are cut to it.
void MarkErroredVideoBlocks(uint8_t* frame, DIO_VideoFormat standard, int blocks);
void MarkInvalidSamples(uint8_t* frame, DIO_VideoFormat standard, uint32_t samples);

}  // namespace dv25
