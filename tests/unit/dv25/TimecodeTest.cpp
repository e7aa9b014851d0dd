// Timecode in the DV25 subcode: writing every copy, reading by majority, searching a
// window, and refusing what a frame cannot carry.
#include "Dv25TestSupport.h"

#include "digitalio/DV25Timecode.h"
#include "hostcore/Timecode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace dv25test;
using Pack = std::vector<unsigned char>;
using Row = std::vector<ULONG>;
constexpr ULONG kAbsent = kTimeCodeFieldAbsent;

const timecodeDesc_t kDrop = TCCreateDesc(1, 30);
const timecodeDesc_t kNonDrop = TCCreateDesc(0, 30);
const timecodeDesc_t kPal = TCCreateDesc(0, 25);
const unsigned char kNoInfo[5] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

timecode_t Tc(int h, int m, int s, int f, const timecodeDesc_t& desc) { return TCConstruct(0, h, m, s, f, &desc); }

// Subcode pack n (0..11) of a sequence: six packs in each of its two subcode blocks.
unsigned char* PackPtr(unsigned char* frame, int sequence, int n) {
    return frame + static_cast<size_t>(sequence) * 12000 + 80 * (1 + n / 6) + 3 + 8 * (n % 6) + 3;
}
Pack PackAt(unsigned char* frame, int sequence, int n) { return Bytes(PackPtr(frame, sequence, n), 5); }

// GetTimecode as one row {found, h, m, s, f, drop}. The flag is read twice from
// opposite starting values, so a flag left unwritten shows as 2.
Row Read(unsigned char* frame) {
    TimeCode r{};
    bool dropA = true, dropB = false;
    const bool found = DV25Timecode().GetTimecode(frame, &r, &dropA);
    DV25Timecode().GetTimecode(frame, &r, &dropB);
    return {found, r.hours, r.minutes, r.seconds, r.frames, !found ? 0u : dropA == dropB ? ULONG(dropA) : 2u};
}

// LookForTimeCode as one row {found, frame count after, drop flag after}.
std::vector<LONG> Look(unsigned char* frame, timecode_t t, int window) {
    const bool found = DV25Timecode().LookForTimeCode(frame, &t, window);
    return {found, t.frameCount, static_cast<LONG>(t.desc.dropFrame & 1u)};
}

TEST(Timecode, InsertWritesEveryPlaceAReaderLooksWithDropFrame) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    DV25Timecode tc;
    ASSERT_TRUE(tc.InsertTimecode(frame.data(), Tc(1, 2, 3, 4, kDrop), DIO_NTSC, false));
    // The generated frame had a timecode everywhere already: rewritten with its flags.
    const Pack expected = {0x13, 0xC4, 0x83, 0x82, 0xC1};
    for (int s = 0; s < 10; ++s) {
        for (int n = 0; n < 12; ++n) {
            // The second half's frames carry timecode only in every third pack.
            if (s < 5 || n % 3 == 0) {
                EXPECT_EQ(PackAt(frame.data(), s, n), expected) << s << " " << n;
            } else if (n < 6) {
                EXPECT_EQ(PackAt(frame.data(), s, n)[0], 0xFF) << s << " " << n;
            }
        }
    }
    // Frame bytes 86..90 are the first sync block's pack.
    EXPECT_EQ(Bytes(frame.data() + 86, 5), expected);
    EXPECT_EQ(Read(frame.data()), (Row{1, 1, 2, 3, 4, 1}));

    ASSERT_TRUE(tc.InsertTimecode(frame.data(), Tc(23, 59, 59, 29, kNonDrop), DIO_NTSC, false));
    EXPECT_EQ(PackAt(frame.data(), 7, 3), (Pack{0x13, 0xA9, 0xD9, 0xD9, 0xE3}));
    EXPECT_EQ(Read(frame.data()), (Row{1, 23, 59, 59, 29, 0}));
}

