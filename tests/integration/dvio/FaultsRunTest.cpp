// A capture against a card and deck that misbehave: every frame of the tape the
// capture covered is in the file or counted as lost, by cause; a device that fails is
// a failure (exit 1) in the device's words, and a deck stuck mid-change fails within
// its patience instead of hanging.
#include "DvioTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

using dviotest::Contains;
using dviotest::RunDvio;

struct FaultCase {
    std::vector<std::string> args;  // after --speed 4
    int exitCode;
    std::string err;                // the start of standard error
    std::string out;                // a part of standard output
    int64_t frames;                 // frames in the file (-1: no file)
};

TEST(DvioFaults, LostFramesAreCountedByCauseAndFailuresSayWhatHappened) {
    dviotest::Scratch dir;
    // A cassette whose frames 10-19 have no readable header: the capture plays past
    // them, as a deck plays past a dropout, and counts them.
    ASSERT_EQ(RunDvio({"tape", "new", "damaged.dv", "--seconds", "3"}, dir.Path()).exitCode, 0);
    std::vector<uint8_t> tape = dviotest::ReadBytes(dir.File("damaged.dv"));
    for (size_t frame = 10; frame < 20; ++frame) std::fill_n(tape.begin() + frame * 120000, 80, 0xFF);
    dviotest::WriteBytes(dir.File("damaged.dv"), tape);
    const FaultCase cases[] = {
        {{"--tape", "damaged.dv", "capture", "a.dv"}, 0, "", "dropped        10 (", -2},
        // Ten frames the card never delivered, seen from the timecode (a machine too
        // busy for the speed may have the device count them as overruns).
        {{"--fault", "drop=20:10", "capture", "a.dv", "--frames", "60"}, 0, "", "dropped        10 (", 60},
        // The start frame itself never delivered: a late start, and one frame lost.
        {{"--fault", "drop=10", "capture", "a.dv", "--from", "00:00:10;00", "--frames", "30"}, 0, "",
         "start          00:00:10;00: missed, the first frame came 1 frame after it\n", 30},
        // Ten frames too damaged for the device to deliver.
        {{"--fault", "corrupt=20:10", "capture", "a.dv", "--frames", "60"}, 0, "",
         "dropped        10 (not delivered 0, damaged 10, ring overruns 0;", 60},
        // A card that refuses to capture: the device's failure, in its words.
        {{"--fault", "capturestart", "capture", "a.dv", "--from", "00:00:10:00", "--frames", "30"}, 1,
         "dvio: the device failed: \"DV input device error\"", "", -1},
        {{"--fault", "refuse=PdvStartCapture", "capture", "a.dv", "--frames", "30"}, 1,
         "dvio: the device failed: \"DV input device error\"", "", -1},
        {{"--fault", "driverstate=-1", "capture", "a.dv", "--from", "00:00:10:00", "--frames", "30"}, 1,
         "dvio: the device failed: \"DV input device error\"", "", -1},
        {{"--fault", "stall", "capture", "a.dv", "--from", "00:00:10:00", "--frames", "30"}, 1,
         "dvio: the device received no frames while the deck played", "", -1},
        // A card that stops handing out frames while the tape plays on.
        {{"--fault", "refuse=PdvSetCapturedFrame", "capture", "a.dv", "--seconds", "5"}, 1,
         "dvio: the deck plays on (at ", "ended          the device stopped delivering frames\n", -2},
        // A deck stuck mid-change.
        {{"--fault", "stuck", "capture", "a.dv", "--from", "00:00:10:00", "--frames", "30"}, 1,
         "dvio: the deck does not tell its state: it stayed in transition for 5 seconds (deck time) and is stuck\n",
         "", -1},
        {{"--fault", "stuck", "deck", "seek", "00:00:10;00"}, 1, "dvio: the deck refused \"seek 00:00:10;00\": ",
         "seek 00:00:10;00: Device In Transition (the deck stayed in transition for 5 seconds: it is stuck)\n", -1},
    };
    for (const FaultCase& c : cases) {
        std::vector<std::string> args = {"--speed", "4", "--force"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::string command = "dvio";
        for (const std::string& arg : args) command += " " + arg;
        SCOPED_TRACE(command);
        std::remove(dir.File("a.dv").c_str());
        const dviotest::Result result = RunDvio(args, dir.Path());
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_EQ(result.err.rfind(c.err, 0), 0u) << result.err;
        EXPECT_TRUE(Contains(result.out, c.out)) << result.out;
        const int64_t size = dviotest::FileSize(dir.File("a.dv"));
        if (c.frames >= 0) {
            EXPECT_EQ(size, c.frames * 120000);
        }
        if (c.frames == -1) {
            EXPECT_EQ(size, -1);
        }
        if (c.frames == -2) {
            EXPECT_EQ(size % 120000, 0);
        }
    }
}

}  // namespace
