#include "sim/PlaybackRing.h"

#include "KDXCORE.h"
#include "sim/DVFrameLayout.h"

#include <cstring>

namespace cardsim {

namespace {
constexpr size_t kSlots = PDV_RING_FRAMES;
constexpr size_t kSlotBytes = PDV_SLOT_BYTES;
size_t SlotOf(LONG index) { return static_cast<size_t>(static_cast<uint32_t>(index) % kSlots); }
}  // namespace

void PlaybackRing::Reset() {
    if (slots_.empty()) slots_.assign(kSlots * kSlotBytes, 0);
    haveLast_ = false;
    last_.clear();
    played_ = 0;
    ready_ = 0;
    underruns_ = 0;
}

BYTE* PlaybackRing::Address(LONG index) {
    if (slots_.empty() || index < played_ || index - played_ >= static_cast<LONG>(kSlots)) return nullptr;
    return slots_.data() + SlotOf(index) * kSlotBytes;
}

bool PlaybackRing::MarkReady(LONG index) {
    if (index < ready_ || index - played_ > static_cast<LONG>(kSlots)) return false;
    ready_ = index;
    return true;
}

const std::vector<uint8_t>* PlaybackRing::PlayOne(bool* fresh) {
    *fresh = false;
    if (ready_ > played_ && !slots_.empty()) {
        // The slot may be refilled for a later index once played, so the frame on the
        // output is kept aside. Its length comes from its own header; bytes that are not
        // a DV frame go out as a whole slot.
        const uint8_t* slot = slots_.data() + SlotOf(played_) * kSlotBytes;
        size_t size = FrameSize(FrameStandard(slot, kSlotBytes));
        if (size == 0) size = kSlotBytes;
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
