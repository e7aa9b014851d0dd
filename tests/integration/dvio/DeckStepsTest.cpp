// The words of dvio deck and --trace.
#include "DeckCommand.h"
#include "TraceOption.h"

#include <gtest/gtest.h>

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

}  // namespace
