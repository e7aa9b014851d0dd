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

const timecodeDesc_t kDrop = TCCreateDesc(1, 30);
const timecodeDesc_t kNonDrop = TCCreateDesc(0, 30);
const timecodeDesc_t kPal = TCCreateDesc(0, 25);

timecode_t Tc(int h, int m, int s, int f, const timecodeDesc_t& desc) { return TCConstruct(0, h, m, s, f, &desc); }

// Subcode pack n (0..11) of a sequence: six packs in each of its two subcode blocks.
unsigned char* PackPtr(unsigned char* frame, int sequence, int n) {
    return frame + static_cast<size_t>(sequence) * 12000 + 80 * (1 + n / 6) + 3 + 8 * (n % 6) + 3;
}
std::vector<unsigned char> PackAt(unsigned char* frame, int sequence, int n) { return Bytes(PackPtr(frame, sequence, n), 5); }

std::vector<ULONG> Fields(const TimeCode& r) { return {r.hours, r.minutes, r.seconds, r.frames}; }
const std::vector<ULONG> kAbsent(4, kTimeCodeFieldAbsent);

TEST(Timecode, InsertWritesEveryPlaceAReaderLooksWithDropFrame) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    DV25Timecode tc;
    ASSERT_TRUE(tc.InsertTimecode(frame.data(), Tc(1, 2, 3, 4, kDrop), DIO_NTSC, false));
    // The generated frame had a timecode everywhere already: rewritten with its flags.
    const std::vector<unsigned char> expected = {0x13, 0xC4, 0x83, 0x82, 0xC1};
    for (int s = 0; s < 5; ++s) {
        for (int n = 0; n < 12; ++n) EXPECT_EQ(PackAt(frame.data(), s, n), expected) << s << " " << n;
    }
    for (int s = 5; s < 10; ++s) {
        for (int n : {0, 3, 6, 9}) EXPECT_EQ(PackAt(frame.data(), s, n), expected) << s << " " << n;
        for (int n : {1, 2, 4, 5}) EXPECT_EQ(PackAt(frame.data(), s, n)[0], 0xFF);
    }
    // Frame bytes 86..90 are the first sync block's pack.
    EXPECT_EQ(std::vector<unsigned char>(frame.data() + 86, frame.data() + 91), expected);
    TimeCode record;
    bool dropFrame = false;
    ASSERT_TRUE(tc.GetTimecode(frame.data(), &record, &dropFrame));
    EXPECT_EQ(Fields(record), (std::vector<ULONG>{1, 2, 3, 4}));
    EXPECT_TRUE(dropFrame);

    ASSERT_TRUE(tc.InsertTimecode(frame.data(), Tc(23, 59, 59, 29, kNonDrop), DIO_NTSC, false));
    EXPECT_EQ(PackAt(frame.data(), 7, 3), (std::vector<unsigned char>{0x13, 0xA9, 0xD9, 0xD9, 0xE3}));
    ASSERT_TRUE(tc.GetTimecode(frame.data(), &record, &dropFrame));
    EXPECT_EQ(Fields(record), (std::vector<ULONG>{23, 59, 59, 29}));
    EXPECT_FALSE(dropFrame);
}

TEST(Timecode, CreatesPacksInAFrameWithoutTimecode) {
    FrameBuffer frame = BlackFrame(DIO_PAL);
    // Wipe every pack and break every sync block ID.
    for (int s = 0; s < 12; ++s) {
        for (int n = 0; n < 12; ++n) std::memset(PackPtr(frame.data(), s, n) - 3, 0xFF, 8);
    }
    DV25Timecode tc;
    TimeCode record;
    bool dropFrame = true;
    EXPECT_FALSE(tc.GetTimecode(frame.data(), &record, &dropFrame));
    EXPECT_EQ(Fields(record), kAbsent);
    // Only rewriting existing packs finds nothing to rewrite.
    EXPECT_FALSE(tc.InsertTimecode(frame.data(), Tc(10, 0, 0, 24, kPal), DIO_PAL, true));
    EXPECT_FALSE(tc.GetTimecode(frame.data(), &record, &dropFrame));

    ASSERT_TRUE(tc.InsertTimecode(frame.data(), Tc(10, 0, 0, 24, kPal), DIO_PAL, false));
    const std::vector<unsigned char> expected = {0x13, 0xA4, 0x80, 0x80, 0xD0};
    EXPECT_EQ(PackAt(frame.data(), 0, 0), expected);
    EXPECT_EQ(PackAt(frame.data(), 5, 11), expected);
    EXPECT_EQ(PackAt(frame.data(), 11, 9), expected);
    EXPECT_EQ(PackAt(frame.data(), 11, 10)[0], 0xFF);
    // Sync block IDs: FR set in the first half, the number, 0xFF; track number unknown.
    EXPECT_EQ(Bytes(PackPtr(frame.data(), 2, 7) - 3, 3), (std::vector<unsigned char>{0xFF, 0xF7, 0xFF}));
    EXPECT_EQ(PackPtr(frame.data(), 8, 7)[-3], 0x7F);
    ASSERT_TRUE(tc.GetTimecode(frame.data(), &record, &dropFrame));
    EXPECT_EQ(Fields(record), (std::vector<ULONG>{10, 0, 0, 24}));
    EXPECT_FALSE(dropFrame);
}

