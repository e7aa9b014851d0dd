// The card's synchronised record: the parameters a host stores beforehand and the
// run that PdvSyncRecNoParam starts.
//
// The run waits while the deck is still moving into record pause (the card holds its
// output meanwhile), then plays: the first frame played is the lead-in and is not
// recorded; frame k >= 1 lands at parked position + (delay - deck latency) + k - 1;
// after `numFrames` frames (or, for 0 or less, when playback stops) the deck returns
// to record pause. Not locked: the world's lock guards it.
#pragma once

#include "windows.h"

#include <cstdint>

namespace cardsim {

class SyncRecord {
public:
    enum class Phase { Idle, WaitingForDeck, Running };

    LONG delay = 0;
    LONG pauseFlying = 0;
    LONG numFrames = 0;

    void Arm(int64_t parkedPosition);
    // The deck is in record pause: the run starts with this frame period.
    void Begin(int recordLatencyFrames);
    void Stop() { phase_ = Phase::Idle; }

    Phase CurrentPhase() const { return phase_; }
    bool Holding() const { return phase_ == Phase::WaitingForDeck; }
    bool Running() const { return phase_ == Phase::Running; }
    // Ordinal of the next frame the card plays in this run (0 = the lead-in).
    LONG NextOrdinal() const { return ordinal_; }
    void CountFramePlayed() { ++ordinal_; }
    // Where frame 1 lands on the tape.
    int64_t StartPosition() const { return start_; }
    // True once frame `ordinal` was the last one to record.
    bool IsLastFrame(LONG ordinal) const { return numFrames > 0 && ordinal >= numFrames; }

private:
    Phase phase_ = Phase::Idle;
    int64_t parked_ = 0;
    int64_t start_ = 0;
    LONG ordinal_ = 0;
};

}  // namespace cardsim
