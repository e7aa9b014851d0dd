// dvio print: a raw DV file (and its audio, or a WAV file) printed to tape through the
// plug-in's VideoOut and AudioOut streams, as a plain record or as an insert or
// assemble edit between In and Out; then the tape read back and compared with what
// was sent.
#pragma once

#include "PluginHost.h"

#include <cstdint>
#include <ostream>
#include <string>

struct PrintRequest {
    std::string dvPath;
    std::string wavPath;   // empty: the DV file's own audio
    std::string startTc;   // the timecode stamped on a plain print; empty: the tape's where it lands
    bool insert = false;
    bool assemble = false;
    std::string in, out;   // edit points (a plain print is cued to In)
    int64_t preroll = -1;  // frames; -1: kDefaultPrerollFrames
    bool videoOnly = false;
    bool audioOnly = false;
    std::string standard;  // ntsc or pal from the command line; empty: the deck's
};

int RunPrint(PluginHost& host, const PrintRequest& request, bool json, std::ostream& out, std::ostream& err);

// Frames of run-up before In when none is asked for.
constexpr int64_t kDefaultPrerollFrames = 90;
// Deck seconds a cue may take, and without a frame played before the print is given up.
constexpr double kCueSeconds = 120.0;
constexpr double kStallSeconds = 5.0;

namespace CLI {
class App;
}
// The print command's arguments and options.
void AddPrintOptions(CLI::App* command, PrintRequest* request);
