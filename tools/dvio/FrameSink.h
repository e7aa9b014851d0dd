// The frame sink of a capture: every frame the device hands out goes through it. It
// drops the lead-in frame, ends the capture at --to, at the frame limit or where the
// tape changes standard, writes the rest to the capture's files, and enters each in the
// report and in the audio writer.
#pragma once

#include "AudioWriter.h"
#include "CaptureReport.h"
#include "OutputSequence.h"
#include "TimecodeArg.h"

#include "digitalio/DIOFormat.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

class FrameSink {
public:
    struct Plan {
        DIO_VideoFormat standard = DIO_NTSC;
        std::optional<TimecodeArg> from;
        std::optional<TimecodeArg> to;
        int64_t frameLimit = -1;     // -1: none
        std::string limitOption;     // "--frames" or "--seconds"
        bool leadIn = false;         // the first frame delivered is the cue's lead-in
    };

    FrameSink(const Plan& plan, OutputSequence* files, AudioWriter* audio, CaptureReport* report)
        : plan_(plan), files_(files), audio_(audio), report_(report) {}

    // Called with every frame written to the file (the frame health report listens).
    using Observer = std::function<void(const uint8_t* frame, size_t size, const DvFrameFacts& facts)>;
    void SetObserver(Observer observer) { observer_ = std::move(observer); }

    // A whole frame from VideoIn; false: it is not taken (the capture has ended).
    bool OnFrame(const uint8_t* frame, size_t size);
    // A format record from VideoIn (it applies from the next frame on).
    void OnFormat(const DIOFormat& format);

    bool Ended() const { return ended_; }
    const std::string& EndReason() const { return endReason_; }
    // Why a file could not be written ("" when it could).
    const std::string& WriteError() const { return writeError_; }
    std::chrono::steady_clock::time_point LastFrameAt() const { return lastFrameAt_; }
    void SetLastFrameAt(std::chrono::steady_clock::time_point at) { lastFrameAt_ = at; }

private:
    bool EndAtStandardChange(const uint8_t* frame, DIO_VideoFormat other);
    void PlacePendingChange(int64_t frame, const std::string& timecode);

    Plan plan_;
    OutputSequence* files_;
    AudioWriter* audio_;
    CaptureReport* report_;
    int64_t deviceFrames_ = 0;  // frames taken from VideoIn, the lead-in included
    bool ended_ = false;
    std::string endReason_;
    std::string writeError_;
    std::optional<CaptureReport::FormatChange> pendingChange_;
    std::chrono::steady_clock::time_point lastFrameAt_;
    Observer observer_;
};
