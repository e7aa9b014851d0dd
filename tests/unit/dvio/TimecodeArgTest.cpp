// Timecodes users type: a label drop-frame counting skips means the next one that exists.
#include "TimecodeArg.h"

#include <gtest/gtest.h>

namespace {

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

}  // namespace