TEST(Timecode, CreatesPacksInAFrameWithoutTimecode) {
    FrameBuffer frame = BlackFrame(DIO_PAL);
    // Wipe every pack and break every sync block ID.
    for (int s = 0; s < 12; ++s)
        for (int n = 0; n < 12; ++n) std::memset(PackPtr(frame.data(), s, n) - 3, 0xFF, 8);
    DV25Timecode tc;
    EXPECT_EQ(Read(frame.data()), (Row{0, kAbsent, kAbsent, kAbsent, kAbsent, 0}));
    // Only rewriting existing packs finds nothing to rewrite.
    EXPECT_FALSE(tc.InsertTimecode(frame.data(), Tc(10, 0, 0, 24, kPal), DIO_PAL, true));
    EXPECT_EQ(Read(frame.data())[0], 0u);

    ASSERT_TRUE(tc.InsertTimecode(frame.data(), Tc(10, 0, 0, 24, kPal), DIO_PAL, false));
    const Pack expected = {0x13, 0xA4, 0x80, 0x80, 0xD0};
    EXPECT_EQ(PackAt(frame.data(), 0, 0), expected);
    EXPECT_EQ(PackAt(frame.data(), 5, 11), expected);
    EXPECT_EQ(PackAt(frame.data(), 11, 9), expected);
    EXPECT_EQ(PackAt(frame.data(), 11, 10)[0], 0xFF);
    // Sync block IDs: FR set in the first half, the number, 0xFF; track number unknown.
    EXPECT_EQ(Bytes(PackPtr(frame.data(), 2, 7) - 3, 3), (Pack{0xFF, 0xF7, 0xFF}));
    EXPECT_EQ(PackPtr(frame.data(), 8, 7)[-3], 0x7F);
    EXPECT_EQ(Read(frame.data()), (Row{1, 10, 0, 0, 24, 0}));
}

TEST(Timecode, ExistingOnlyKeepsTheFrameLayoutAndFlags) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    // A recorder's layout: timecode only at sync blocks 3 and 9, binary-group flags clear.
    const unsigned char pack[5] = {0x13, 0x45, 0x05, 0x00, 0x00};
    for (int s = 0; s < 10; ++s)
        for (int n = 0; n < 12; ++n) std::memcpy(PackPtr(frame.data(), s, n), n == 3 || n == 9 ? pack : kNoInfo, 5);
    ASSERT_TRUE(DV25Timecode().InsertTimecode(frame.data(), Tc(0, 10, 0, 0, kDrop), DIO_NTSC, true));
    EXPECT_EQ(PackAt(frame.data(), 4, 9), (Pack{0x13, 0x40, 0x00, 0x10, 0x00}));
    EXPECT_EQ(PackAt(frame.data(), 4, 0)[0], 0xFF);
    EXPECT_EQ(Read(frame.data()), (Row{1, 0, 10, 0, 0, 1}));
}

TEST(Timecode, MostFrequentValidCopyWinsAndAnyValidCopyIsFound) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    ASSERT_TRUE(DV25Timecode().InsertTimecode(frame.data(), Tc(0, 0, 10, 5, kDrop), DIO_NTSC, false));
    // The first packs of the frame show a neighbouring frame's value, or garbage.
    const unsigned char neighbour[5] = {0x13, 0xC4, 0x90, 0x80, 0xC0};
    const unsigned char garbage[5] = {0x13, 0xCA, 0x90, 0x80, 0xC0};
    for (int n = 0; n < 12; ++n) {
        std::memcpy(PackPtr(frame.data(), 0, n), neighbour, 5);
        std::memcpy(PackPtr(frame.data(), 1, n), garbage, 5);
    }
    EXPECT_EQ(Read(frame.data()), (Row{1, 0, 0, 10, 5, 1}));
    // LookForTimeCode answers for any valid copy, also a minority one, but not for the
    // value only non-BCD packs show.
    const LONG minority = Tc(0, 0, 10, 4, kDrop).frameCount;
    EXPECT_EQ(Look(frame.data(), Tc(0, 0, 10, 4, kDrop), 1), (std::vector<LONG>{1, minority, 1}));
    EXPECT_EQ(Look(frame.data(), Tc(0, 0, 10, 10, kDrop), 1)[0], 0);
}

