// How well one frame came off the tape: what the deck marked as damaged in it
// (concealed video blocks, invalid audio samples), whether it arrived at all, and the
// recorder's notes that place it (timecode, recording date and time, record start).
#pragma once

#include "DvFrameFacts.h"
#include "Json.h"

#include <cstddef>
#include <cstdint>

struct FrameHealth {
    bool arrived = true;        // false: a frame of the tape the capture lost
    int64_t fileFrame = -1;     // its index in the file; -1 when it did not arrive
    bool hasTimecode = false;
    timecode_t timecode{};
    bool hasRecordingDate = false;
    dv25::RecordingDateTime recorded;
    bool recordingStart = false;
    int concealedBlocks = 0;        // video DIF blocks with a non-zero STA
    uint32_t audioErrorSamples = 0; // samples with the invalid code, all channels
    int64_t missingBefore = 0;      // frames lost between the one before and this one

    bool Damaged() const { return !arrived || concealedBlocks > 0 || audioErrorSamples > 0; }
};

// The health of a frame that arrived, read from its bytes.
FrameHealth ReadFrameHealth(const uint8_t* frame, size_t size, const DvFrameFacts& facts);

// Which of two readings of the same frame to keep: fewer concealed video blocks,
// then fewer invalid audio samples; on a tie the one kept already stays.
bool IsBetterReading(const FrameHealth& candidate, const FrameHealth& kept);

Json FrameHealthJson(const FrameHealth& health);
// Reads an entry FrameHealthJson wrote for a tape counting `fps` (30 or 25); false
// when it is not one.
bool FrameHealthFromJson(const Json& entry, int fps, FrameHealth* out);
