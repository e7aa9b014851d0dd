// After a print: the tape read back, frame by frame, against what was sent. Each sent
// frame is looked for where it should have landed (In + its index) and, failing that,
// a few frames either side; the pictures are compared by their video blocks (the
// subcode may carry the tape's own timecode), the sound as the stream of samples the
// frames carry, deshuffled from the tape.
#pragma once

#include "Json.h"
#include "PrintFeed.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

struct PrintVerification {
    int64_t expectedPosition = -1;  // tape position where the first frame belonged
    int64_t landedPosition = -1;    // where it was found (-1: nowhere near)
    std::string expectedTimecode, firstTimecode, lastTimecode;  // as the tape reads there
    int64_t frames = 0;    // frames that should have landed
    int64_t exact = 0;     // frames found at their place
    int64_t missing = 0;   // frames not found near their place
    int64_t shifted = 0;   // frames found a few frames from their place
    int64_t extra = 0;     // sent pictures found just outside the edit
    // A plain record also takes the card's lead-in still of frame 1 and, until the deck
    // stops, the last frame held: reported, not faults.
    bool plainRecord = false;
    int64_t leadIn = 0, held = 0;
    bool videoChecked = false, videoIdentical = false;
    bool audioChecked = false, audioIdentical = false;
    int64_t samplesCompared = 0;  // per channel
    std::vector<std::string> problems;  // where it went wrong, in tape order (the first few)

    bool Exact() const {
        return landedPosition == expectedPosition && missing == 0 && shifted == 0 && extra == 0 &&
               (!videoChecked || videoIdentical) && (!audioChecked || audioIdentical);
    }
    void PrintText(std::ostream& out) const;
    Json ToJson() const;
};

// Compares the tape from `expectedPosition` with frames [0, frames) of `source`:
// their pictures when `video`, their sound when `audio`.
PrintVerification VerifyPrint(const PrintSource& source, int64_t frames, int64_t expectedPosition, bool video,
                              bool audio, bool plainRecord);

// The video blocks of two frames agree (headers, subcode, VAUX and audio blocks aside).
bool SameVideoBlocks(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);