TEST(Timecode, ExistingOnlyKeepsTheFrameLayoutAndFlags) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    // A recorder's layout: timecode only at sync blocks 3 and 9, binary-group flags clear.
    for (int s = 0; s < 10; ++s) {
        for (int n = 0; n < 12; ++n) std::memset(PackPtr(frame.data(), s, n), 0xFF, 5);
        for (int n : {3, 9}) {
            const unsigned char pack[5] = {0x13, 0x45, 0x05, 0x00, 0x00};
            std::memcpy(PackPtr(frame.data(), s, n), pack, 5);
        }
    }
    DV25Timecode tc;
    ASSERT_TRUE(tc.InsertTimecode(frame.data(), Tc(0, 10, 0, 0, kDrop), DIO_NTSC, true));
    EXPECT_EQ(PackAt(frame.data(), 4, 9), (std::vector<unsigned char>{0x13, 0x40, 0x00, 0x10, 0x00}));
    EXPECT_EQ(PackAt(frame.data(), 4, 0)[0], 0xFF);
    TimeCode record;
    bool dropFrame;
    ASSERT_TRUE(tc.GetTimecode(frame.data(), &record, &dropFrame));
    EXPECT_EQ(Fields(record), (std::vector<ULONG>{0, 10, 0, 0}));
}

TEST(Timecode, MostFrequentValidCopyWins) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    DV25Timecode tc;
    ASSERT_TRUE(tc.InsertTimecode(frame.data(), Tc(0, 0, 10, 5, kDrop), DIO_NTSC, false));
    // The first packs of the frame show a neighbouring frame's value, or garbage.
    const unsigned char neighbour[5] = {0x13, 0xC4, 0x90, 0x80, 0xC0};
    const unsigned char garbage[5] = {0x13, 0xCA, 0x90, 0x80, 0xC0};
    for (int n = 0; n < 12; ++n) {
        std::memcpy(PackPtr(frame.data(), 0, n), neighbour, 5);
        std::memcpy(PackPtr(frame.data(), 1, n), garbage, 5);
    }
    TimeCode record;
    bool dropFrame;
    ASSERT_TRUE(tc.GetTimecode(frame.data(), &record, &dropFrame));
    EXPECT_EQ(Fields(record), (std::vector<ULONG>{0, 0, 10, 5}));
    // LookForTimeCode answers for any valid copy, also a minority one.
    timecode_t wanted = Tc(0, 0, 10, 4, kDrop);
    EXPECT_TRUE(tc.LookForTimeCode(frame.data(), &wanted, 1));
    EXPECT_EQ(wanted.frameCount, Tc(0, 0, 10, 4, kDrop).frameCount);
    timecode_t invalid = Tc(0, 0, 10, 10, kDrop);  // only in the non-BCD packs
    EXPECT_FALSE(tc.LookForTimeCode(frame.data(), &invalid, 1));
}

