// dvio capture run as a user runs it, against the simulated deck with a cassette that
// FFmpeg recorded: the .dv file holds exactly the tape's frames, the WAV exactly the
// samples FFmpeg extracts from them.
#include "DvioTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>

namespace {

using dviotest::Contains;
using dviotest::ExpectContains;
using dviotest::FfmpegPcmOf;
using dviotest::Frames;
using dviotest::ReadBytes;
using dviotest::RunDvio;
using dviotest::ProbeAccepts;
using dviotest::WavSamples;

// The DV packets of a file's video stream, one after the other, as FFmpeg reads them.
std::vector<uint8_t> VideoPackets(const std::string& path) {
    dviotest::Scratch dir;
    if (oracle::Run("ffmpeg -nostdin -v error -i '" + path + "' -map 0:v -c copy -f rawvideo -y '" +
                    dir.File("v.raw") + "'") != 0)
        return {};
    return ReadBytes(dir.File("v.raw"));
}

// The channels [first, first + 2) of interleaved samples.
std::vector<int16_t> Pair(const std::vector<int16_t>& samples, int channels, int first) {
    std::vector<int16_t> pair;
    for (size_t n = 0; n + channels <= samples.size(); n += channels) {
        pair.push_back(samples[n + first]);
        pair.push_back(samples[n + first + 1]);
    }
    return pair;
}

bool WithoutContainers(const dviotest::Result& result) { return Contains(result.err, "without the media libraries"); }

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

TEST_P(DvioCapture, FromATimecodeForSomeFramesGivesExactlyThoseFramesAndTheirSamples) {
    REQUIRE_FFMPEG();
    const TapeCase tape = GetParam();
    dviotest::Scratch dir;
    std::string error;
    ASSERT_TRUE(dviotest::MakeFfmpegTape(dir.File("tape.dv"), tape.standard, tape.sampleRate, 5, tape.start, &error))
        << error;
    const dviotest::Result result =
        RunDvio({"--tape", "tape.dv", "--json", "capture", "take.dv", "--from", tape.from, "--frames", "40"},
                dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err << result.out;
    ExpectContains(result.out, {std::string(R"({"file":"take.dv","frames":40,"first_timecode":")") + tape.from +
                                    R"(","last_timecode":")" + tape.last + "\"",
                                R"("wav":[{"path":"take.wav","sample_rate":)" + std::to_string(tape.sampleRate) +
                                    R"(,"channels":2,)",
                                R"("dropped":{"total":0,"not_delivered":0,"damaged":0,"ring_overruns":0,"videoin_overruns":0,)",
                                R"("breaks":[],)", R"("start_missed":false,)", R"("notes":[])"});
    const std::vector<uint8_t> expectedFrames =
        Frames(ReadBytes(dir.File("tape.dv")), tape.standard == DIO_PAL ? 144000 : 120000, tape.firstFrame, 40);
    EXPECT_TRUE(ReadBytes(dir.File("take.dv")) == expectedFrames) << "the captured frames are not the tape's";
    // FFmpeg's samples of exactly those tape frames.
    const std::vector<int16_t> expectedPcm = FfmpegPcmOf(expectedFrames);
    ASSERT_FALSE(expectedPcm.empty());
    int wavRate = 0, wavChannels = 0;
    EXPECT_TRUE(WavSamples(dir.File("take.wav"), &wavRate, &wavChannels) == expectedPcm)
        << "the WAV is not what FFmpeg extracts from those frames";
    EXPECT_EQ(wavRate, tape.sampleRate);
    EXPECT_EQ(wavChannels, 2);
    EXPECT_TRUE(ProbeAccepts(dir.File("take.dv")));
    EXPECT_TRUE(ProbeAccepts(dir.File("take.wav")));
}

INSTANTIATE_TEST_SUITE_P(
    Tapes, DvioCapture,
    ::testing::Values(TapeCase{"Ntsc48k", DIO_NTSC, 48000, "01:00:00;00", "01:00:02;00", 60, "01:00:03;09"},
                      TapeCase{"Pal48k", DIO_PAL, 48000, "10:00:00:00", "10:00:01:10", 35, "10:00:02:24"},
                      TapeCase{"Pal32k", DIO_PAL, 32000, "23:59:58:00", "23:59:59:20", 45, "00:00:01:09"}),
    [](const ::testing::TestParamInfo<TapeCase>& info) { return std::string(info.param.name); });

// Two recordings with unrelated timecodes one after the other: 01:00:02;00 is tape frame
// 60, the recording after the splice begins at tape frame 89.
class DvioCaptureSplice : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_FFMPEG();
        std::string error;
        ASSERT_TRUE(dviotest::MakeFfmpegTape(dir.File("a.dv"), DIO_NTSC, 48000, 3, "01:00:00;00", &error)) << error;
        ASSERT_TRUE(dviotest::MakeFfmpegTape(dir.File("b.dv"), DIO_NTSC, 48000, 3, "05:30:00;00", &error)) << error;
        tape = dviotest::Splice(dir, {"a.dv", "b.dv"}, "spliced.dv");
        ASSERT_EQ(dviotest::FileSize(dir.File("a.dv")), 89 * 120000);
    }
    dviotest::Scratch dir;
    std::vector<uint8_t> tape;
};

