// 12-bit non-linear audio codes and 16-bit linear samples.
//
// The code is segment-linear: 0..511 map to themselves, each following octave of
// the 16-bit range takes 256 codes with one more low bit dropped; negative values are
// the one's complement of the positive code, so the code reads as a 12-bit two's
// complement number. 0x800 never comes out of the compressor: it marks a missing sample.
#pragma once

#include <cstdint>

namespace dv25 {

constexpr uint16_t kMissingSample12 = 0x800;
constexpr uint16_t kMissingSample16 = 0x8000;

// A 16-bit sample to its 12-bit code (truncating the dropped bits toward zero
// magnitude within the segment).
uint16_t Compress12(int16_t sample);
// A 12-bit code to a 16-bit sample; the missing-sample code gives 0 (silence).
int16_t Expand12(uint16_t code);
// The whole expansion as a 4096-entry table, for loops over many codes.
const int16_t* ExpansionTable();

}  // namespace dv25
