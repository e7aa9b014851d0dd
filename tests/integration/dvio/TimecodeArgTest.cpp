// Timecodes as users type them.
#include "TimecodeArg.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(TimecodeArg, ParsesFieldsAndTheDropFrameMark) {
    TimecodeArg tc;
    std::string error;
    ASSERT_TRUE(ParseTimecodeArg("01:02:03:04", &tc, &error)) << error;
    EXPECT_EQ(std::make_tuple(tc.hours, tc.minutes, tc.seconds, tc.frames, tc.dropFrameMark),
              std::make_tuple(1, 2, 3, 4, false));
    ASSERT_TRUE(ParseTimecodeArg("23:59:59;29", &tc, &error));
    EXPECT_TRUE(tc.dropFrameMark);
    ASSERT_TRUE(ParseTimecodeArg("00:00:10.05", &tc, &error));
    EXPECT_TRUE(tc.dropFrameMark);
    EXPECT_EQ(tc.frames, 5);
}

TEST(TimecodeArg, RefusesMalformedTextWithASentence) {
    TimecodeArg tc;
    for (const char* text : {"", "1:02:03:04", "01:02:03", "01-02-03-04", "01:02:03:4x", "01:02:03:045", "aa:bb:cc:dd"}) {
        std::string error;
        EXPECT_FALSE(ParseTimecodeArg(text, &tc, &error)) << text;
        EXPECT_NE(error.find("is not a timecode: write HH:MM:SS:FF"), std::string::npos) << text << ": " << error;
    }
    for (const char* text : {"24:00:00:00", "00:60:00:00", "00:00:60:00"}) {
        std::string error;
        EXPECT_FALSE(ParseTimecodeArg(text, &tc, &error)) << text;
        EXPECT_NE(error.find("hours go to 23"), std::string::npos) << error;
    }
}

TEST(TimecodeArg, FramesMustBeBelowTheRate) {
    TimecodeArg tc;
    std::string error;
    ASSERT_TRUE(ParseTimecodeArg("00:00:01:25", &tc, &error));
    EXPECT_TRUE(CheckTimecodeArg(tc, 30, false, &error));
    EXPECT_FALSE(CheckTimecodeArg(tc, 25, false, &error));
    EXPECT_EQ(error, "00:00:01:25 does not exist at 25 frames per second: frames go to 24");
}

TEST(TimecodeArg, DroppedLabelsMoveToTheNextFrameThatExists) {
    TimecodeArg tc;
    std::string error;
    ASSERT_TRUE(ParseTimecodeArg("00:01:00:00", &tc, &error));
    EXPECT_TRUE(SkipDroppedLabel(&tc));
    EXPECT_EQ(TimecodeArgText(tc, true), "00:01:00;02");
    ASSERT_TRUE(ParseTimecodeArg("00:01:00;01", &tc, &error));
    EXPECT_TRUE(SkipDroppedLabel(&tc));
    EXPECT_EQ(tc.frames, 2);
    // Every tenth minute keeps its first two frames; other labels stay.
    for (const char* text : {"00:10:00;00", "00:01:00;02", "00:01:01;00", "00:00:00;00"}) {
        ASSERT_TRUE(ParseTimecodeArg(text, &tc, &error));
        const TimecodeArg before = tc;
        EXPECT_FALSE(SkipDroppedLabel(&tc)) << text;
        EXPECT_EQ(tc.frames, before.frames) << text;
    }
}

TEST(TimecodeArg, BuildsTheHostTimecodeWithTheDeckDescription) {
    TimecodeArg tc;
    std::string error;
    ASSERT_TRUE(ParseTimecodeArg("00:01:00;02", &tc, &error));
    // Drop-frame: 00:01:00;02 is the 1800th frame from 00:00:00;00.
    EXPECT_EQ(ToTimecode(tc, TCCreateDesc(1, 30)).frameCount, 1800);
    EXPECT_EQ(ToTimecode(tc, TCCreateDesc(0, 30)).frameCount, 1802);
    ASSERT_TRUE(ParseTimecodeArg("10:00:00:00", &tc, &error));
    const timecode_t pal = ToTimecode(tc, TCCreateDesc(0, 25));
    EXPECT_EQ(pal.frameCount, 900000);
    EXPECT_EQ(pal.desc.frameRate, 25u);
    EXPECT_EQ(TimecodeArgText(tc, false), "10:00:00:00");
}

}  // namespace
