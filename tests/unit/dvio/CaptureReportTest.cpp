// A capture's account of the frames it lost: each frame of the tape it covered that is
// not in the file is counted once, by its cause.
#include "CaptureReport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

DvFrameFacts Frame(int64_t tapeFrame) {
    DvFrameFacts facts;
    facts.standard = DIO_PAL;
    facts.hasTimecode = true;
    facts.timecode = {0, static_cast<ULONG>(tapeFrame / 1500), static_cast<ULONG>(tapeFrame / 25 % 60),
                      static_cast<ULONG>(tapeFrame % 25)};
    facts.audioReadable = true;
    return facts;
}

struct Case {
    const char* what;
    std::vector<int64_t> tapeFrames;  // the tape frame of each frame in the file
    LONG videoOverruns;
    LONG audioOverruns;
    int64_t damagedAt;                // a frame after unreadable ones (-1: none)
    const char* dropped;
};

TEST(CaptureReport, EachLostFrameIsCountedOnceByItsCause) {
    const Case cases[] = {
        {"nothing lost", {0, 1, 2, 3}, 0, 0, -1, "dropped        0 (not delivered 0, damaged 0, ring overruns 0;"},
        {"a gap the device did not explain", {0, 1, 12, 13}, 0, 0, -1,
         "dropped        10 (not delivered 10, damaged 0, ring overruns 0;"},
        // An overrun loses the frame's video and its audio: one frame, not two.
        {"overruns", {0, 1, 7, 8}, 5, 5, -1, "dropped        5 (not delivered 0, damaged 0, ring overruns 5;"},
        // The device also counts a backlog that lost nothing.
        {"a backlog", {0, 1, 2, 3}, 5, 5, -1, "dropped        0 (not delivered 0, damaged 0, ring overruns 0;"},
        {"overruns and more", {0, 1, 12, 13}, 3, 3, -1,
         "dropped        10 (not delivered 7, damaged 0, ring overruns 3;"},
        {"frames the device found unreadable", {0, 1, 12, 13}, 0, 0, 2,
         "dropped        10 (not delivered 0, damaged 10, ring overruns 0;"},
        // A jump of minutes is a break on the tape, not frames lost.
        {"a break on the tape", {0, 1, 5000, 5001}, 0, 0, -1,
         "dropped        0 (not delivered 0, damaged 0, ring overruns 0;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaptureReport report;
        for (size_t i = 0; i < c.tapeFrames.size(); ++i) report.timecodes.Add(static_cast<int64_t>(i), Frame(c.tapeFrames[i]));
        report.frames = static_cast<int64_t>(c.tapeFrames.size());
        report.counters.videoOverruns = c.videoOverruns;
        report.counters.audioOverruns = c.audioOverruns;
        if (c.damagedAt >= 0) report.formatChanges.push_back({c.damagedAt, "", "PAL", "48000", true});
        std::ostringstream text;
        report.PrintText(text);
        EXPECT_NE(text.str().find(c.dropped), std::string::npos) << text.str();
    }
}

}  // namespace
