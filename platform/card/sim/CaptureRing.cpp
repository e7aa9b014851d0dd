#include "sim/CaptureRing.h"

#include "KDXCORE.h"

#include <cstring>

namespace cardsim {

namespace {
constexpr size_t kSlots = PDV_RING_FRAMES;
constexpr size_t kSlotBytes = PDV_SLOT_BYTES;
size_t SlotOf(LONG index) { return static_cast<size_t>(static_cast<uint32_t>(index) % kSlots); }
}  // namespace

void CaptureRing::Reset() {
    if (slots_.empty()) slots_.resize(kSlots * kSlotBytes);
    counter_ = 0;
    released_ = 0;
    ringFullDrops_ = 0;
}

uint8_t* CaptureRing::BeginStore() {
    if (slots_.empty()) Reset();
    if (counter_ - released_ >= static_cast<LONG>(kSlots)) {
        ++ringFullDrops_;
        return nullptr;
    }
    return slots_.data() + SlotOf(counter_) * kSlotBytes;
}

void CaptureRing::CommitStore(size_t size) {
    if (slots_.empty() || size > kSlotBytes || counter_ - released_ >= static_cast<LONG>(kSlots)) return;
    // The rest of a 625/50-sized slot holding a 525/60 frame reads as zero, never as
    // an older frame.
    std::memset(slots_.data() + SlotOf(counter_) * kSlotBytes + size, 0, kSlotBytes - size);
    ++counter_;
}

BYTE* CaptureRing::Address(LONG index) {
    if (slots_.empty() || index < released_ || index >= counter_) return nullptr;
    return slots_.data() + SlotOf(index) * kSlotBytes;
}

bool CaptureRing::Release(LONG index) {
    if (index < released_ || index > counter_) return false;
    released_ = index;
    return true;
}

}  // namespace cardsim
