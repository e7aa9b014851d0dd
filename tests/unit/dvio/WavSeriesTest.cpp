// WAV files that never mislabel their rate.
#include "WavSeries.h"

#include "CaptureCommand.h"

#include "DvioTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The files after the first are numbered; a capture's WAV is named after its .dv file.
TEST(WavSeries, NamesOfTheFiles) {
    const std::pair<std::string, std::string> names[] = {
        {WavSeries::NumberedPath("out.wav", 1), "out.wav"},      {WavSeries::NumberedPath("out.wav", 2), "out-2.wav"},
        {WavSeries::NumberedPath("dir.v1/take", 3), "dir.v1/take-3"},
        {WavSeries::NumberedPath("a/b.c/out.wav", 12), "a/b.c/out-12.wav"},
        {WavSeries::NumberedPath(".wav", 2), ".wav-2"},          {DefaultWavPath("take.dv"), "take.wav"},
        {DefaultWavPath("a.b/take"), "a.b/take.wav"},             {DefaultWavPath("dir/.dv"), "dir/.dv.wav"},
        {DefaultWavPath("x.y.dv"), "x.y.wav"}};
    for (const auto& [got, want] : names) EXPECT_EQ(got, want);
}

TEST(WavSeries, ALayoutChangeStartsTheNextFileAndEachHoldsItsOwnSamples) {
    dviotest::Scratch dir;
    const std::string first = dir.File("take.wav");
    WavSeries wav(first);
    std::string error;
    const std::vector<int16_t> stereo = {1, -1, 2, -2, 32767, -32768};
    const std::vector<int16_t> quad = {10, 11, 12, 13, 20, 21, 22, 23};
    ASSERT_TRUE(wav.Use(48000, 2, 0, "01:00:00;00", &error)) << error;
    ASSERT_TRUE(wav.Write(stereo.data(), 2, &error)) << error;
    // The same layout goes on in the same file.
    ASSERT_TRUE(wav.Use(48000, 2, 5, "01:00:00;05", &error));
    ASSERT_TRUE(wav.Write(stereo.data() + 4, 1, &error));
    ASSERT_TRUE(wav.Use(32000, 4, 7, "01:00:00;07", &error));
    ASSERT_TRUE(wav.Write(quad.data(), 2, &error));
    ASSERT_TRUE(wav.Use(32000, 2, 9, "01:00:00;09", &error));
    ASSERT_TRUE(wav.Close(&error)) << error;

    ASSERT_EQ(wav.Files().size(), 3u);
    EXPECT_EQ(wav.Files()[0].path, first);
    EXPECT_EQ(wav.Files()[0].samples, 3);
    EXPECT_EQ(wav.Files()[1].path, dir.File("take-2.wav"));
    EXPECT_EQ(wav.Files()[1].firstFrame, 7);
    EXPECT_EQ(wav.Files()[1].firstTimecode, "01:00:00;07");
    EXPECT_EQ(wav.Files()[2].channels, 2);
    EXPECT_EQ(wav.Files()[2].samples, 0);

    int rate = 0, channels = 0;
    EXPECT_EQ(dviotest::WavSamples(first, &rate, &channels), stereo);
    EXPECT_EQ(std::make_pair(rate, channels), std::make_pair(48000, 2));
    EXPECT_EQ(dviotest::WavSamples(dir.File("take-2.wav"), &rate, &channels), quad);
    EXPECT_EQ(std::make_pair(rate, channels), std::make_pair(32000, 4));
    EXPECT_TRUE(dviotest::WavSamples(dir.File("take-3.wav"), &rate, &channels).empty());
    EXPECT_EQ(std::make_pair(rate, channels), std::make_pair(32000, 2));
}

TEST(WavSeries, FailuresAreSentences) {
    WavSeries wav("/nonexistent-folder/out.wav");
    std::string error;
    const int16_t samples[2] = {0, 0};
    EXPECT_FALSE(wav.Write(samples, 1, &error));
    EXPECT_EQ(error, "no WAV file is open");
    EXPECT_FALSE(wav.Use(48000, 2, 0, "", &error));
    EXPECT_EQ(error.rfind("cannot write /nonexistent-folder/out.wav: ", 0), 0u) << error;
    EXPECT_TRUE(wav.Files().empty());
    EXPECT_TRUE(wav.Close(&error));
}

}  // namespace

// WAV files that follow split video files: each video file's audio in its own series,
// from its first frame on, numbered within it at a layout change; nothing before the
// first video file.
TEST(WavSeriesFollowing, EachVideoFileGetsItsOwnSeries) {
    dviotest::Scratch dir;
    WavSeries wav("");
    std::string error;
    const std::vector<int16_t> stereo = {1, -1, 2, -2};
    wav.FollowFrom(0, dir.File("a.wav"));
    wav.FollowFrom(10, dir.File("b.wav"));
    struct Step {
        int rate;
        int64_t frame;
    };
    for (const Step& step : {Step{48000, 0}, Step{48000, 9}, Step{48000, 10}, Step{32000, 12}}) {
        ASSERT_TRUE(wav.Use(step.rate, 2, step.frame, "", &error)) << error;
        ASSERT_TRUE(wav.Write(stereo.data(), 1, &error)) << error;
    }
    ASSERT_TRUE(wav.Close(&error)) << error;
    const std::pair<std::string, int64_t> expected[] = {{"a.wav", 2}, {"b.wav", 1}, {"b-2.wav", 1}};
    ASSERT_EQ(wav.Files().size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(wav.Files()[i].path, dir.File(expected[i].first));
        EXPECT_EQ(wav.Files()[i].samples, expected[i].second);
    }
    EXPECT_EQ(wav.Files()[2].sampleRate, 32000);
}