TEST_F(DvioCaptureSplice, TheBreakIsReportedWhereItIs) {
    const dviotest::Result result =
        RunDvio({"--tape", "spliced.dv", "capture", "take.dv", "--from", "01:00:02:00", "--frames", "50"}, dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ExpectContains(result.out, {"timecode       01:00:02;00 to 05:30:00;20\n",
                                "breaks         1\n               at frame 29: 01:00:02;28 then 05:30:00;00\n"});
    EXPECT_TRUE(ReadBytes(dir.File("take.dv")) == Frames(tape, 120000, 60, 50));
    EXPECT_TRUE(WavSamples(dir.File("take.wav")) == FfmpegPcmOf(Frames(tape, 120000, 60, 50)));
}

TEST_F(DvioCaptureSplice, AStartRightAfterTheSpliceIsFoundAndItsSilencedAudioSaidSo) {
    const dviotest::Result result =
        RunDvio({"--tape", "spliced.dv", "capture", "take.dv", "--from", "05:30:00;00", "--frames", "10"}, dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ExpectContains(result.out, {"timecode       05:30:00;00 to 05:30:00;09\n",
                                "note           the device delivered silence for the first frame"});
    EXPECT_TRUE(ReadBytes(dir.File("take.dv")) == Frames(tape, 120000, 89, 10));
    // The first frame's samples are silence, the rest FFmpeg's.
    std::vector<int16_t> expected = FfmpegPcmOf(Frames(tape, 120000, 89, 10));
    ASSERT_EQ(expected.size(), 2u * 16016);
    std::fill(expected.begin(), expected.begin() + 2 * 1600, 0);
    EXPECT_TRUE(WavSamples(dir.File("take.wav")) == expected);
}

TEST(DvioCaptureRate, ARateChangeStartsTheNextNumberedWavAndSaysSo) {
    REQUIRE_FFMPEG();
    dviotest::Scratch dir;
    // 48 kHz, then 32 kHz with the timecode running on.
    std::string error;
    ASSERT_TRUE(dviotest::MakeFfmpegTape(dir.File("a.dv"), DIO_PAL, 48000, 2, "10:00:00:00", &error)) << error;
    ASSERT_TRUE(dviotest::MakeFfmpegTape(dir.File("b.dv"), DIO_PAL, 32000, 2, "10:00:02:00", &error)) << error;
    const std::vector<uint8_t> tape = dviotest::Splice(dir, {"a.dv", "b.dv"}, "rates.dv");
    const dviotest::Result result =
        RunDvio({"--tape", "rates.dv", "capture", "take.dv", "--from", "10:00:01:00", "--to", "10:00:03:00"},
                dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ExpectContains(result.out, {"captured       50 frames to take.dv\n",
                                "audio          take.wav: 48000 Hz, 2 channels, 48000 samples\n"
                                "               take-2.wav: 32000 Hz, 2 channels, 32000 samples (from frame 25, "
                                "10:00:02:00)\n",
                                "format changes 1\n               at frame 25 (10:00:02:00): PAL, 32000 Hz\n",
                                "breaks         0\n", "ended          at 10:00:03:00 (--to)\n"});
    int rate = 0;
    EXPECT_TRUE(WavSamples(dir.File("take.wav"), &rate) == FfmpegPcmOf(Frames(tape, 144000, 25, 25)));
    EXPECT_EQ(rate, 48000);
    EXPECT_TRUE(WavSamples(dir.File("take-2.wav"), &rate) == FfmpegPcmOf(Frames(tape, 144000, 50, 25)));
    EXPECT_EQ(rate, 32000);
    // A container labels its audio once: the change starts its next numbered file.
    const dviotest::Result mkv =
        RunDvio({"--tape", "rates.dv", "capture", "take.mkv", "--from", "10:00:01:00", "--to", "10:00:03:00"},
                dir.Path());
    if (WithoutContainers(mkv)) return;
    ASSERT_EQ(mkv.exitCode, 0) << mkv.err;
    ExpectContains(mkv.out, {"files          take.mkv: 25 frames, 10:00:01:00 to 10:00:01:24",
                             "\n               take-2.mkv: 25 frames, 10:00:02:00 to 10:00:02:24"});
    EXPECT_EQ(oracle::Output("ffprobe -v error -select_streams a -show_entries stream=sample_rate -of csv=p=0 '" +
                             dir.File("take-2.mkv") + "'"),
              "32000");
    EXPECT_TRUE(oracle::FfmpegPcm(dir.File("take-2.mkv")) == WavSamples(dir.File("take-2.wav")));
}

// The built-in tape switches to PAL at position 100 (00:00:03;10 as PAL counts it).
// The advice at the end works as given; a capture that would begin at the change
// itself captures nothing, and says so with exit 1.
TEST(DvioCaptureStandard, AStandardChangeEndsTheCaptureThereAndTheRestCanBeCaptured) {
    REQUIRE_FFMPEG();
    dviotest::Scratch dir;
    setenv("DVIO_SIM_FORMAT_SWITCH", "100", 1);
    const dviotest::Result ntsc = RunDvio({"capture", "ntsc.dv", "--frames", "200"}, dir.Path());
    const dviotest::Result pal = RunDvio({"capture", "pal.dv", "--from", "00:00:03:21", "--frames", "20"}, dir.Path());
    const dviotest::Result none = RunDvio({"capture", "none.dv", "--from", "00:00:03:10", "--frames", "20"}, dir.Path());
    unsetenv("DVIO_SIM_FORMAT_SWITCH");
    EXPECT_EQ(none.exitCode, 1) << none.err;
    EXPECT_TRUE(Contains(none.err, "dvio: nothing was captured: the tape changes to PAL")) << none.err;
    EXPECT_EQ(dviotest::FileSize(dir.File("none.dv")), -1);
    ASSERT_EQ(ntsc.exitCode, 0) << ntsc.err;
    // Six or seven frames are dropped at a start without a start timecode: the
    // capture ends with the last NTSC frame, position 99.
    ExpectContains(ntsc.out, {" to 00:00:03;09\n", "format changes 1\n               at frame ",
                              "(00:00:03:10): PAL, 48000 Hz\n",
                              "ended          the tape changes to PAL at 00:00:03:10 (after frame ",
                              "which a capture in NTSC cannot take; capture the rest with dvio capture OUT.dv "
                              "--from 00:00:03:21 (the 11 frames before it cannot be captured from a start "
                              "timecode)\n"});
    EXPECT_EQ(dviotest::FileSize(dir.File("ntsc.dv")) % 120000, 0);
    EXPECT_TRUE(ProbeAccepts(dir.File("ntsc.dv")));

    ASSERT_EQ(pal.exitCode, 0) << pal.err;
    ExpectContains(pal.out, {"timecode       00:00:03:21 to 00:00:04:15\n", "start          00:00:03:21: not missed\n",
                             "audio          pal.wav: 48000 Hz, 2 channels, 38400 samples\n"});
    EXPECT_EQ(dviotest::FileSize(dir.File("pal.dv")), 20 * 144000);
    EXPECT_TRUE(ProbeAccepts(dir.File("pal.dv")));
}

// Far faster than real time the take loop receives several frames at once: the
// capture still ends after exactly the frames asked for.
TEST(DvioCaptureFast, TheEndIsExactWhenFramesComeSeveralAtATime) {
    REQUIRE_FFMPEG();
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
        EXPECT_TRUE(WavSamples(dir.File("take.wav")) == WavSamples(dir.File("again.wav")));
    }
}

// Frames that stop coming end the capture, and the summary says why: the end of what
// was recorded on the tape is an ending, a deck that went away is a failure. Either
// way the files keep whole frames and their samples.
TEST(DvioCaptureEnd, TheSummarySaysWhyFramesStoppedComing) {
    dviotest::Scratch dir;
    ASSERT_EQ(RunDvio({"tape", "new", "short.dv", "--seconds", "1"}, dir.Path()).exitCode, 0);
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* ended;
        const char* err;
    };
    const Case cases[] = {
        {{"--speed", "4", "--force", "--tape", "short.dv", "capture", "take.dv", "--seconds", "5"}, 0,
         "ended          no more frames came: blank tape or no signal (the deck is playing)\n", ""},
        {{"--speed", "4", "--force", "--fault", "disconnect=3000", "capture", "take.dv", "--seconds", "5"}, 1,
         "ended          no more frames came: the deck went away\n", "dvio: the deck went away after "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ended);
        const dviotest::Result result = RunDvio(c.args, dir.Path());
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_TRUE(Contains(result.out, c.ended)) << result.out;
        EXPECT_EQ(result.err.rfind(c.err, 0), 0u) << result.err;
        const int64_t size = dviotest::FileSize(dir.File("take.dv"));
        EXPECT_GT(size, 0);
        EXPECT_EQ(size % 120000, 0);
        const dviotest::Result audio = RunDvio({"--force", "tape", "audio", "take.dv", "again.wav"}, dir.Path());
        ASSERT_EQ(audio.exitCode, 0) << audio.err;
        EXPECT_TRUE(WavSamples(dir.File("take.wav")) == WavSamples(dir.File("again.wav")));
    }
}

TEST(DvioCaptureStop, CtrlCEndsCleanlyWithValidFiles) {
    REQUIRE_FFMPEG();
    dviotest::Scratch dir;
    dviotest::DvioProcess dvio({"capture", "take.dv"}, dir.Path());
    // Some frames first, however slow the machine.
    dvio.SignalWhen([&] { return dviotest::FileSize(dir.File("take.dv")) >= 20 * 120000; }, SIGINT);
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
    EXPECT_TRUE(WavSamples(dir.File("take.wav")) == WavSamples(dir.File("again.wav")));
}

// Killed outright, a capture still leaves a WAV file that reads: its header is valid
// from the start and brought up to date as the samples come.
TEST(DvioCaptureStop, AKilledCaptureLeavesAReadableWav) {
    dviotest::Scratch dir;
    dviotest::DvioProcess dvio({"capture", "take.dv"}, dir.Path());
    const int64_t twoSeconds = 2 * 48000 * 4;
    dvio.SignalWhen([&] { return dviotest::FileSize(dir.File("take.wav")) >= twoSeconds; }, SIGKILL);
    dvio.Wait();
    const int64_t written = dviotest::FileSize(dir.File("take.wav"));
    int rate = 0, channels = 0;
    const std::vector<int16_t> samples = WavSamples(dir.File("take.wav"), &rate, &channels);
    EXPECT_EQ(rate, 48000);
    EXPECT_EQ(channels, 2);
    // What the header counts lags what was written by about a second at most.
    EXPECT_GE(static_cast<int64_t>(samples.size()) * 2, written / 2) << written;
}

// A closed terminal (SIGHUP) stops a capture as Ctrl-C does. While the deck cues,
// even one stuck mid-change that holds the device up, nothing is captured and the files
// opened for the capture are removed again.
TEST(DvioCaptureStop, CtrlCWhileTheDeckCuesStopsWithNothingCaptured) {
    struct Case {
        int signal;
        std::vector<std::string> faults;
    };
    for (const Case& c : {Case{SIGINT, {}}, Case{SIGHUP, {}}, Case{SIGINT, {"--fault", "stuck"}}}) {
        SCOPED_TRACE(c.signal);
        dviotest::Scratch dir;
        // Fifteen minutes into the tape: the deck winds for a good while. The .dv file
        // is opened just before the cue begins.
        std::vector<std::string> args = c.faults;
        for (const char* arg : {"capture", "take.dv", "--from", "00:15:00;00", "--seconds", "1"}) args.push_back(arg);
        dviotest::DvioProcess dvio(args, dir.Path());
        dvio.SignalWhen([&] { return dviotest::FileSize(dir.File("take.dv")) >= 0; }, c.signal);
        const dviotest::Result result = dvio.Wait();
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err.rfind("dvio: stopped by Ctrl-C while the deck was cueing", 0), 0u) << result.err;
        EXPECT_TRUE(Contains(result.err, "nothing was captured\n")) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(dviotest::FileSize(dir.File("take.dv")), -1);
        EXPECT_EQ(dviotest::FileSize(dir.File("take.wav")), -1);
    }
}

}  // namespace

