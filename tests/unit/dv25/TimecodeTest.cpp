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
using Row = std::vector<ULONG>;

const timecodeDesc_t kDrop = TCCreateDesc(1, 30);
const timecodeDesc_t kNonDrop = TCCreateDesc(0, 30);
const timecodeDesc_t kPal = TCCreateDesc(0, 25);

timecode_t Tc(int h, int m, int s, int f, const timecodeDesc_t& desc) { return TCConstruct(0, h, m, s, f, &desc); }

// Subcode pack n (0..11) of a sequence: six packs in each of its two subcode blocks.
unsigned char* PackPtr(unsigned char* frame, int sequence, int n) {
    return frame + static_cast<size_t>(sequence) * 12000 + 80 * (1 + n / 6) + 3 + 8 * (n % 6) + 3;
}

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
    EXPECT_EQ(Look(frame.data(), Tc(0, 0, 10, 4, kDrop), 1)[0], 1);
    EXPECT_EQ(Look(frame.data(), Tc(0, 0, 10, 10, kDrop), 1)[0], 0);
}

TEST(Timecode, BetweenEquallyFrequentCopiesTheFirstFoundWins) {
    for (bool laterFirst : {false, true}) {
        FrameBuffer frame = BlackFrame(DIO_NTSC);
        ASSERT_TRUE(DV25Timecode().InsertTimecode(frame.data(), Tc(0, 0, 0, 0, kDrop), DIO_NTSC, false));
        // The copies in frame order, split evenly between two neighbouring values.
        std::vector<unsigned char*> copies;
        for (int s = 0; s < 10; ++s)
            for (int n = 0; n < 12; ++n)
                if (PackPtr(frame.data(), s, n)[0] == 0x13) copies.push_back(PackPtr(frame.data(), s, n));
        const unsigned char earlier[5] = {0x13, 0xC4, 0x90, 0x80, 0xC0}, later[5] = {0x13, 0xC5, 0x90, 0x80, 0xC0};
        for (size_t i = 0; i < copies.size(); ++i)
            std::memcpy(copies[i], (i < copies.size() / 2) != laterFirst ? earlier : later, 5);
        EXPECT_EQ(Read(frame.data()), (Row{1, 0, 0, 10, laterFirst ? 5u : 4u, 1})) << copies.size() << " copies";
    }
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
    // Later timecodes are never found.
    for (int n : {-5, 0, 1, 100}) EXPECT_EQ(Look(frame.data(), TCAdd(inserted, 1), n)[0], 0) << n;
    // Asked in non-drop counting, the label is the same, and the drop flag of the pack
    // comes back with it.
    EXPECT_EQ(Look(frame.data(), Tc(0, 1, 0, 2, kNonDrop), 1), (std::vector<LONG>{1, at, 1}));
    EXPECT_EQ(Look(frame.data(), TCCreateDur(static_cast<LONG>(0x80000000u), &kDrop), 10)[0], 0);
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
}

}  // namespace
