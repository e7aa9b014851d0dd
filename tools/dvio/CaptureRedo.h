// dvio capture --redo: captures the damaged parts of an earlier capture again. It
// reads the capture's frame health report, cues the deck to each run of damaged or
// lost frames (a run closer than kRedoMergeFrames to the next is taken with it) and
// captures it again, up to kRedoPasses times while something in it is still damaged.
// Of all readings of a frame it keeps the best (IsBetterReading: fewer concealed video
// blocks, then fewer invalid audio samples, the earlier reading on a tie), writes the
// capture with those frames as a new file, the new file's report, and a summary of
// what was recovered and what was not.
#pragma once

#include "PluginHost.h"

#include <ostream>
#include <string>

struct RedoRequest {
    std::string reportPath;  // the earlier capture's report
    std::string outPath;     // the merged capture
    std::string newReportPath;  // its report
    std::string standard;    // ntsc or pal from the command line; empty: what the deck plays
};

constexpr int kRedoPasses = 3;
constexpr int64_t kRedoMergeFrames = 30;

// OUT's default: the captured file's name with "-redone" before its extension.
std::string DefaultRedoPath(const std::string& capturedPath);
// The new report's default: OUT with ".json" for its extension.
std::string DefaultRedoReportPath(const std::string& outPath);
// The temporary files of one pass, next to OUT (removed after each pass).
std::string RedoPassDvPath(const std::string& outPath);
std::string RedoPassWavPath(const std::string& outPath);

int RunCaptureRedo(PluginHost& host, const RedoRequest& request, bool json, std::ostream& out, std::ostream& err);
