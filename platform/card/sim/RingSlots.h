// The card's frame rings: a fixed number of slots, each large enough for a 625/50
// frame, addressed by a running frame index.
#pragma once

#include "KDXCORE.h"

#include <cstddef>
#include <cstdint>

namespace cardsim {

constexpr size_t kRingSlots = PDV_RING_FRAMES;
constexpr size_t kRingSlotBytes = PDV_SLOT_BYTES;

inline size_t RingSlotOf(LONG index) { return static_cast<size_t>(static_cast<uint32_t>(index) % kRingSlots); }

}  // namespace cardsim
