// The audio shuffle: where sample n of a frame's channel block lies in the frame.
//
// Consecutive samples are spread over sequences and blocks so that a tape dropout
// loses scattered samples instead of a run: sample n goes to sequence
// (n/3 + 2(n%3)) mod H of its half, block 3(n%3) + (n mod P)/(P/3), at byte
// 8 + w*(n/P) of the block, where H is the sequences per half, P = 9H and w the
// bytes per slot (2 for a 16-bit sample, 3 for a 12-bit pair).
#pragma once

#include "digitalio/DIOTypes.h"
#include "digitalio/dv25/AudioLimits.h"

#include <cstdint>

namespace dv25 {

struct AudioShuffleTable {
    // offsets[n] for n < count: frame offset of slot n in the first half. The second
    // half's slot is `secondHalf` bytes later. The table covers every slot of the
    // half exactly once (count = capacity).
    const uint32_t* offsets;
    uint32_t count;
    uint32_t secondHalf;
};

// Built once per standard and mode; null offsets for an unknown standard.
AudioShuffleTable ShuffleTableFor(DIO_VideoFormat standard, Quantization quantization);

}  // namespace dv25
