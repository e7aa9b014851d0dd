// Host timecode arithmetic: drop-frame numbering, wraps at midnight, empty values, text.
#include "hostcore/Timecode.h"

#include <gtest/gtest.h>

#include <cstring>
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

TEST(Timecode, DropFrameSkipsTwoNumbersEveryMinuteButTheTenth) {
    EXPECT_EQ(Str(TCAdd(Tc(0, 0, 59, 29, kDrop), 1)), "00:01:00;02");
    EXPECT_EQ(Str(TCAdd(Tc(0, 9, 59, 29, kDrop), 1)), "00:10:00;00");
    EXPECT_EQ(Str(TCAdd(Tc(0, 1, 0, 2, kDrop), -1)), "00:00:59;29");
    EXPECT_EQ(Tc(0, 10, 0, 0, kDrop).frameCount, 17982);
    EXPECT_EQ(Tc(1, 0, 0, 0, kDrop).frameCount, 107892);
    EXPECT_EQ(TCFramesPerDay(&kDrop), 2589408);
    // Every count in a day maps to fields and back to the same count.
    for (LONG count = 0; count < 2589408; count += 997) {
        timecode_t tc = TCCreateDur(count, &kDrop);
        short extra, h, m, s, f;
        TCDeconstruct(tc, &extra, &h, &m, &s, &f);
        EXPECT_FALSE(s == 0 && f < 2 && m % 10 != 0) << "dropped frame number shown at " << count;
        ASSERT_EQ(TCConstruct(0, h, m, s, f, &kDrop).frameCount, count) << Str(tc);
    }
}

TEST(Timecode, ModDayWrapsAndDiffFolds) {
    timecode_t fiveSeconds = Tc(0, 0, 5, 0, kNonDrop30);
    EXPECT_EQ(Str(TCAddModDay(fiveSeconds, -180)), "23:59:59:00");
    EXPECT_EQ(Str(TCAddModDay(Tc(23, 59, 59, 29, kDrop), 1)), "00:00:00;00");
    EXPECT_EQ(TCAddModDay(Tc(23, 59, 59, 29, kDrop), 1).frameCount, 0);
    // Linear difference b - a, and the folded one across midnight.
    EXPECT_EQ(TCDiff(Tc(0, 0, 1, 0, kPal), Tc(0, 0, 2, 5, kPal)), 30);
    EXPECT_EQ(TCDiffModDay(Tc(23, 59, 59, 0, kNonDrop30), Tc(0, 0, 1, 0, kNonDrop30)), 60);
    EXPECT_EQ(TCDiffModDay(Tc(0, 0, 1, 0, kNonDrop30), Tc(23, 59, 59, 0, kNonDrop30)), -60);
    // Arithmetic keeps the first argument's description.
    timecode_t sum = TCAdd(Tc(0, 0, 0, 0, kPal), 50);
    EXPECT_EQ(sum.desc.frameRate, 25u);
    EXPECT_EQ(Str(sum), "00:00:02:00");
    // 32-bit wrap of the linear forms.
    timecode_t high = TCCreateDur(0x7FFFFFFF, &kPal);
    EXPECT_EQ(TCAdd(high, 1).frameCount, static_cast<LONG>(0x80000000u));
}

TEST(Timecode, EmptyTimecodeStaysEmpty) {
    timecode_t empty = TCCreateDur(kTCEmptyFrameCount, &kDrop);
    EXPECT_TRUE(TCIsEmpty(empty));
    EXPECT_EQ(empty.desc.dropFrame, 1u);  // the description is kept
    EXPECT_EQ(Str(empty), "--:--:--:--");
    EXPECT_TRUE(TCIsEmpty(TCAddModDay(empty, 5)));
    EXPECT_TRUE(TCIsEmpty(TCAddModDay(empty, -5)));
    timecode_t zeroDesc = TCCreateDur(kTCEmptyFrameCount, nullptr);
    EXPECT_TRUE(TCEqual(&empty, &zeroDesc));  // equality compares counts only
    short extra, h, m, s, f;
    TCDeconstruct(empty, &extra, &h, &m, &s, &f);
    EXPECT_EQ(h, -1);
    EXPECT_EQ(f, -1);
}

TEST(Timecode, TextIsAlwaysTerminatedAndMarksDropFrame) {
    EXPECT_EQ(Str(Tc(1, 2, 3, 4, kNonDrop30)), "01:02:03:04");
    EXPECT_EQ(Str(Tc(1, 2, 3, 4, kDrop)), "01:02:03;04");
    // Drop-frame only applies at 30 fps.
    timecodeDesc_t dropAt25 = TCCreateDesc(1, 25);
    EXPECT_EQ(Str(Tc(0, 1, 0, 0, dropAt25)), "00:01:00:00");
    char small[6];
    std::memset(small, 'x', sizeof small);
    TCToStr(Tc(1, 2, 3, 4, kNonDrop30), small, sizeof small, 0);
    EXPECT_EQ(std::string(small), "01:02");
    EXPECT_EQ(TCToStr(Tc(0, 0, 0, 0, kPal), nullptr, 10, 0), nullptr);
    // A rate of 0 counts as 30.
    timecodeDesc_t zeroRate = TCCreateDesc(0, 0);
    EXPECT_EQ(Tc(0, 0, 1, 0, zeroRate).frameCount, 30);
}

}  // namespace
