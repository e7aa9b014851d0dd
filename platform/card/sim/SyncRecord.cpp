#include "sim/SyncRecord.h"

#include <algorithm>

namespace cardsim {

void SyncRecord::Arm(int64_t parkedPosition) {
    phase_ = Phase::WaitingForDeck;
    parked_ = parkedPosition;
    ordinal_ = 0;
}

void SyncRecord::Begin(int recordLatencyFrames) {
    phase_ = Phase::Running;
    ordinal_ = 0;
    // A record-play delay longer than the deck's latency lands the frames later on the
    // tape, a shorter one earlier.
    start_ = std::max<int64_t>(parked_ + delay - recordLatencyFrames, 0);
}

}  // namespace cardsim
