// Host timecode arithmetic: drop-frame numbering, wraps at midnight, empty values, text.
#include "hostcore/Timecode.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const timecodeDesc_t kDrop = TCCreateDesc(1, 30);
const timecodeDesc_t kNonDrop30 = TCCreateDesc(0, 30);
const timecodeDesc_t kPal = TCCreateDesc(0, 25);

std::string Str(timecode_t tc) {
    char text[32];
    return TCToStr(tc, text, sizeof text, 0);
}

timecode_t Tc(int h, int m, int s, int f, const timecodeDesc_t& desc) {
    return TCConstruct(0, static_cast<short>(h), static_cast<short>(m), static_cast<short>(s),
                       static_cast<short>(f), &desc);
}

struct Fields {
    short h = 0, m = 0, s = 0, f = 0;
    bool operator==(const Fields& o) const { return h == o.h && m == o.m && s == o.s && f == o.f; }
};

// The label after `x`, counted out by hand: drop-frame skips frame numbers 0 and 1 at
// the start of every minute but each tenth.
Fields Next(Fields x, short fps, bool drop) {
    if (++x.f < fps) return x;
    x.f = 0;
    if (++x.s == 60) {
        x.s = 0;
        if (++x.m == 60) {
            x.m = 0;
            ++x.h;
        }
    }
    if (drop && x.s == 0 && x.m % 10 != 0) x.f = 2;
    return x;
}

// Every frame of a day at 25, 30 and 30 drop-frame: the count's fields are the labels
// stepped one by one from midnight, the fields give the count back, +1 moves to the
// next label, and the day ends where the next one begins.
TEST(Timecode, EveryFrameOfADayRoundTripsAndSteps) {
    for (const timecodeDesc_t& desc : {kPal, kNonDrop30, kDrop}) {
        const short fps = static_cast<short>(desc.frameRate);
        const bool drop = desc.dropFrame != 0;
        SCOPED_TRACE(std::to_string(fps) + (drop ? " drop-frame" : ""));
        Fields label;
        LONG count = 0;
        // Each step goes through TCAdd, as callers step a timecode.
        for (timecode_t tc = TCCreateDur(0, &desc); label.h < 24; label = Next(label, fps, drop), tc = TCAdd(tc, 1)) {
            count = tc.frameCount;
            Fields got;
            short extra = 0;
            TCDeconstruct(tc, &extra, &got.h, &got.m, &got.s, &got.f);
            ASSERT_TRUE(got == label) << "count " << count << " reads " << Str(tc);
            ASSERT_EQ(TCConstruct(0, label.h, label.m, label.s, label.f, &desc).frameCount, count) << Str(tc);
        }
        EXPECT_EQ(TCFramesPerDay(&desc), count + 1);
        EXPECT_EQ(TCAddModDay(TCCreateDur(count, &desc), 1).frameCount, 0);
    }
}

TEST(Timecode, ModDayWrapsAndDiffFolds) {
    timecode_t fiveSeconds = Tc(0, 0, 5, 0, kNonDrop30);
    EXPECT_EQ(Str(TCAddModDay(fiveSeconds, -180)), "23:59:59:00");
    // Linear difference b - a, and the folded one across midnight.
    EXPECT_EQ(TCDiff(Tc(0, 0, 1, 0, kPal), Tc(0, 0, 2, 5, kPal)), 30);
    EXPECT_EQ(TCDiffModDay(Tc(23, 59, 59, 0, kNonDrop30), Tc(0, 0, 1, 0, kNonDrop30)), 60);
    EXPECT_EQ(TCDiffModDay(Tc(0, 0, 1, 0, kNonDrop30), Tc(23, 59, 59, 0, kNonDrop30)), -60);
}

TEST(Timecode, EmptyTimecodeStaysEmpty) {
    timecode_t empty = TCCreateDur(kTCEmptyFrameCount, &kDrop);
    EXPECT_TRUE(TCIsEmpty(empty));
    EXPECT_EQ(empty.desc.dropFrame, 1u);  // the description is kept
    EXPECT_EQ(Str(empty), "--:--:--:--");
    EXPECT_TRUE(TCIsEmpty(TCAddModDay(empty, 5)));
}

TEST(Timecode, TextIsAlwaysTerminatedAndMarksDropFrame) {
    EXPECT_EQ(Str(Tc(1, 2, 3, 4, kNonDrop30)), "01:02:03:04");
    EXPECT_EQ(Str(Tc(1, 2, 3, 4, kDrop)), "01:02:03;04");
    // Drop-frame only applies at 30 fps.
    EXPECT_EQ(Str(Tc(0, 1, 0, 0, TCCreateDesc(1, 25))), "00:01:00:00");
    char small[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
    TCToStr(Tc(1, 2, 3, 4, kNonDrop30), small, sizeof small, 0);
    EXPECT_EQ(std::string(small), "01:02");
    EXPECT_EQ(TCToStr(Tc(0, 0, 0, 0, kPal), nullptr, 10, 0), nullptr);
    // A rate of 0 counts as 30.
    EXPECT_EQ(Tc(0, 0, 1, 0, TCCreateDesc(0, 0)).frameCount, 30);
}

}  // namespace
