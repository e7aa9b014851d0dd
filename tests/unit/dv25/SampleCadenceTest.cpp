// Audio samples per frame: the 525/60 cadences are drift-free, 625/50 is constant.
#include "digitalio/USampsInFrame.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

uint64_t SumOfFrames(const USampsInFrame& cadence, ULONG first, ULONG count) {
    uint64_t sum = 0;
    for (ULONG n = first; n < first + count; ++n) sum += cadence.GetSampsForFrameNum(n);
    return sum;
}

TEST(SampleCadence, Ntsc48kCyclesFromTheShortFramePalIsConstantUnknownHasNone) {
    const USampsInFrame cadence(DIO_Audio48000, DIO_NTSC);
    const ULONG expected[] = {1600, 1602, 1602, 1602, 1602, 1600, 1602, 1602, 1602, 1602, 1600};
    for (ULONG n = 1; n <= 11; ++n) EXPECT_EQ(cadence.GetSampsForFrameNum(n), expected[n - 1]) << "frame " << n;
    EXPECT_EQ(cadence.GetSampsForFrameNum(0), cadence.GetSampsForFrameNum(1));
    // 0xFFFFFFFF is frame k = 0xFFFFFFFE: (k mod 5) = 4.
    EXPECT_EQ(cadence.GetSampsForFrameNum(0xFFFFFFFFu), 1602u);
    // 1001 frames are 33.3667 s: 1601601.6 samples, and whole cycles hold 8008 each.
    EXPECT_EQ(SumOfFrames(cadence, 1, 1000), 200u * 8008u);

    const USampsInFrame r48(DIO_Audio48000, DIO_PAL), r44(DIO_Audio44100, DIO_PAL), r32(DIO_Audio32000, DIO_PAL);
    for (ULONG n : {0u, 1u, 2u, 7u, 12345u, 0xFFFFFFFFu}) {
        EXPECT_EQ(r48.GetSampsForFrameNum(n), 1920u);
        EXPECT_EQ(r44.GetSampsForFrameNum(n), 1764u);
        EXPECT_EQ(r32.GetSampsForFrameNum(n), 1280u);
    }
    EXPECT_EQ(USampsInFrame(DIO_NoAudioFormat, DIO_NTSC).GetSampsForFrameNum(1), 0u);
    EXPECT_EQ(USampsInFrame(DIO_Audio48000, DIO_NoVideoFormat).GetSampsForFrameNum(1), 0u);
}

// Any run of 525/60 frames holds the samples of its duration: the run's total equals
// the exact sample count at its end minus that at its start, each rounded down.
TEST(SampleCadence, Ntsc32kAnd44kAreDriftFree) {
    struct Case {
        DIO_AudioFormat rate;
        uint64_t samplesPer30000Frames;
        ULONG low, cycle;
        uint64_t samplesPerCycle;
    };
    for (const Case& c : {Case{DIO_Audio32000, 32000ull * 1001, 1067, 15, 16016},
                          Case{DIO_Audio44100, 44100ull * 1001, 1471, 100, 147147}}) {
        SCOPED_TRACE(c.low);
        const USampsInFrame cadence(c.rate, DIO_NTSC);
        uint64_t total = 0;
        for (ULONG n = 1; n <= 3000; ++n) {
            const ULONG count = cadence.GetSampsForFrameNum(n);
            ASSERT_TRUE(count == c.low || count == c.low + 1) << "frame " << n << " has " << count;
            total += count;
            ASSERT_EQ(total, uint64_t{n} * c.samplesPer30000Frames / 30000) << "after frame " << n;
        }
        // Runs that start anywhere hold a whole cycle's samples over a whole cycle.
        EXPECT_EQ(SumOfFrames(cadence, 1, c.cycle), c.samplesPerCycle);
        EXPECT_EQ(SumOfFrames(cadence, 38, c.cycle), c.samplesPerCycle);
        // The cycle repeats for frame numbers far from the start, up to the largest.
        for (ULONG n = 1; n <= c.cycle; ++n)
            EXPECT_EQ(cadence.GetSampsForFrameNum(n), cadence.GetSampsForFrameNum(n + 1000 * c.cycle));
        const ULONG last = cadence.GetSampsForFrameNum(0xFFFFFFFFu);
        EXPECT_TRUE(last == c.low || last == c.low + 1);
    }
}

}  // namespace
