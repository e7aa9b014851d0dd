// What a capture did, as the summary at its end says it: in words or as one JSON object.
#pragma once

#include "TimecodeAndFormatRuns.h"
#include "HostStreams.h"
#include "Json.h"
#include "WavSeries.h"

#include <ostream>
#include <string>
#include <vector>

struct CaptureReport {
    struct FormatChange {
        int64_t frame;          // the first frame in the new format
        std::string timecode;   // that frame's timecode
        std::string standard;   // VSIG of the device's record
        std::string sampleRate; // ASRT of the device's record
        bool afterBreak;        // the device marked the record as following unreadable frames
    };

    std::string dvPath;
    std::vector<WavSeries::File> wavFiles;
    int64_t frames = 0;
    TimecodeTrack timecodes;
    FormatTrack formats;
    std::vector<FormatChange> formatChanges;
    InputCounters counters;
    std::string startTimecode;  // empty when the capture started at once
    std::string ended;          // how the capture ended, in words
    double elapsedSeconds = 0;
    int64_t audioSamplesMissing = 0;  // per channel: owed to the frames but never delivered
    std::vector<std::string> notes;

    // Frames lost on the device's side, all counters together.
    int64_t Dropped() const { return int64_t{counters.videoOverruns} + counters.audioOverruns; }

    void PrintText(std::ostream& out) const;
    Json ToJson() const;
};
