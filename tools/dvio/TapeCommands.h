// dvio tape: DV files as tapes, without the plug-in. These are tools over the host
// library (the same DV25 readers and writers the plug-in uses), not a host.
#pragma once

#include <ostream>
#include <string>

struct TapeNewRequest {
    std::string path;
    double seconds = 10;
    std::string start;     // a timecode; empty: 00:00:00;00 (NTSC) or 00:00:00:00 (PAL)
    std::string standard = "ntsc";
    int rate = 48000;
    int channels = 2;
    std::string recorded;  // "YYYY-MM-DD HH:MM:SS" of the first frame; empty: no stamp
    bool blank = false;    // an empty, blank cassette instead of a test tape
};

int RunTapeNew(const TapeNewRequest& request, bool json, std::ostream& out, std::ostream& err);
int RunTapeInfo(const std::string& path, bool json, std::ostream& out, std::ostream& err);
// The frame-by-frame health report of a DV file (HealthReport.h) to `reportPath`, or
// to `out` when it is empty.
int RunTapeReport(const std::string& path, const std::string& reportPath, std::ostream& out, std::ostream& err);
int RunTapeAudio(const std::string& dvPath, const std::string& wavPath, bool json, std::ostream& out,
                 std::ostream& err);
