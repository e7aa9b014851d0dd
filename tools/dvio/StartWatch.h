// Before the first frame of a capture from a start timecode: what the tape shows, and
// when to give up on the start.
#pragma once

#include "CaptureFailure.h"
#include "TimecodeArg.h"

#include "HostStreams.h"

#include <optional>
#include <string>

class StartWatch {
public:
    // `startText`: the start as the deck counts it.
    StartWatch(HostStreams* streams, const TimecodeArg& start, std::string startText, int framesPerSecond)
        : streams_(streams), device_(streams->Device()), start_(start), startText_(std::move(startText)),
          fps_(framesPerSecond) {}

    // Reads the tape's timecode; a failure (exit 3) once the start has gone by, or
    // once `deckSeconds` since the streams started are past the patience; the
    // device's failure (exit 1) when it received no frames at all meanwhile.
    std::optional<CaptureFailure> Check(double deckSeconds);
    // The last timecode the tape showed ("" before one was seen).
    const std::string& LastSeen() const { return lastSeen_; }

private:
    std::optional<CaptureFailure> NoFramesFromTheCard() const;

    HostStreams* streams_;
    DigitalDevice* device_;
    TimecodeArg start_;
    std::string startText_;
    int fps_;
    std::string firstSeen_, lastSeen_;
};
