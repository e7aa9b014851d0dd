// dvio tape new, info and audio, run as a user runs them; FFmpeg judges the files.
#include "DvioTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using dviotest::Contains;
using dviotest::RunDvio;
using oracle::Probe;

// FFmpeg decodes every frame without a word of complaint (it always notes that a raw
// DV file's duration is estimated, for its own files too: that is no complaint).
std::string FfmpegComplaints(const std::string& path) {
    std::string errors;
    return oracle::Run("ffmpeg -nostdin -v error -i '" + path + "' -f null -", &errors) == 0 ? errors
                                                                                             : "ffmpeg failed: " + errors;
}

TEST(DvioTape, NewNtscTapeIsAcceptedByFfmpegWithItsTimecodeAndTone) {
    REQUIRE_FFMPEG();
    dviotest::Scratch dir;
    const dviotest::Result result =
        RunDvio({"tape", "new", "ntsc.dv", "--seconds", "2", "--start", "01:00:00;00"}, dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "wrote ntsc.dv: 60 frames of NTSC (2.00 s), timecode 01:00:00;00 to 01:00:01;29, 48000 Hz "
                          "audio on 2 channels\n");
    const std::string path = dir.File("ntsc.dv");
    EXPECT_EQ(dviotest::FileSize(path), 60 * 120000);
    EXPECT_EQ(FfmpegComplaints(path), "");
    EXPECT_EQ(Probe(path, "format_tags=timecode"), "TAG:timecode=01:00:00;00");
    EXPECT_EQ(Probe(path, "stream=codec_name,width,height,sample_rate,channels"),
              "codec_name=dvvideo\nwidth=720\nheight=480\ncodec_name=pcm_s16le\nsample_rate=48000\nchannels=2");
    // FFmpeg hears the tones the tape was asked for: 1 kHz left, 500 Hz right, -12 dBFS.
    const std::vector<int16_t> pcm = oracle::FfmpegPcm(path);
    ASSERT_EQ(pcm.size(), 2u * 60 * 8008 / 5);
    for (size_t n = 0; n < pcm.size() / 2; n += 101) {
        const double t = static_cast<double>(n) / 48000;
        ASSERT_EQ(pcm[2 * n], std::lround(8192 * std::sin(2 * M_PI * 1000 * t))) << n;
        ASSERT_EQ(pcm[2 * n + 1], std::lround(8192 * std::sin(2 * M_PI * 500 * t))) << n;
    }
}

TEST(DvioTape, NewPalTapeWithFourChannelsGivesFfmpegTwoStereoStreams) {
    REQUIRE_FFMPEG();
    dviotest::Scratch dir;
    const dviotest::Result result =
        RunDvio({"--json", "tape", "new", "pal.dv", "--standard", "pal", "--rate", "32000", "--channels", "4",
                 "--seconds", "1", "--start", "10:00:00:00"},
                dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, R"({"file":"pal.dv","frames":25,"standard":"PAL","seconds":1,"first_timecode":"10:00:00:00",)"
                          R"("last_timecode":"10:00:00:24","sample_rate":32000,"channels":4})"
                          "\n");
    const std::string path = dir.File("pal.dv");
    EXPECT_EQ(FfmpegComplaints(path), "");
    EXPECT_EQ(Probe(path, "format_tags=timecode"), "TAG:timecode=10:00:00:00");
    EXPECT_EQ(Probe(path, "stream=codec_name,sample_rate,channels"),
              "codec_name=dvvideo\ncodec_name=pcm_s16le\nsample_rate=32000\nchannels=2\n"
              "codec_name=pcm_s16le\nsample_rate=32000\nchannels=2");
}

