// What users type: the words of dvio deck and --trace, and timecodes.
#include "DeckCommand.h"
#include "TimecodeArg.h"
#include "TraceOption.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(DeckSteps, CommandsTakeTheirArgumentsInOrder) {
    std::vector<DeckStep> steps;
    std::string error;
    ASSERT_TRUE(ParseDeckSteps({"seek", "00:01:00:00", "timecode", "play", "wait", "2", "pause", "shuttle", "-40",
                                "state"},
                               &steps, &error))
        << error;
    ASSERT_EQ(steps.size(), 7u);
    EXPECT_EQ(steps[0].name, "seek");
    EXPECT_EQ(steps[0].argument, "00:01:00:00");
    EXPECT_EQ(steps[3].name, "wait");
    EXPECT_EQ(steps[3].argument, "2");
    EXPECT_EQ(steps[5].argument, "-40");
    EXPECT_TRUE(steps[6].argument.empty());
    for (const char* word : {"play", "stop", "pause", "ff", "rew", "step", "back", "record", "eject", "state",
                             "timecode"})
        EXPECT_TRUE(ParseDeckSteps({word}, &steps, &error)) << word;
}

TEST(DeckSteps, MistakesAreFoundBeforeAnythingRuns) {
    struct Case {
        std::vector<std::string> words;
        const char* error;
    };
    const Case cases[] = {
        {{}, "dvio deck needs at least one command, for example: dvio deck play wait 2 pause timecode"},
        {{"play", "dance"},
         "\"dance\" is not a deck command: use play, stop, pause, ff, rew, step, back, record, eject, state, "
         "timecode, seek TC, shuttle SPEED or wait SECONDS"},
        {{"seek"}, "seek needs a timecode (HH:MM:SS:FF)"},
        {{"seek", "1:00"}, "\"1:00\" is not a timecode: write HH:MM:SS:FF, or HH:MM:SS;FF for drop-frame"},
        {{"shuttle", "fast"}, "shuttle takes a whole speed from -100 to 100, not \"fast\""},
        {{"shuttle", "101"}, "shuttle takes a whole speed from -100 to 100, not \"101\""},
        {{"wait", "-1"}, "wait takes a number of seconds from 0 to 3600, not \"-1\""},
        {{"wait"}, "wait needs a number of seconds"},
    };
    for (const Case& c : cases) {
        std::vector<DeckStep> steps;
        std::string error;
        EXPECT_FALSE(ParseDeckSteps(c.words, &steps, &error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(TraceOption, WordsBecomeTheTraceSwitchBits) {
    LONG bits = -1;
    std::string error;
    ASSERT_TRUE(ParseTrace("", &bits, &error));
    EXPECT_EQ(bits, 0);
    ASSERT_TRUE(ParseTrace("playback,deck", &bits, &error));
    EXPECT_EQ(bits, 5);
    ASSERT_TRUE(ParseTrace("deck,capture,playback", &bits, &error));
    EXPECT_EQ(bits, 7);
    EXPECT_FALSE(ParseTrace("deck,decks", &bits, &error));
    EXPECT_EQ(error, "--trace takes deck, capture and playback, not \"decks\"");
}

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