// One stretch of tape captured into each kind of file. Each holds the very DV frames of
// the plain .dv capture, and its audio is that capture's WAV sample for sample (a
// 12-bit tape's four channels as two stereo streams); ffprobe counts the frames and
// reads the first timecode and the recording date (the clock of the tape ticks on: a
// second into it) where the file keeps them.
struct ContainerCase {
    const char* name;
    bool fourChannels;       // dvio's 12-bit 32 kHz PAL tape instead of FFmpeg's 48 kHz NTSC one
    std::vector<std::string> out;  // OUT and the options that choose the format
    const char* recorded;    // how ffprobe shows the recording date; "" where the file keeps none
};

class DvioContainers : public ::testing::TestWithParam<ContainerCase> {};

TEST_P(DvioContainers, HoldTheFramesAsTheyCameTheirAudioTimecodeAndDate) {
    REQUIRE_FFMPEG();
    const ContainerCase c = GetParam();
    dviotest::Scratch dir;
    std::string error;
    if (c.fourChannels) {
        ASSERT_EQ(RunDvio({"tape", "new", "tape.dv", "--standard", "pal", "--rate", "32000", "--channels", "4",
                           "--seconds", "3", "--start", "01:00:00:00"}, dir.Path()).exitCode, 0);
    } else {
        ASSERT_TRUE(oracle::FfmpegDv(dir.File("tape.dv"), DIO_NTSC, "testsrc",
                                     "aevalsrc=0.5*sin(2*PI*t*440)|0.4*sin(2*PI*t*1234+1):s=48000",
                                     "-t 3 -ac 2 -ar 48000 -timecode '01:00:00;00' "
                                     "-metadata creation_time=2021-03-04T05:06:07Z", &error)) << error;
    }
    const char* from = c.fourChannels ? "01:00:01:00" : "01:00:01;00";
    const std::vector<std::string> range = {"--from", from, "--frames", "40"};
    std::vector<std::string> plain = {"--tape", "tape.dv", "capture", "plain.dv"};
    plain.insert(plain.end(), range.begin(), range.end());
    const dviotest::Result first = RunDvio(plain, dir.Path());
    ASSERT_EQ(first.exitCode, 0) << first.err;

    std::vector<std::string> args = {"--tape", "tape.dv", "capture"};
    args.insert(args.end(), c.out.begin(), c.out.end());
    args.insert(args.end(), range.begin(), range.end());
    const dviotest::Result result = RunDvio(args, dir.Path());
    if (WithoutContainers(result)) GTEST_SKIP() << "dvio was built without container support";
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string file = dir.File(c.out[0]);
    EXPECT_TRUE(Contains(result.out, "files          " + c.out[0] + ": 40 frames, " + from + " to ")) << result.out;

    EXPECT_TRUE(VideoPackets(file) == ReadBytes(dir.File("plain.dv"))) << "the DV packets are not the frames captured";
    EXPECT_EQ(oracle::Output("ffprobe -v error -select_streams v -count_packets -show_entries stream=nb_read_packets "
                             "-of csv=p=0 '" + file + "'"),
              "40");
    const std::string tags = oracle::Probe(file, "format_tags:stream_tags");
    EXPECT_TRUE(Contains(tags, std::string("=") + from)) << tags;
    EXPECT_TRUE(Contains(tags, c.recorded)) << tags;

    int channels = 0;
    const std::vector<int16_t> wav = WavSamples(dir.File("plain.wav"), nullptr, &channels);
    ASSERT_EQ(channels, c.fourChannels ? 4 : 2);
    ASSERT_FALSE(wav.empty());
    for (int pair = 0; pair < channels / 2; ++pair) {
        SCOPED_TRACE(pair);
        EXPECT_TRUE(oracle::FfmpegPcm(file, pair) == Pair(wav, channels, 2 * pair))
            << "the audio is not the plain capture's";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DvioContainers,
    ::testing::Values(ContainerCase{"DvByOption", false, {"copy.raw", "--format", "dv"}, ""},
                      ContainerCase{"Avi", false, {"take.avi"}, "date=2021-03-04 05:06:08"},
                      ContainerCase{"Mov", false, {"take.mov"}, "creation_time=2021-03-04T05:06:08"},
                      ContainerCase{"Mkv", false, {"take.mkv"}, "creation_time=2021-03-04T05:06:08"},
                      ContainerCase{"MkvFourChannels", true, {"take.mkv", "--format", "mkv"}, ""}),
    [](const ::testing::TestParamInfo<ContainerCase>& info) { return std::string(info.param.name); });

// A tape of three 30-frame recordings, each with its own recording date: the second
// resets the timecode, the third runs on from it. Each split mode cuts the capture where
// it says, the files together hold every frame captured, each raw DV file has the WAV of
// exactly its frames, and the summary lists them (a recording is also told by its
// record-start mark alone); a name that is taken stops the capture
// with the files before it kept.
TEST(DvioSplit, EachModeCutsWhereItSaysAndNamesTheFilesAsAsked) {
    REQUIRE_FFMPEG();
    dviotest::Scratch source;
    const char* recordings[][2] = {{"00:00:00;00", "2021-03-04T05:06:07Z"},
                                   {"00:00:00;00", "2022-01-01T10:00:00Z"},
                                   {"00:00:01;00", "2023-06-30T23:59:58Z"}};
    std::vector<std::string> parts;
    for (const auto& recording : recordings) {
        std::string error;
        parts.push_back("r" + std::to_string(parts.size()) + ".dv");
        ASSERT_TRUE(oracle::FfmpegDv(source.File(parts.back()), DIO_NTSC, "testsrc", "sine=r=48000",
                                     std::string("-t 1.001 -timecode '") + recording[0] + "'" +
                                         " -metadata creation_time=" + recording[1],
                                     &error)) << error;
    }
    const std::vector<uint8_t> three = dviotest::Splice(source, parts, "three.dv");
    ASSERT_EQ(three.size(), 90u * 120000);
    // Two recordings of dvio's own, one running on from the other in timecode and date:
    // only the second one's record-start mark tells them apart.
    for (const char* start : {"00:00:00;00", "00:00:01;00"}) {
        ASSERT_EQ(RunDvio({"tape", "new", std::string("m") + start[7] + ".dv", "--seconds", "1.001", "--start", start,
                           "--recorded", "2020-01-01 10:00:00"}, source.Path()).exitCode, 0);
    }
    const std::vector<uint8_t> marked = dviotest::Splice(source, {"m0.dv", "m1.dv"}, "marked.dv");
    ASSERT_EQ(marked.size(), 60u * 120000);

    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> files;  // the files, in order
        std::vector<int64_t> tapeStarts; // tape frames where the second, third, ... file begins
        int64_t perFile;                 // or: frames in each file but the last
        int exitCode = 0;
        std::string err = "";            // the start of standard error
        std::string existing = "";       // a file there before the run
        const char* tape = "three.dv";
    };
    const Case cases[] = {
        {{"capture", "x.dv", "--split", "recording", "--name", "%d-%n"},
         {"2021-03-04-001.dv", "2022-01-01-002.dv", "2023-06-30-003.dv"}, {30, 60}, 0},
        {{"capture", "take.dv", "--split", "break"}, {"take-001.dv", "take-002.dv"}, {30}, 0},
        {{"capture", "take.dv", "--split", "recording"}, {"take-001.dv", "take-002.dv"}, {30}, 0, 0, "", "",
         "marked.dv"},
        {{"capture", "take.dv", "--split", "frames=25"}, {"take-001.dv", "take-002.dv", "take-003.dv", "take-004.dv"},
         {}, 25},
        {{"capture", "take.dv", "--split", "size=1M"},
         {"take-001.dv", "take-002.dv", "take-003.dv", "take-004.dv", "take-005.dv", "take-006.dv", "take-007.dv",
          "take-008.dv", "take-009.dv", "take-010.dv", "take-011.dv"}, {}, 8},
        {{"capture", "take.mkv", "--split", "recording", "--name", "%s-%c"},
         {"three-00-00-00-0x.mkv", "three-00-00-00-00.mkv", "three-00-00-01-00.mkv"}, {30, 60}, 0},
        {{"capture", "x.dv", "--split", "recording", "--name", "%s-again"}, {"three-again.dv"}, {}, 0, 1,
         "dvio: will not write three-again.dv: this capture wrote it already"},
        {{"capture", "take.dv", "--split", "break"}, {"take-001.dv"}, {}, 0, 1,
         "dvio: take-002.dv already exists: dvio does not overwrite a file unless --force is given; the capture "
         "stopped there, keeping the 1 file before it\n", "take-002.dv"},
    };
    for (const Case& c : cases) {
        std::string command = "dvio";
        for (const std::string& arg : c.args) command += " " + arg;
        SCOPED_TRACE(command);
        dviotest::Scratch dir;
        const std::vector<uint8_t>& tape = std::string(c.tape) == "three.dv" ? three : marked;
        dviotest::WriteBytes(dir.File(c.tape), tape);
        if (!c.existing.empty()) dviotest::WriteBytes(dir.File(c.existing), {1, 2, 3});
        std::vector<std::string> args = {"--speed", "4", "--tape", c.tape};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const dviotest::Result result = RunDvio(args, dir.Path());
        if (WithoutContainers(result)) continue;
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        EXPECT_EQ(result.err.rfind(c.err, 0), 0u) << result.err;

        // The files hold the tape's last frames, one file after the other, cut where asked.
        std::vector<uint8_t> all;
        std::vector<int64_t> frames;
        const bool container = c.files[0].find(".mkv") != std::string::npos;
        for (size_t i = 0; i < c.files.size(); ++i) {
            std::string name = c.files[i];
            // The first file's name carries the timecode the capture began at.
            if (name.find("0x") != std::string::npos) {
                const size_t at = result.out.find("files          three-");
                ASSERT_NE(at, std::string::npos) << result.out;
                name = result.out.substr(at + 15, result.out.find(':', at) - at - 15);
            }
            const std::vector<uint8_t> bytes = container ? VideoPackets(dir.File(name)) : ReadBytes(dir.File(name));
            ASSERT_FALSE(bytes.empty()) << name;
            ASSERT_EQ(bytes.size() % 120000, 0u) << name;
            frames.push_back(static_cast<int64_t>(bytes.size() / 120000));
            all.insert(all.end(), bytes.begin(), bytes.end());
            EXPECT_TRUE(Contains(result.out, (i == 0 ? "files          " : "               ") + name + ": " +
                                                 std::to_string(frames.back()) + " frames, "))
                << result.out;
            if (!container) {
                const std::string wav = name.substr(0, name.size() - 3) + ".wav";
                EXPECT_TRUE(WavSamples(dir.File(wav)) == FfmpegPcmOf(bytes)) << wav;
            }
        }
        const size_t from = tape.size() - all.size();
        if (c.exitCode == 0) EXPECT_TRUE(all == std::vector<uint8_t>(tape.begin() + from, tape.end()));
        else EXPECT_TRUE(all == Frames(tape, 120000, 30 - frames[0], frames[0])) << "the first file is kept";
        int64_t start = static_cast<int64_t>(from / 120000);
        for (size_t i = 1; i < c.tapeStarts.size() + 1 && i < frames.size(); ++i) {
            start += frames[i - 1];
            EXPECT_EQ(start, c.tapeStarts[i - 1]) << "file " << i + 1;
        }
        for (size_t i = 0; c.perFile > 0 && i + 1 < frames.size(); ++i) EXPECT_EQ(frames[i], c.perFile);
        if (c.args[3] == "recording" && c.exitCode == 0 && tape == three)
            ExpectContains(result.out, {", recorded 2021-03-04 05:06:07\n", ", recorded 2022-01-01 10:00:00\n"});
    }
}
