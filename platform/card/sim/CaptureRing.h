// The card's capture ring.
//
// Contract: PDV_RING_FRAMES slots of PDV_SLOT_BYTES each. The card (one producer,
// under the world's lock) stores each arriving frame into the next free slot; the
// counter counts frames stored. The host reads frames released <= n < counter through
// their slot addresses and releases them in order. A frame that arrives while every
// slot holds an unreleased frame is dropped and counted. A slot handed out is not
// written again until the host releases it.
#pragma once

#include "windows.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cardsim {

class CaptureRing {
public:
    // Empties the ring and sets the counter to 0 (capture mode begins).
    void Reset();
    // The slot for the next arriving frame, or null (and one more drop) when every
    // slot is taken. The frame counts once CommitStore is called.
    uint8_t* BeginStore();
    // Stores the frame written into the slot from BeginStore (`size` bytes of it; the
    // rest of the slot is cleared).
    void CommitStore(size_t size);
    // The slot of frame `index`, or null outside released <= index < counter.
    BYTE* Address(LONG index);
    // Releases every frame below `index`; false when it would move back or past the counter.
    bool Release(LONG index);

    LONG Counter() const { return counter_; }
    LONG Released() const { return released_; }
    uint64_t RingFullDrops() const { return ringFullDrops_; }

private:
    std::vector<uint8_t> slots_;
    LONG counter_ = 0;
    LONG released_ = 0;
    uint64_t ringFullDrops_ = 0;
};

}  // namespace cardsim
