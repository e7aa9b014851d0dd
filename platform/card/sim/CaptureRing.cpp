#include "sim/CaptureRing.h"

#include "sim/RingSlots.h"

#include <cstring>

namespace cardsim {

void CaptureRing::Reset() {
    if (slots_.empty()) slots_.resize(kRingSlots * kRingSlotBytes);
    counter_ = 0;
    released_ = 0;
    ringFullDrops_ = 0;
}

uint8_t* CaptureRing::BeginStore() {
    if (slots_.empty()) Reset();
    if (counter_ - released_ >= static_cast<LONG>(kRingSlots)) {
        ++ringFullDrops_;
        return nullptr;
    }
    return slots_.data() + RingSlotOf(counter_) * kRingSlotBytes;
}

void CaptureRing::CommitStore(size_t size) {
    if (slots_.empty() || size > kRingSlotBytes || counter_ - released_ >= static_cast<LONG>(kRingSlots)) return;
    // The rest of a 625/50-sized slot holding a 525/60 frame reads as zero, never as
    // an older frame.
    std::memset(slots_.data() + RingSlotOf(counter_) * kRingSlotBytes + size, 0, kRingSlotBytes - size);
    ++counter_;
}

BYTE* CaptureRing::Address(LONG index) {
    if (slots_.empty() || index < released_ || index >= counter_) return nullptr;
    return slots_.data() + RingSlotOf(index) * kRingSlotBytes;
}

bool CaptureRing::Release(LONG index) {
    if (index < released_ || index > counter_) return false;
    released_ = index;
    return true;
}

}  // namespace cardsim