TEST(DvioTape, InfoAndAudioFollowASplicedTapeThatChangesRate) {
    REQUIRE_FFMPEG();
    dviotest::Scratch dir;
    std::string error;
    ASSERT_TRUE(dviotest::MakeFfmpegTape(dir.File("a.dv"), DIO_PAL, 48000, 2, "10:00:00:00", &error)) << error;
    ASSERT_TRUE(dviotest::MakeFfmpegTape(dir.File("b.dv"), DIO_PAL, 32000, 1, "20:00:00:00", &error)) << error;
    dviotest::Splice(dir, {"a.dv", "b.dv"}, "ab.dv");

    const dviotest::Result info = RunDvio({"tape", "info", "ab.dv"}, dir.Path());
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_EQ(info.out,
              "file           ab.dv\n"
              "frames         75\n"
              "format         frames 0-49: PAL, 48000 Hz 16-bit, 2 channels\n"
              "               frames 50-74: PAL, 32000 Hz 16-bit, 2 channels\n"
              "format change  at frame 50 (20:00:00:00): now PAL, 32000 Hz 16-bit, 2 channels\n"
              "timecode       frames 0-49: 10:00:00:00 to 10:00:01:24\n"
              "               frames 50-74: 20:00:00:00 to 20:00:00:24\n"
              "breaks         1\n"
              "               at frame 50: 10:00:01:24 then 20:00:00:00\n"
              "no timecode    0 frames\n"
              "no audio       0 frames\n");
    const dviotest::Result json = RunDvio({"tape", "info", "--json", "ab.dv"}, dir.Path());
    EXPECT_TRUE(Contains(json.out, R"("breaks":[{"frame":50,"before":"10:00:01:24","after":"20:00:00:00"}])"))
        << json.out;

    const dviotest::Result audio = RunDvio({"tape", "audio", "ab.dv", "ab.wav"}, dir.Path());
    ASSERT_EQ(audio.exitCode, 0) << audio.err;
    EXPECT_EQ(audio.out,
              "wrote ab.wav: 48000 Hz, 2 channels, 96000 samples\n"
              "the audio changes to 32000 Hz, 2 channels at frame 50 (20:00:00:00): continuing in ab-2.wav\n"
              "wrote ab-2.wav: 32000 Hz, 2 channels, 32000 samples\n");
    // Each file holds exactly what FFmpeg extracts from its part of the tape.
    int rate = 0;
    EXPECT_EQ(dviotest::WavSamples(dir.File("ab.wav"), &rate), oracle::FfmpegPcm(dir.File("a.dv")));
    EXPECT_EQ(rate, 48000);
    EXPECT_EQ(dviotest::WavSamples(dir.File("ab-2.wav"), &rate), oracle::FfmpegPcm(dir.File("b.dv")));
    EXPECT_EQ(rate, 32000);
}

// Damage does not end a tape: a frame without a readable header, one without
// subcode, one with broken audio are each counted, and the frames after them read.
TEST(DvioTape, InfoCountsFramesWithoutTimecodeOrAudio) {
    REQUIRE_FFMPEG();
    dviotest::Scratch dir;
    ASSERT_EQ(RunDvio({"tape", "new", "t.dv", "--seconds", "0.5", "--start", "00:59:59;28"}, dir.Path()).exitCode, 0);
    std::vector<uint8_t> tape = dviotest::ReadBytes(dir.File("t.dv"));
    // Frame 3: subcode packs gone. Frame 5: the first audio block of every sequence damaged.
    for (size_t sequence = 0; sequence < 10; ++sequence) {
        for (size_t block : {1, 2}) {
            uint8_t* subcode = tape.data() + 3 * 120000 + sequence * 12000 + block * 80;
            std::fill(subcode + 3, subcode + 51, 0xFF);
        }
        tape[5 * 120000 + sequence * 12000 + 6 * 80 + 1] ^= 0xF0;
    }
    // Frames 8 and 9: no readable header.
    std::fill(tape.begin() + 8 * 120000, tape.begin() + 8 * 120000 + 80, 0xFF);
    std::fill(tape.begin() + 9 * 120000, tape.begin() + 9 * 120000 + 80, 0xFF);
    dviotest::WriteBytes(dir.File("t.dv"), tape);
    const dviotest::Result info = RunDvio({"tape", "info", "t.dv"}, dir.Path());
    ASSERT_EQ(info.exitCode, 0) << info.err;
    dviotest::ExpectContains(info.out, {"frames         15\n", "timecode       frames 0-14: 00:59:59;28 to 01:00:00;12\n",
                                        "breaks         0\n", "no timecode    3 frames (3, 8-9)\n",
                                        "no audio       1 frames (5)\n",
                                        "damaged        2 frames without a readable header (8-9)\n"});
}

TEST(DvioTape, ABlankCassetteIsEmptyAndLoads) {
    dviotest::Scratch dir;
    const dviotest::Result made = RunDvio({"tape", "new", "blank.dv", "--blank"}, dir.Path());
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(made.out, "wrote blank.dv: a blank cassette (no frames yet)\n");
    EXPECT_EQ(dviotest::FileSize(dir.File("blank.dv")), 0);
    const dviotest::Result loaded = RunDvio({"--tape", "blank.dv", "deck", "state"}, dir.Path());
    EXPECT_EQ(loaded.exitCode, 0) << loaded.err;
    EXPECT_EQ(loaded.out, "state: stopped\n");
}

}  // namespace
