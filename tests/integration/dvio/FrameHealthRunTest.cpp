// The frame health report and --redo, run as a user runs them: recording stamps as
// FFmpeg writes them and as dvio writes them, the damage the simulator's faults
// inject counted exactly, and a second capture that recovers what a first one lost.
#include "DvioTestSupport.h"

#include <gtest/gtest.h>

namespace {

using dviotest::Contains;
using dviotest::ExpectContains;
using dviotest::RunDvio;

constexpr size_t kNtscFrame = 120000;

TEST(DvioFrameHealth, RecordingStampsAreReadAsFfmpegAndDvioWriteThem) {
    REQUIRE_FFMPEG();
    dviotest::Scratch dir;
    struct Case {
        DIO_VideoFormat standard;
        const char* name;
        const char* stamp;
        const char* oneSecondLater;  // at frame 30 (NTSC) or 25 (PAL)
    };
    const Case cases[] = {
        {DIO_NTSC, "ntsc", "2024-12-31 23:59:59", "2025-01-01 00:00:00"},
        {DIO_PAL, "pal", "1999-02-28 10:00:00", "1999-02-28 10:00:01"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // FFmpeg's packs carry its creation time.
        std::string iso = c.stamp;
        iso[10] = 'T';
        std::string errors;
        ASSERT_TRUE(oracle::FfmpegDv(dir.File("ff.dv"), c.standard, "testsrc", "sine",
                                     "-t 0.2 -metadata creation_time=" + iso + "Z", &errors))
            << errors;
        dviotest::Result result = RunDvio({"--force", "tape", "report", "ff.dv"}, dir.Path());
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_TRUE(Contains(result.out, std::string(R"(00:00","recorded":")") + c.stamp +
                                             R"(","recording_start":false,"concealed_blocks":0,)"))
            << result.out;

        // Ours: the stamp runs on with the frames, FFmpeg takes the file as it is, and a
        // tape of two recordings lists both.
        for (const char* file : {"a.dv", "b.dv"}) std::remove(dir.File(file).c_str());
        const int fps = c.standard == DIO_NTSC ? 30 : 25;
        ASSERT_EQ(RunDvio({"tape", "new", "a.dv", "--standard", c.name, "--seconds", "2", "--recorded", c.stamp},
                          dir.Path()).exitCode, 0);
        ASSERT_EQ(RunDvio({"tape", "new", "b.dv", "--standard", c.name, "--seconds", "1", "--start",
                           fps == 30 ? "01:00:00;00" : "01:00:00:00", "--recorded", "2030-07-04 12:00:00"},
                          dir.Path()).exitCode, 0);
        EXPECT_TRUE(dviotest::ProbeAccepts(dir.File("a.dv")));
        result = RunDvio({"tape", "report", "a.dv"}, dir.Path());
        EXPECT_TRUE(Contains(result.out, std::string(R"("recorded":")") + c.oneSecondLater + "\"")) << result.out;
        EXPECT_TRUE(Contains(result.out, R"("recordings":1})")) << result.out;
        dviotest::Splice(dir, {"a.dv", "b.dv"}, "tape.dv");
        result = RunDvio({"tape", "info", "tape.dv"}, dir.Path());
        const std::string sep = fps == 30 ? ";" : ":";
        EXPECT_TRUE(Contains(result.out, "recordings     2\n               at frame 0 (00:00:00" + sep + "00): " +
                                             c.stamp + "\n               at frame " + std::to_string(2 * fps) +
                                             " (01:00:00" + sep + "00): 2030-07-04 12:00:00\n"))
            << result.out;
    }
}

// A stamped tape of 8 s; the captures take 90 frames from 00:00:03;00 (tape position 90).
void MakeCleanTape(const dviotest::Scratch& dir) {
    ASSERT_EQ(RunDvio({"tape", "new", "clean.dv", "--seconds", "8", "--recorded", "2025-06-01 10:00:00"}, dir.Path())
                  .exitCode,
              0);
}

std::vector<std::string> CaptureArgs(const std::string& faults, const std::vector<std::string>& more) {
    std::vector<std::string> args = {"--speed", "4", "--force", "--tape", "clean.dv", "--fault", faults, "capture"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST(DvioFrameHealth, TheReportCountsExactlyWhatTheFaultsDamaged) {
    dviotest::Scratch dir;
    MakeCleanTape(dir);
    struct Case {
        std::string faults;
        std::string summary;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {"sta=100:3:12",
         R"("summary":{"frames":90,"frames_with_concealment":3,"concealed_blocks":36,"frames_with_audio_errors":0,)"
         R"("audio_error_samples":0,"missing_frames":0,"timecode_breaks":0,"recordings":0})",
         {R"({"timecode":"00:00:03;10","recorded":"2025-06-01 10:00:03","recording_start":false,"concealed_blocks":12,)"
          R"("audio_error_samples":0,"arrived":true,"missing_before":0,"file_frame":10})"}},
        {"audioerr=130:2:5",
         R"("summary":{"frames":90,"frames_with_concealment":0,"concealed_blocks":0,"frames_with_audio_errors":2,)"
         R"("audio_error_samples":20,"missing_frames":0,"timecode_breaks":0,"recordings":0})",
         {R"({"timecode":"00:00:04;11","recorded":"2025-06-01 10:00:04","recording_start":false,"concealed_blocks":0,)"
          R"("audio_error_samples":10,"arrived":true,"missing_before":0,"file_frame":41})"}},
        // Arrival 25 counts from the cue's ten frames of preroll: tape position 105.
        {"drop=25",
         R"("summary":{"frames":90,"frames_with_concealment":0,"concealed_blocks":0,"frames_with_audio_errors":0,)"
         R"("audio_error_samples":0,"missing_frames":1,"timecode_breaks":0,"recordings":0})",
         {R"({"timecode":"00:00:03;15","recorded":null,"recording_start":false,"concealed_blocks":0,)"
          R"("audio_error_samples":0,"arrived":false,"missing_before":0,"file_frame":null},)"
          R"({"timecode":"00:00:03;16","recorded":"2025-06-01 10:00:03","recording_start":false,"concealed_blocks":0,)"
          R"("audio_error_samples":0,"arrived":true,"missing_before":1,"file_frame":15})"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faults);
        const dviotest::Result result =
            RunDvio(CaptureArgs(c.faults, {"--from", "00:00:03;00", "--frames", "90", "--report", "r.json", "out.dv"}),
                    dir.Path());
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const std::vector<uint8_t> report = dviotest::ReadBytes(dir.File("r.json"));
        const std::string text(report.begin(), report.end());
        ExpectContains(text, {c.summary});
        ExpectContains(text, c.entries);
        // The file alone tells the same.
        const dviotest::Result again = RunDvio({"tape", "report", "out.dv"}, dir.Path());
        ExpectContains(again.out, {c.summary});
    }
}

TEST(DvioFrameHealth, RedoRecoversTransientDamageAndNamesWhatStaysDamaged) {
    dviotest::Scratch dir;
    MakeCleanTape(dir);
    // Transient concealment and audio errors (first read only), a frame the card lost,
    // and one frame damaged on every read.
    const std::string tape = "sta=100:3:12*1,audioerr=130:2:5*1,sta=160:1:4";
    dviotest::Result result = RunDvio(
        CaptureArgs(tape + ",drop=25", {"--from", "00:00:03;00", "--frames", "90", "--report", "r.json", "out.dv"}),
        dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    result = RunDvio(CaptureArgs(tape, {"--redo", "r.json"}), dir.Path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(Contains(result.out, "recovered      6 of 7 frames\nnot recovered  1 frames\n"
                                     "               00:00:05;10: 4 concealed blocks\n"
                                     "report         out-redone.json\n"))
        << result.out;
    const std::vector<uint8_t> report = dviotest::ReadBytes(dir.File("out-redone.json"));
    ExpectContains(std::string(report.begin(), report.end()),
                   {R"("summary":{"frames":91,"frames_with_concealment":1,"concealed_blocks":4,)"
                    R"("frames_with_audio_errors":0,"audio_error_samples":0,"missing_frames":0,)"});
    // Frame for frame the tape, but for the one the deck never read cleanly.
    const std::vector<uint8_t> clean = dviotest::ReadBytes(dir.File("clean.dv"));
    const std::vector<uint8_t> merged = dviotest::ReadBytes(dir.File("out-redone.dv"));
    ASSERT_EQ(merged.size(), 91 * kNtscFrame);
    for (int64_t i = 0; i < 91; ++i) {
        const bool same = dviotest::Frames(merged, kNtscFrame, i, 1) == dviotest::Frames(clean, kNtscFrame, 90 + i, 1);
        EXPECT_EQ(same, i != 70) << "frame " << i;
    }
    EXPECT_EQ(dviotest::FileSize(dir.File("out-redone.pass.dv")), -1);
}

}  // namespace
