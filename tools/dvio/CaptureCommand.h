// dvio capture: frames from the deck through the plug-in's VideoIn and AudioIn streams
// into a raw .dv file and a WAV series, from an optional start timecode to an end
// condition, with a status line while it runs and a summary at its end.
#pragma once

#include "OutputFormat.h"
#include "PluginHost.h"
#include "SplitRule.h"

#include <ostream>
#include <string>

struct CaptureRequest {
    std::string dvPath;    // "-": standard output
    std::string wavPath;   // empty: the .dv path with .wav for its extension (none for "-")
    std::string from;      // start timecode; empty: capture from where the tape is
    std::string to;        // end timecode (the first frame not captured)
    int64_t frames = -1;   // or a number of frames
    double seconds = -1;   // or a duration
    std::string standard;  // ntsc or pal from the command line; empty: what the deck plays
    OutputFormat format = OutputFormat::Dv;  // --format, or what OUT's extension names
    SplitRule split;       // --split
    std::string name;      // --name: the files' name pattern (see FileNames.h)
    std::string tape;      // the cassette file; empty: the built-in tape
    bool force = false;    // files that exist may be overwritten
    std::string reportPath;  // the frame health report (HealthReport.h); empty: none
};

class OutputFiles;

// Runs the capture. `outputs` were checked; when nothing was captured, the files the
// run created are removed. The summary goes to `out`, or to `err` when the DV stream
// goes to standard output.
int RunCapture(PluginHost& host, const CaptureRequest& request, const OutputFiles& outputs, bool json,
               std::ostream& out, std::ostream& err);

// Frames the deck is cued before a start timecode, so that the transport is up to
// speed when the start comes by; the device accepts up to 30 frames of lead-in.
constexpr LONG kCuePrerollFrames = 10;
// Frames the tape is stepped back from a start that follows a break.
constexpr int kStartStepsBack = 3;
// Deck seconds without a new frame after which the tape is taken to have run out.
constexpr double kTapeEndSeconds = 3.0;
// Deck seconds to wait for the first frame (without a start timecode) or for the
// start timecode to come by.
constexpr double kFirstFrameSeconds = 10.0;

// The WAV path that goes with a .dv path: its extension replaced by .wav.
std::string DefaultWavPath(const std::string& dvPath);
// The capture's WAV path: --wav, or the default one; none (empty) for a DV stream to
// standard output, a container (it holds the audio) or WAV files that follow split
// files, unless --wav names one.
std::string WavPathOf(const CaptureRequest& request);
// Each raw DV file of a capture with --split or --name gets WAV files of its own name.
bool WavsFollowFiles(const CaptureRequest& request);
