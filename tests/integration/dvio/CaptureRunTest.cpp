// dvio capture run as a user runs it, against the simulated deck with a cassette that
// FFmpeg recorded: the .dv file holds exactly the tape's frames, the WAV exactly the
// samples FFmpeg extracts from them.
#include "DvioTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace {

using dviotest::Contains;
using dviotest::RunDvio;

struct TapeCase {
    const char* name;
    DIO_VideoFormat standard;
    int sampleRate;
    const char* start;      // the tape's first timecode
    const char* from;       // where the capture begins
    int64_t firstFrame;     // the tape frame with that timecode
    const char* last;       // the timecode of the last frame captured
};

class DvioCapture : public ::testing::TestWithParam<TapeCase> {};

std::vector<uint8_t> Frames(const std::vector<uint8_t>& tape, size_t frameSize, int64_t first, int64_t count) {
    return std::vector<uint8_t>(tape.begin() + static_cast<long>(first * frameSize),
                                tape.begin() + static_cast<long>((first + count) * frameSize));
}

bool ProbeAccepts(const std::string& path) {
    return std::system(("ffprobe -v error '" + path + "' >/dev/null 2>&1").c_str()) == 0;
}

TEST_P(DvioCapture, FromATimecodeForSomeFramesGivesExactlyThoseFramesAndTheirSamples) {
    DVIO_REQUIRE_FFMPEG();
    const TapeCase tape = GetParam();
    dviotest::Scratch dir;
    std::string error;
    ASSERT_TRUE(dviotest::MakeFfmpegTape(dir.File("tape.dv"), tape.standard, tape.sampleRate, 5, tape.start, &error))
        << error;
    const int64_t frames = 40;
    const dviotest::Result result =
        RunDvio({"--tape", "tape.dv", "--json", "capture", "take.dv", "--from", tape.from, "--frames", "40"},
                dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err << result.out;
    const std::string rate = std::to_string(tape.sampleRate);
    EXPECT_TRUE(Contains(result.out, std::string(R"({"file":"take.dv","frames":40,"first_timecode":")") + tape.from +
                                         R"(","last_timecode":")" + tape.last + "\""))
        << result.out;
    EXPECT_TRUE(Contains(result.out, R"("wav":[{"path":"take.wav","sample_rate":)" + rate + R"(,"channels":2,)"))
        << result.out;
    EXPECT_TRUE(Contains(result.out, R"("dropped":{"total":0,"videoin_overruns":0,"audioin_overruns":0,)"));
    EXPECT_TRUE(Contains(result.out, R"("breaks":[],)"));
    EXPECT_TRUE(Contains(result.out, R"("start_missed":false,)"));
    EXPECT_TRUE(Contains(result.out, R"("notes":[])"));

    const size_t frameSize = tape.standard == DIO_PAL ? 144000 : 120000;
    const std::vector<uint8_t> original = dviotest::ReadFile(dir.File("tape.dv"));
    const std::vector<uint8_t> expectedFrames = Frames(original, frameSize, tape.firstFrame, frames);
    const std::vector<uint8_t> captured = dviotest::ReadFile(dir.File("take.dv"));
    ASSERT_EQ(captured.size(), expectedFrames.size());
    EXPECT_TRUE(captured == expectedFrames) << "the captured frames are not the tape's";

    // FFmpeg's samples of exactly those tape frames.
    dviotest::WriteFile(dir.File("expected.dv"), expectedFrames);
    const std::vector<int16_t> expectedPcm = dviotest::FfmpegPcm(dir.File("expected.dv"), dir.File("expected.pcm"));
    ASSERT_FALSE(expectedPcm.empty());
    int wavRate = 0, wavChannels = 0;
    const std::vector<int16_t> wav = dviotest::WavSamples(dir.File("take.wav"), &wavRate, &wavChannels);
    EXPECT_EQ(wavRate, tape.sampleRate);
    EXPECT_EQ(wavChannels, 2);
    ASSERT_EQ(wav.size(), expectedPcm.size());
    EXPECT_TRUE(wav == expectedPcm) << "the WAV is not what FFmpeg extracts from those frames";
    EXPECT_TRUE(ProbeAccepts(dir.File("take.dv")));
    EXPECT_TRUE(ProbeAccepts(dir.File("take.wav")));
}

INSTANTIATE_TEST_SUITE_P(
    Tapes, DvioCapture,
    ::testing::Values(TapeCase{"Ntsc48k", DIO_NTSC, 48000, "01:00:00;00", "01:00:02;00", 60, "01:00:03;09"},
                      TapeCase{"Pal48k", DIO_PAL, 48000, "10:00:00:00", "10:00:01:10", 35, "10:00:02:24"},
                      TapeCase{"Pal32k", DIO_PAL, 32000, "23:59:58:00", "23:59:59:20", 45, "00:00:01:09"}),
    [](const ::testing::TestParamInfo<TapeCase>& info) { return std::string(info.param.name); });

// Two recordings with unrelated timecodes one after the other.
std::string MakeSplicedTape(const dviotest::Scratch& dir) {
    std::string error;
    EXPECT_TRUE(dviotest::MakeFfmpegTape(dir.File("a.dv"), DIO_NTSC, 48000, 3, "01:00:00;00", &error)) << error;
    EXPECT_TRUE(dviotest::MakeFfmpegTape(dir.File("b.dv"), DIO_NTSC, 48000, 3, "05:30:00;00", &error)) << error;
    std::vector<uint8_t> tape = dviotest::ReadFile(dir.File("a.dv"));
    const std::vector<uint8_t> b = dviotest::ReadFile(dir.File("b.dv"));
    tape.insert(tape.end(), b.begin(), b.end());
    dviotest::WriteFile(dir.File("spliced.dv"), tape);
    return "spliced.dv";
}

TEST(DvioCaptureSplice, TheBreakIsReportedWhereItIs) {
    DVIO_REQUIRE_FFMPEG();
    dviotest::Scratch dir;
    const std::string tape = MakeSplicedTape(dir);
    const int64_t firstTapeFrames = dviotest::FileSize(dir.File("a.dv")) / 120000;
    const dviotest::Result result =
        RunDvio({"--tape", tape, "capture", "take.dv", "--from", "01:00:02:00", "--frames", "50"}, dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // 01:00:02;00 is tape frame 60; the recording after the splice begins at tape frame 89.
    ASSERT_EQ(firstTapeFrames, 89);
    EXPECT_TRUE(Contains(result.out, "timecode       01:00:02;00 to 05:30:00;20\n")) << result.out;
    EXPECT_TRUE(Contains(result.out, "breaks         1\n               at frame 29: 01:00:02;28 then 05:30:00;00\n"))
        << result.out;
    const std::vector<uint8_t> original = dviotest::ReadFile(dir.File(tape));
    EXPECT_TRUE(dviotest::ReadFile(dir.File("take.dv")) == Frames(original, 120000, 60, 50));
    dviotest::WriteFile(dir.File("expected.dv"), Frames(original, 120000, 60, 50));
    EXPECT_TRUE(dviotest::WavSamples(dir.File("take.wav")) ==
                dviotest::FfmpegPcm(dir.File("expected.dv"), dir.File("expected.pcm")));
}

TEST(DvioCaptureSplice, AStartRightAfterTheSpliceIsFoundAndItsSilencedAudioSaidSo) {
    DVIO_REQUIRE_FFMPEG();
    dviotest::Scratch dir;
    const std::string tape = MakeSplicedTape(dir);
    const dviotest::Result result =
        RunDvio({"--tape", tape, "capture", "take.dv", "--from", "05:30:00;00", "--frames", "10"}, dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(Contains(result.out, "timecode       05:30:00;00 to 05:30:00;09\n")) << result.out;
    EXPECT_TRUE(Contains(result.out, "note           the device delivered silence for the first frame"))
        << result.out;
    const std::vector<uint8_t> original = dviotest::ReadFile(dir.File(tape));
    EXPECT_TRUE(dviotest::ReadFile(dir.File("take.dv")) == Frames(original, 120000, 89, 10));
    // The first frame's samples are silence, the rest FFmpeg's.
    dviotest::WriteFile(dir.File("expected.dv"), Frames(original, 120000, 89, 10));
    std::vector<int16_t> expected = dviotest::FfmpegPcm(dir.File("expected.dv"), dir.File("expected.pcm"));
    ASSERT_EQ(expected.size(), 2u * 16016);
    std::fill(expected.begin(), expected.begin() + 2 * 1600, 0);
    EXPECT_TRUE(dviotest::WavSamples(dir.File("take.wav")) == expected);
}

TEST(DvioCaptureRate, ARateChangeStartsTheNextNumberedWavAndSaysSo) {
    DVIO_REQUIRE_FFMPEG();
    dviotest::Scratch dir;
    // 48 kHz, then 32 kHz with the timecode running on.
    std::string error;
    ASSERT_TRUE(dviotest::MakeFfmpegTape(dir.File("a.dv"), DIO_PAL, 48000, 2, "10:00:00:00", &error)) << error;
    ASSERT_TRUE(dviotest::MakeFfmpegTape(dir.File("b.dv"), DIO_PAL, 32000, 2, "10:00:02:00", &error)) << error;
    std::vector<uint8_t> tape = dviotest::ReadFile(dir.File("a.dv"));
    const std::vector<uint8_t> b = dviotest::ReadFile(dir.File("b.dv"));
    tape.insert(tape.end(), b.begin(), b.end());
    dviotest::WriteFile(dir.File("rates.dv"), tape);

    const dviotest::Result result =
        RunDvio({"--tape", "rates.dv", "capture", "take.dv", "--from", "10:00:01:00", "--to", "10:00:03:00"},
                dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(Contains(result.out, "captured       50 frames to take.dv\n")) << result.out;
    EXPECT_TRUE(Contains(result.out, "audio          take.wav: 48000 Hz, 2 channels, 48000 samples\n"
                                     "               take-2.wav: 32000 Hz, 2 channels, 32000 samples (from frame "
                                     "25, 10:00:02:00)\n"))
        << result.out;
    EXPECT_TRUE(Contains(result.out, "format changes 1\n               at frame 25 (10:00:02:00): PAL, 32000 Hz\n"))
        << result.out;
    EXPECT_TRUE(Contains(result.out, "breaks         0\n"));
    EXPECT_TRUE(Contains(result.out, "ended          at 10:00:03:00 (--to)\n"));
    dviotest::WriteFile(dir.File("a-part.dv"), Frames(tape, 144000, 25, 25));
    dviotest::WriteFile(dir.File("b-part.dv"), Frames(tape, 144000, 50, 25));
    int rate = 0;
    EXPECT_TRUE(dviotest::WavSamples(dir.File("take.wav"), &rate) ==
                dviotest::FfmpegPcm(dir.File("a-part.dv"), dir.File("a.pcm")));
    EXPECT_EQ(rate, 48000);
    EXPECT_TRUE(dviotest::WavSamples(dir.File("take-2.wav"), &rate) ==
                dviotest::FfmpegPcm(dir.File("b-part.dv"), dir.File("b.pcm")));
    EXPECT_EQ(rate, 32000);
}

// The built-in tape switches to PAL at position 100 (00:00:03;10 as PAL counts it).
TEST(DvioCaptureStandard, AStandardChangeEndsTheCaptureThereAndTheRestCanBeCaptured) {
    DVIO_REQUIRE_FFMPEG();
    dviotest::Scratch dir;
    setenv("DVIO_SIM_FORMAT_SWITCH", "100", 1);
    const dviotest::Result ntsc = RunDvio({"capture", "ntsc.dv", "--frames", "200"}, dir.Path());
    const dviotest::Result pal = RunDvio({"capture", "pal.dv", "--from", "00:00:04:00", "--frames", "20"}, dir.Path());
    unsetenv("DVIO_SIM_FORMAT_SWITCH");
    ASSERT_EQ(ntsc.exitCode, 0) << ntsc.err;
    // Six or seven frames are dropped at a start without a start timecode: the
    // capture ends with the last NTSC frame, position 99.
    EXPECT_TRUE(Contains(ntsc.out, " to 00:00:03;09\n")) << ntsc.out;
    EXPECT_TRUE(Contains(ntsc.out, "format changes 1\n               at frame ")) << ntsc.out;
    EXPECT_TRUE(Contains(ntsc.out, "(00:00:03:10): PAL, 48000 Hz\n")) << ntsc.out;
    EXPECT_TRUE(Contains(ntsc.out, "ended          the tape changes to PAL at 00:00:03:10 (after frame ")) << ntsc.out;
    EXPECT_TRUE(Contains(ntsc.out, "which a capture in NTSC cannot take; capture the rest with dvio capture OUT.dv "
                                   "--from 00:00:03:10\n"))
        << ntsc.out;
    EXPECT_EQ(dviotest::FileSize(dir.File("ntsc.dv")) % 120000, 0);
    EXPECT_TRUE(ProbeAccepts(dir.File("ntsc.dv")));

    ASSERT_EQ(pal.exitCode, 0) << pal.err;
    EXPECT_TRUE(Contains(pal.out, "timecode       00:00:04:00 to 00:00:04:19\n")) << pal.out;
    EXPECT_TRUE(Contains(pal.out, "start          00:00:04:00: not missed\n")) << pal.out;
    EXPECT_EQ(dviotest::FileSize(dir.File("pal.dv")), 20 * 144000);
    EXPECT_TRUE(ProbeAccepts(dir.File("pal.dv")));
    EXPECT_TRUE(Contains(pal.out, "audio          pal.wav: 48000 Hz, 2 channels, 38400 samples\n")) << pal.out;
}

// Far faster than real time the take loop receives several frames at once: the
// capture still ends after exactly the frames asked for.
TEST(DvioCaptureFast, TheEndIsExactWhenFramesComeSeveralAtATime) {
    DVIO_REQUIRE_FFMPEG();
    dviotest::Scratch dir;
    const dviotest::Result result =
        RunDvio({"--speed", "16", "capture", "take.dv", "--from", "00:01:00;02", "--frames", "200"}, dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(Contains(result.out, "captured       200 frames to take.dv\n")) << result.out;
    EXPECT_EQ(dviotest::FileSize(dir.File("take.dv")), 200 * 120000);
    const dviotest::Result audio = RunDvio({"tape", "audio", "take.dv", "again.wav"}, dir.Path());
    ASSERT_EQ(audio.exitCode, 0) << audio.err;
    // A machine too slow for this speed (a sanitizer build, say) loses frames on the
    // way, which the summary counts; what arrived is then not one run of the tape.
    if (Contains(result.out, "dropped        0 ")) {
        EXPECT_TRUE(Contains(result.out, "timecode       00:01:00;02 to 00:01:06;21\n")) << result.out;
        EXPECT_TRUE(dviotest::WavSamples(dir.File("take.wav")) == dviotest::WavSamples(dir.File("again.wav")));
    }
}

TEST(DvioCaptureStop, CtrlCEndsCleanlyWithValidFiles) {
    DVIO_REQUIRE_FFMPEG();
    dviotest::Scratch dir;
    dviotest::DvioProcess dvio({"capture", "take.dv"}, dir.Path());
    // Wait for some frames to arrive, however slow the machine.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (dviotest::FileSize(dir.File("take.dv")) < 20 * 120000 && std::chrono::steady_clock::now() < deadline &&
           dvio.Running())
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    dvio.Signal(SIGINT);
    const dviotest::Result result = dvio.Wait();
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(Contains(result.out, "ended          by Ctrl-C\n")) << result.out;
    const int64_t size = dviotest::FileSize(dir.File("take.dv"));
    EXPECT_GE(size, 20 * 120000);
    EXPECT_EQ(size % 120000, 0);
    EXPECT_TRUE(ProbeAccepts(dir.File("take.dv")));
    EXPECT_TRUE(ProbeAccepts(dir.File("take.wav")));
    // The WAV holds the audio of exactly the frames in the .dv file.
    const dviotest::Result audio = RunDvio({"tape", "audio", "take.dv", "again.wav"}, dir.Path());
    ASSERT_EQ(audio.exitCode, 0) << audio.err;
    EXPECT_TRUE(dviotest::WavSamples(dir.File("take.wav")) == dviotest::WavSamples(dir.File("again.wav")));
}

TEST(DvioCaptureStop, CtrlCWhileTheDeckCuesStopsWithNothingCaptured) {
    dviotest::Scratch dir;
    // Fifteen minutes into the tape: the deck winds for a good while.
    dviotest::DvioProcess dvio({"capture", "take.dv", "--from", "00:15:00;00", "--seconds", "1"}, dir.Path());
    // The .dv file is opened just before the cue begins.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (dviotest::FileSize(dir.File("take.dv")) < 0 && std::chrono::steady_clock::now() < deadline &&
           dvio.Running())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    dvio.Signal(SIGINT);
    const dviotest::Result result = dvio.Wait();
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "dvio: stopped by Ctrl-C while the deck was cueing; nothing was captured\n");
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(dviotest::FileSize(dir.File("take.dv")), 0);
}

}  // namespace
