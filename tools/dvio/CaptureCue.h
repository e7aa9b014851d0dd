// The cue step of a capture: puts the tape where the capture begins, with the
// transport stopped so that no still picture reaches the streams before they run.
#pragma once

#include "CaptureFailure.h"
#include "Deck.h"

#include "hostcore/Timecode.h"

#include <optional>

class CaptureCue {
public:
    explicit CaptureCue(Deck* deck) : deck_(deck) {}

    // Cues to `start` (or, without one, leaves a playing deck playing and stops any
    // other).
    std::optional<CaptureFailure> Cue(const std::optional<timecode_t>& start);

    // The device is to start one frame before the start, and that frame is dropped.
    bool LeadIn() const { return leadIn_; }
    // The deck was playing and no start was asked for: the capture takes it as it is.
    bool DeckWasPlaying() const { return deckWasPlaying_; }

private:
    int StepBack(int steps);

    Deck* deck_;
    bool leadIn_ = false;
    bool deckWasPlaying_ = false;
};
