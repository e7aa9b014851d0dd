// The card's playback ring.
//
// Contract: PDV_RING_FRAMES slots of PDV_SLOT_BYTES each, addressed by an ever
// increasing frame index, 0 when playback mode opens. The host (one producer) fills
// frames played <= index < played + PDV_RING_FRAMES through their slot addresses and
// marks every frame below an index ready, forward only and at most PDV_RING_FRAMES
// beyond the frames played. The card (one consumer, under the world's lock) plays one
// frame per frame period: the next ready frame, or the last frame again when none is
// ready (an underrun). Played frames count only frames taken from the ring.
#pragma once

#include "windows.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cardsim {

class PlaybackRing {
public:
    // Empties the ring: nothing played, nothing ready, no last frame (mode opens).
    void Reset();
    BYTE* Address(LONG index);
    bool MarkReady(LONG index);

    // One frame period of play: answers the frame on the output (null before any frame
    // was ever ready), and whether it came from the ring (false: an underrun repeat).
    const std::vector<uint8_t>* PlayOne(bool* fresh);
    // The frame shown while paused (null when none yet).
    const std::vector<uint8_t>* Still() const { return haveLast_ ? &last_ : nullptr; }

    LONG Played() const { return played_; }
    LONG Ready() const { return ready_; }
    uint64_t Underruns() const { return underruns_; }

private:
    std::vector<uint8_t> slots_;
    std::vector<uint8_t> last_;
    bool haveLast_ = false;
    LONG played_ = 0;
    LONG ready_ = 0;
    uint64_t underruns_ = 0;
};

}  // namespace cardsim
