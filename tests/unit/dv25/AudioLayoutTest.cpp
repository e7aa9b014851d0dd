// DV25 audio facts: samples per frame (drift-free 525/60 cadences), where each
// sample sits in a frame, and the 12-bit non-linear coding.
#include "digitalio/USampsInFrame.h"
#include "digitalio/dv25/AudioCompanding.h"
#include "digitalio/dv25/AudioShuffleTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <set>

namespace {

using dv25::Compress12;
using dv25::Expand12;
using dv25::Quantization;
using dv25::ShuffleTableFor;

uint64_t SumOfFrames(const USampsInFrame& cadence, ULONG first, ULONG count) {
    uint64_t sum = 0;
    for (ULONG n = first; n < first + count; ++n) sum += cadence.GetSampsForFrameNum(n);
    return sum;
}

TEST(SampleCadence, Ntsc48kCyclesFromTheShortFramePalIsConstantUnknownHasNone) {
    const USampsInFrame cadence(DIO_Audio48000, DIO_NTSC);
    const ULONG expected[] = {1600, 1602, 1602, 1602, 1602, 1600, 1602, 1602, 1602, 1602, 1600};
    for (ULONG n = 1; n <= 11; ++n) EXPECT_EQ(cadence.GetSampsForFrameNum(n), expected[n - 1]) << "frame " << n;
    // 1001 frames are 33.3667 s: 1601601.6 samples, and whole cycles hold 8008 each.
    EXPECT_EQ(SumOfFrames(cadence, 1, 1000), 200u * 8008u);

    for (ULONG n : {0u, 7u, 0xFFFFFFFFu}) EXPECT_EQ(USampsInFrame(DIO_Audio44100, DIO_PAL).GetSampsForFrameNum(n), 1764u);
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
        EXPECT_EQ(SumOfFrames(cadence, 38, c.cycle), c.samplesPerCycle);
    }
}

TEST(AudioShuffleTable, EverySlotOfEveryModeOnceAndInsideTheAudioData) {
    for (DIO_VideoFormat standard : {DIO_NTSC, DIO_PAL}) {
        for (Quantization q : {Quantization::Linear16, Quantization::NonLinear12}) {
            const auto t = ShuffleTableFor(standard, q);
            const int slotBytes = q == Quantization::NonLinear12 ? 3 : 2;
            std::set<uint32_t> bytes;
            for (uint32_t n = 0; n < t.count; ++n) {
                for (int half = 0; half < 2; ++half) {
                    for (int b = 0; b < slotBytes; ++b) {
                        const uint32_t at = t.offsets[n] + (half == 1 ? t.secondHalf : 0) + static_cast<uint32_t>(b);
                        const uint32_t inSequence = at % 12000;
                        // Inside the sample bytes 8..79 of an audio block (index 6 + 16k).
                        ASSERT_GE(inSequence, 480u);
                        ASSERT_EQ((inSequence / 80 - 6) % 16, 0u);
                        ASSERT_GE(inSequence % 80, 8u);
                        ASSERT_TRUE(bytes.insert(at).second) << "byte " << at << " used twice";
                    }
                }
            }
            // 72 sample bytes x 9 blocks x every sequence: all used exactly once.
            EXPECT_EQ(bytes.size(), 72u * 9u * (standard == DIO_PAL ? 12 : 10));
        }
    }
}

// Every code but the missing-sample one expands and compresses back to itself, and
// every sample comes back within its segment's step.
TEST(AudioCompanding, EveryCodeRoundTripsAndEverySampleStaysWithinTheSegmentStep) {
    for (uint16_t code = 0; code < 4096; ++code) {
        if (code == dv25::kMissingSample12) continue;
        EXPECT_EQ(Compress12(Expand12(code)), code) << std::hex << code;
    }
    EXPECT_EQ(Expand12(dv25::kMissingSample12), 0);
    int previous = -32768;
    for (int x = -32768; x <= 32767; ++x) {
        const uint16_t code = Compress12(static_cast<int16_t>(x));
        ASSERT_NE(code, dv25::kMissingSample12) << x;
        ASSERT_LT(code, 4096);
        const int back = Expand12(code);
        // One segment drops up to six bits; the clamped bottom end loses up to 127.
        ASSERT_LE(std::abs(back - x), x <= -32705 ? 127 : 63) << x;
        ASSERT_GE(back, previous) << "expansion of the compressed value never decreases, at " << x;
        previous = back;
    }
}

}  // namespace
