#include "sim/PlaybackRing.h"

#include "sim/DVFrameLayout.h"
#include "sim/RingSlots.h"

#include <cstring>

namespace cardsim {

void PlaybackRing::Reset() {
    if (slots_.empty()) slots_.assign(kRingSlots * kRingSlotBytes, 0);
    haveLast_ = false;
    last_.clear();
    played_ = 0;
    ready_ = 0;
    underruns_ = 0;
}

BYTE* PlaybackRing::Address(LONG index) {
    if (slots_.empty() || index < played_ || index - played_ >= static_cast<LONG>(kRingSlots)) return nullptr;
    return slots_.data() + RingSlotOf(index) * kRingSlotBytes;
}

bool PlaybackRing::MarkReady(LONG index) {
    if (index < ready_ || index - played_ > static_cast<LONG>(kRingSlots)) return false;
    ready_ = index;
    return true;
}

const std::vector<uint8_t>* PlaybackRing::PlayOne(bool* fresh) {
    *fresh = false;
    if (ready_ > played_ && !slots_.empty()) {
        // The slot may be refilled for a later index once played, so the frame on the
        // output is kept aside. Its length comes from its own header; bytes that are not
        // a DV frame go out as a whole slot.
        const uint8_t* slot = slots_.data() + RingSlotOf(played_) * kRingSlotBytes;
        size_t size = FrameSize(FrameStandard(slot, kRingSlotBytes));
        if (size == 0) size = kRingSlotBytes;
        last_.assign(slot, slot + size);
        haveLast_ = true;
        ++played_;
        *fresh = true;
    } else {
        ++underruns_;
    }
    return haveLast_ ? &last_ : nullptr;
}

}  // namespace cardsim
