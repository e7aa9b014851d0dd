// The device's running count of the frames and samples it delivered to AudioIn, read
// against the frames' own sample counts. The first frame after a start may carry
// another number of samples than its own (the device silences a frame it takes as a
// repeat); two readings at different frame counts that agree tell how many.
#pragma once

#include "windows.h"

#include <cstdint>
#include <optional>
#include <vector>

class DeliveryCount {
public:
    // A reading: `frames` delivered, `samples` per channel in them. `counts` holds the
    // samples of each frame handed out so far, in order; a reading about frames not
    // handed out yet is ignored.
    void Offer(LONG frames, LONG samples, const std::vector<uint32_t>& counts);

    // The first frame's samples, once two readings agree.
    std::optional<int64_t> FirstFrame() const { return agreed_; }
    // From the latest reading alone.
    std::optional<int64_t> Guess() const;

    // The latest reading compared with what the frames carry (the first frame as
    // learnt): false when they agree or nothing can be said.
    bool Mismatch(LONG* frames, int64_t* delivered, int64_t* carried) const;

private:
    struct Reading {
        LONG frames;
        int64_t samples;
        int64_t first;  // the first frame's samples this reading implies
        int64_t rest;   // the samples of the frames after the first
    };
    std::optional<Reading> last_;
    std::optional<int64_t> agreed_;
};
