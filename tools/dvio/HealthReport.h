// The frame-by-frame health of a capture or a DV file: one FrameHealth per frame of
// the tape it covered, frames lost on the way included (found as small gaps in the
// timecode), and a summary. Written as JSON for dvio tape report, dvio capture
// --report and dvio capture --redo.
//
//   {"file": ..., "standard": "NTSC"|"PAL",
//    "summary": {"frames", "frames_with_concealment", "concealed_blocks",
//                "frames_with_audio_errors", "audio_error_samples", "missing_frames",
//                "timecode_breaks", "recordings"},
//    "frames": [FrameHealthJson, ...]}
#pragma once

#include "FrameHealth.h"
#include "Json.h"

#include <optional>
#include <string>
#include <vector>

class HealthReport {
public:
    struct Summary {
        int64_t frames = 0;  // frames that arrived
        int64_t framesWithConcealment = 0;
        int64_t concealedBlocks = 0;
        int64_t framesWithAudioErrors = 0;
        int64_t audioErrorSamples = 0;
        int64_t missingFrames = 0;
        int64_t timecodeBreaks = 0;  // jumps that are not frames lost on the way
        int64_t recordings = 0;      // frames marked as a recording's start
    };

    // `expectedFirst`: the timecode the first frame should have (a capture's start),
    // so that frames lost before the first one count too.
    explicit HealthReport(std::optional<timecode_t> expectedFirst = std::nullopt) : expectedFirst_(expectedFirst) {}

    // The next frame of the file, as it arrived.
    void Add(const uint8_t* frame, size_t size, const DvFrameFacts& facts);
    // The next entry as it stands (a frame kept from an earlier reading); frames lost
    // before it are found again from the timecodes.
    void AddHealth(FrameHealth health);

    const std::vector<FrameHealth>& Frames() const { return frames_; }
    Summary Totals() const;
    Json ToJson(const std::string& file, DIO_VideoFormat standard) const;

private:
    std::optional<timecode_t> expectedFirst_;
    std::vector<FrameHealth> frames_;
    int64_t fileFrames_ = 0;
    int64_t breaks_ = 0;
    bool haveLast_ = false;
    timecode_t lastTimecode_{};
    int64_t sinceLast_ = 0;  // frames since the last one with timecode
};

// The largest gap in the timecode taken for frames lost on the way rather than a jump
// on the tape (the device's VideoIn ring: two seconds).
constexpr LONG kLostFramesGap = 60;

// Reads a report ToJson wrote. False with a sentence.
bool ReadHealthReport(const std::string& path, std::string* file, DIO_VideoFormat* standard,
                      std::vector<FrameHealth>* frames, std::string* error);
// Writes the report to `path` ("-" or empty: `out`). False with a sentence.
bool WriteHealthReport(const Json& report, const std::string& path, std::ostream& out, std::string* error);