TEST(Timecode, LookForTimeCodeFindsWhatWasInsertedWithinTheWindow) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    DV25Timecode tc;
    const timecode_t inserted = Tc(0, 1, 0, 2, kDrop);  // the first label of minute 1
    ASSERT_TRUE(tc.InsertTimecode(frame.data(), inserted, DIO_NTSC, false));

    timecode_t exact = inserted;
    EXPECT_TRUE(tc.LookForTimeCode(frame.data(), &exact, 1));
    EXPECT_EQ(exact.frameCount, inserted.frameCount);
    EXPECT_EQ(exact.desc.dropFrame & 1u, 1u);

    // Three frames earlier, searched over a window of 4: found, and moved to the value.
    timecode_t early = TCAdd(inserted, -3);
    EXPECT_TRUE(tc.LookForTimeCode(frame.data(), &early, 4));
    EXPECT_EQ(early.frameCount, inserted.frameCount);
    timecode_t tooEarly = TCAdd(inserted, -3);
    EXPECT_FALSE(tc.LookForTimeCode(frame.data(), &tooEarly, 3));
    EXPECT_EQ(tooEarly.frameCount, TCAdd(inserted, -3).frameCount);
    // Later timecodes are never found; 0 and negative windows mean one frame.
    for (int n : {-5, 0, 1, 100}) {
        timecode_t later = TCAdd(inserted, 1);
        EXPECT_FALSE(tc.LookForTimeCode(frame.data(), &later, n));
    }
    timecode_t same = inserted;
    EXPECT_TRUE(tc.LookForTimeCode(frame.data(), &same, 0));

    // Asked in non-drop counting, the label is the same, and the drop flag of the pack
    // comes back with it.
    timecode_t nonDrop = Tc(0, 1, 0, 2, kNonDrop);
    EXPECT_TRUE(tc.LookForTimeCode(frame.data(), &nonDrop, 1));
    EXPECT_EQ(nonDrop.desc.dropFrame & 1u, 1u);
    EXPECT_EQ(nonDrop.frameCount, inserted.frameCount);

    timecode_t empty = TCCreateDur(static_cast<LONG>(0x80000000u), &kDrop);
    EXPECT_FALSE(tc.LookForTimeCode(frame.data(), &empty, 10));
    EXPECT_FALSE(tc.LookForTimeCode(frame.data(), nullptr, 1));
}

TEST(Timecode, DropFrameSurvivesAcrossAMinuteOfInsertAndRead) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    DV25Timecode tc;
    const timecode_t start = Tc(0, 0, 59, 0, kDrop);
    for (int i = 0; i < 1900; ++i) {
        const timecode_t t = TCAdd(start, i);
        ASSERT_TRUE(tc.InsertTimecode(frame.data(), t, DIO_NTSC, false));
        TimeCode record;
        bool dropFrame = false;
        ASSERT_TRUE(tc.GetTimecode(frame.data(), &record, &dropFrame));
        ASSERT_TRUE(dropFrame);
        const timecode_t back = TCConstruct(0, static_cast<short>(record.hours), static_cast<short>(record.minutes),
                                            static_cast<short>(record.seconds), static_cast<short>(record.frames), &kDrop);
        ASSERT_EQ(back.frameCount, t.frameCount) << i;
        timecode_t look = t;
        ASSERT_TRUE(tc.LookForTimeCode(frame.data(), &look, 1));
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
    TimeCode record;
    bool dropFrame;
    ASSERT_TRUE(tc.GetTimecode(pal.data(), &record, &dropFrame));
    EXPECT_EQ(Fields(record), (std::vector<ULONG>{0, 0, 0, 0}));
    EXPECT_FALSE(tc.GetTimecode(nullptr, &record, &dropFrame));
    EXPECT_FALSE(tc.GetTimecode(pal.data(), nullptr, &dropFrame));
    EXPECT_FALSE(tc.GetTimecode(pal.data(), &record, nullptr));
}

TEST(Timecode, InvalidCopiesGiveAbsentFieldsButStillCount) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    // Every timecode pack says 00:01:00;00, a label drop-frame counting skips.
    const unsigned char skipped[5] = {0x13, 0xC0, 0x80, 0x81, 0xC0};
    for (int s = 0; s < 10; ++s) {
        for (int n = 0; n < 12; ++n) {
            if (PackPtr(frame.data(), s, n)[0] == 0x13) std::memcpy(PackPtr(frame.data(), s, n), skipped, 5);
        }
    }
    DV25Timecode tc;
    TimeCode record;
    bool dropFrame = true;
    EXPECT_TRUE(tc.GetTimecode(frame.data(), &record, &dropFrame));
    EXPECT_EQ(Fields(record), kAbsent);
    EXPECT_FALSE(dropFrame);
}

}  // namespace