TEST(Timecode, LookForTimeCodeFindsWhatWasInsertedWithinTheWindow) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    const timecode_t inserted = Tc(0, 1, 0, 2, kDrop);  // the first label of minute 1
    ASSERT_TRUE(DV25Timecode().InsertTimecode(frame.data(), inserted, DIO_NTSC, false));
    const LONG at = inserted.frameCount;
    EXPECT_EQ(Look(frame.data(), inserted, 1), (std::vector<LONG>{1, at, 1}));
    // Three frames earlier, over a window of 4: found, and moved to the value. Over 3
    // it is not found and left alone.
    EXPECT_EQ(Look(frame.data(), TCAdd(inserted, -3), 4), (std::vector<LONG>{1, at, 1}));
    EXPECT_EQ(Look(frame.data(), TCAdd(inserted, -3), 3), (std::vector<LONG>{0, at - 3, 1}));
    // Later timecodes are never found; 0 and negative windows mean one frame.
    for (int n : {-5, 0, 1, 100}) EXPECT_EQ(Look(frame.data(), TCAdd(inserted, 1), n)[0], 0) << n;
    EXPECT_EQ(Look(frame.data(), inserted, 0)[0], 1);
    // Asked in non-drop counting, the label is the same, and the drop flag of the pack
    // comes back with it.
    EXPECT_EQ(Look(frame.data(), Tc(0, 1, 0, 2, kNonDrop), 1), (std::vector<LONG>{1, at, 1}));
    EXPECT_EQ(Look(frame.data(), TCCreateDur(static_cast<LONG>(0x80000000u), &kDrop), 10)[0], 0);
    EXPECT_FALSE(DV25Timecode().LookForTimeCode(frame.data(), nullptr, 1));
}

TEST(Timecode, DropFrameSurvivesAcrossAMinuteOfInsertAndRead) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    DV25Timecode tc;
    const timecode_t start = Tc(0, 0, 59, 0, kDrop);
    for (int i = 0; i < 1900; ++i) {
        const timecode_t t = TCAdd(start, i);
        ASSERT_TRUE(tc.InsertTimecode(frame.data(), t, DIO_NTSC, false));
        const Row r = Read(frame.data());
        ASSERT_EQ(r[5], 1u) << i;
        ASSERT_EQ(Tc(int(r[1]), int(r[2]), int(r[3]), int(r[4]), kDrop).frameCount, t.frameCount) << i;
        ASSERT_EQ(Look(frame.data(), t, 1)[0], 1) << i;
    }
}

TEST(Timecode, RefusesWhatTheFrameCannotCarry) {
    FrameBuffer ntsc = BlackFrame(DIO_NTSC);
    FrameBuffer pal = BlackFrame(DIO_PAL);
    DV25Timecode tc;
    const timecode_t t = Tc(1, 0, 0, 0, kPal);
    // The standard named must be the frame's own.
    EXPECT_FALSE(tc.InsertTimecode(ntsc.data(), t, DIO_PAL, false));
    EXPECT_FALSE(tc.InsertTimecode(pal.data(), t, DIO_NTSC, false));
    EXPECT_FALSE(tc.InsertTimecode(pal.data(), t, DIO_NoVideoFormat, false));
    // Frame 27 does not exist at 25 frames per second.
    EXPECT_FALSE(tc.InsertTimecode(pal.data(), Tc(0, 0, 0, 27, kNonDrop), DIO_PAL, false));
    EXPECT_FALSE(tc.InsertTimecode(pal.data(), TCCreateDur(static_cast<LONG>(0x80000000u), &kPal), DIO_PAL, false));
    EXPECT_FALSE(tc.InsertTimecode(nullptr, t, DIO_PAL, false));
    EXPECT_EQ(Read(pal.data()), (Row{1, 0, 0, 0, 0, 0}));
    TimeCode record;
    bool dropFrame;
    EXPECT_FALSE(tc.GetTimecode(nullptr, &record, &dropFrame));
    EXPECT_FALSE(tc.GetTimecode(pal.data(), nullptr, &dropFrame));
    EXPECT_FALSE(tc.GetTimecode(pal.data(), &record, nullptr));
}

TEST(Timecode, InvalidCopiesGiveAbsentFieldsButStillCount) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    // Every timecode pack says 00:01:00;00, a label drop-frame counting skips.
    const unsigned char skipped[5] = {0x13, 0xC0, 0x80, 0x81, 0xC0};
    for (int s = 0; s < 10; ++s)
        for (int n = 0; n < 12; ++n)
            if (PackPtr(frame.data(), s, n)[0] == 0x13) std::memcpy(PackPtr(frame.data(), s, n), skipped, 5);
    EXPECT_EQ(Read(frame.data()), (Row{1, kAbsent, kAbsent, kAbsent, kAbsent, 0}));
}

}  // namespace
