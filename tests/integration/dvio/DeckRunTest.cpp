// dvio deck run as a user runs it: commands in order against one deck, each answered
// in words or as JSON, a refused command ending the sequence.
#include "DvioTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace {

using dviotest::RunDvio;

TEST(DvioDeck, SeekPlayAndPauseDoWhatTheySay) {
    dviotest::Scratch dir;
    const dviotest::Result result = RunDvio(
        {"deck", "state", "seek", "00:01:00:00", "timecode", "play", "wait", "1", "pause", "state"}, dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // 00:01:00;00 and ;01 do not exist in drop-frame counting: the deck goes to ;02.
    EXPECT_EQ(result.out, "state: stopped\n"
                          "seek 00:01:00:00: No Error, the deck is at 00:01:00;02\n"
                          "timecode: 00:01:00;02\n"
                          "play: No Error\n"
                          "wait 1: done\n"
                          "pause: No Error\n"
                          "state: paused\n");
    EXPECT_EQ(result.err, "");
}

TEST(DvioDeck, PlayingMovesTheTimecodeOnAndJsonSaysSoLineByLine) {
    dviotest::Scratch dir;
    const dviotest::Result result =
        RunDvio({"deck", "--json", "seek", "00:00:10;00", "play", "wait", "1", "pause", "timecode", "shuttle", "-40",
                 "state", "stop"},
                dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> lines = dviotest::Lines(result.out);
    ASSERT_EQ(lines.size(), 8u) << result.out;
    EXPECT_EQ(lines[0], R"({"command":"seek","argument":"00:00:10;00","error":0,"result":"No Error",)"
                        R"("timecode":"00:00:10;00","target":"00:00:10;00"})");
    EXPECT_EQ(lines[1], R"({"command":"play","error":0,"result":"No Error"})");
    EXPECT_EQ(lines[2], R"({"command":"wait","argument":"1","error":0,"result":"No Error"})");
    // After a second of play (less the transport's start) the tape is further on.
    const std::string prefix = R"({"command":"timecode","error":0,"result":"No Error","timecode":"00:00:1)";
    ASSERT_EQ(lines[4].rfind(prefix, 0), 0u) << lines[4];
    EXPECT_NE(lines[4], prefix + R"(0;00"})");
    EXPECT_EQ(lines[5], R"({"command":"shuttle","argument":"-40","error":0,"result":"No Error"})");
    EXPECT_EQ(lines[6].rfind(R"({"command":"state","error":0,"result":"No Error","state":"reverse)", 0), 0u)
        << lines[6];
    EXPECT_EQ(lines[7], R"({"command":"stop","error":0,"result":"No Error"})");
}

TEST(DvioDeck, ARefusedCommandStopsTheSequence) {
    dviotest::Scratch dir;
    const dviotest::Result result =
        RunDvio({"--fault", "ddc=DevPlay:7", "deck", "timecode", "play", "state"}, dir.Path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "timecode: 00:00:00;00\nplay: Command Rejected\n");
    EXPECT_EQ(result.err, "dvio: the deck refused \"play\": Command Rejected; the commands after it were not run\n");
}

TEST(DvioDeck, AnEjectedTapeHasNoTimecode) {
    dviotest::Scratch dir;
    const dviotest::Result result = RunDvio({"deck", "eject", "state", "timecode"}, dir.Path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "eject: No Error\nstate: ejected\ntimecode: No Timecode\n");
    EXPECT_EQ(result.err, "dvio: the deck refused \"timecode\": No Timecode\n");
}

TEST(DvioDeck, RecordingWithNothingSentLeavesTheCassetteFileAsItWas) {
    for (const std::string standard : {"ntsc", "pal"}) {
        dviotest::Scratch dir;
        ASSERT_EQ(RunDvio({"tape", "new", "t.dv", "--seconds", "2", "--standard", standard}, dir.Path()).exitCode, 0);
        const std::vector<uint8_t> before = dviotest::ReadBytes(dir.File("t.dv"));
        const dviotest::Result result =
            RunDvio({"--tape", "t.dv", "--standard", standard, "deck", "record", "wait", "1", "stop"}, dir.Path());
        EXPECT_EQ(result.exitCode, 0) << standard << ": " << result.err;
        EXPECT_TRUE(dviotest::ReadBytes(dir.File("t.dv")) == before) << standard;
    }
}

// Whether a process other than this one holds the file's lock (probed in a moment).
bool LockedElsewhere(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const bool locked = fd >= 0 && ::flock(fd, LOCK_SH | LOCK_NB) != 0;
    if (fd >= 0) ::close(fd);
    return locked;
}

TEST(DvioDeck, ACassetteFileInAnotherDvioIsInUse) {
    dviotest::Scratch dir;
    ASSERT_EQ(RunDvio({"tape", "new", "t.dv", "--seconds", "1"}, dir.Path()).exitCode, 0);
    // A first dvio holds the cassette (started again should it meet the probe's lock).
    std::unique_ptr<dviotest::DvioProcess> first;
    bool held = false;
    for (int attempt = 0; attempt < 20 && !held; ++attempt) {
        first = std::make_unique<dviotest::DvioProcess>(
            std::vector<std::string>{"--tape", "t.dv", "deck", "play", "wait", "60"}, dir.Path());
        while (first->Running() && !(held = LockedElsewhere(dir.File("t.dv"))))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(held);
    const dviotest::Result second = RunDvio({"--tape", "t.dv", "deck", "state"}, dir.Path());
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_EQ(second.err, "dvio: cannot use t.dv as the cassette: t.dv is in use: another program has this cassette "
                          "loaded\n");
    first->Signal(SIGTERM);
    first->Wait();
}

// dvio info answers --json like every other command: one object with what the words say.
TEST(DvioInfo, JsonHoldsWhatTheWordsSay) {
    dviotest::Scratch dir;
    const dviotest::Result words = dviotest::RunDvio({"info"}, dir.Path());
    const dviotest::Result json = dviotest::RunDvio({"--json", "info"}, dir.Path());
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(json.out.rfind("{\"plugin\":", 0), 0u) << json.out;
    dviotest::ExpectContains(words.out, {"version        1.0\n", "deck rate      30 fps, drop-frame\n"});
    dviotest::ExpectContains(json.out, {"\"version\":\"1.0\"", "\"deck_rate\":{\"fps\":30,\"drop_frame\":true}",
                                        "{\"id\":\"0x00b00008\",\"name\":\"device format\",\"size\":16,"});
    EXPECT_EQ(json.out.back(), '\n');
    EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 1);
}

}  // namespace
