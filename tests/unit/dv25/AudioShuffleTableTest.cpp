#include "Dv25TestSupport.h"

#include "digitalio/dv25/AudioShuffleTable.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using dv25::Quantization;
using dv25::ShuffleTableFor;

TEST(AudioShuffleTable, KnownPositions525) {
    const auto t = ShuffleTableFor(DIO_NTSC, Quantization::Linear16);
    ASSERT_EQ(t.count, 1620u);
    EXPECT_EQ(t.offsets[0], 488u);
    EXPECT_EQ(t.offsets[1], 28328u);
    EXPECT_EQ(t.offsets[2], 56168u);
    EXPECT_EQ(t.offsets[3], 12488u);
    EXPECT_EQ(t.offsets[15], 1768u);
    EXPECT_EQ(t.offsets[45], 490u);
    EXPECT_EQ(t.offsets[1619], 46798u);
    EXPECT_EQ(t.secondHalf + t.offsets[0], 60488u);
    const auto t12 = ShuffleTableFor(DIO_NTSC, Quantization::NonLinear12);
    EXPECT_EQ(t12.count, 1080u);
    EXPECT_EQ(t12.offsets[45], 491u);
}

TEST(AudioShuffleTable, KnownPositions625) {
    const auto t = ShuffleTableFor(DIO_PAL, Quantization::Linear16);
    ASSERT_EQ(t.count, 1944u);
    EXPECT_EQ(t.offsets[15], 5u * 12000 + 480 + 8);
    EXPECT_EQ(t.offsets[45], 3u * 12000 + 480 + 1280 * 2 + 8);
    EXPECT_EQ(t.offsets[54], 490u);
    EXPECT_EQ(t.secondHalf + t.offsets[0], 72488u);
    EXPECT_EQ(ShuffleTableFor(DIO_PAL, Quantization::NonLinear12).count, 1296u);
}

TEST(AudioShuffleTable, EverySlotOfEveryModeOnceAndInsideTheAudioData) {
    for (DIO_VideoFormat standard : {DIO_NTSC, DIO_PAL}) {
        for (Quantization q : {Quantization::Linear16, Quantization::NonLinear12}) {
            const auto t = ShuffleTableFor(standard, q);
            const int slotBytes = q == Quantization::NonLinear12 ? 3 : 2;
            std::set<uint32_t> bytes;
            for (uint32_t n = 0; n < t.count; ++n) {
                ASSERT_EQ(t.offsets[n], dv25test::SlotOffset(standard, 0, slotBytes, static_cast<int>(n)));
                for (int half = 0; half < 2; ++half) {
                    const uint32_t slot = t.offsets[n] + (half == 1 ? t.secondHalf : 0);
                    for (int b = 0; b < slotBytes; ++b) {
                        const uint32_t at = slot + static_cast<uint32_t>(b);
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
            const size_t sequences = standard == DIO_PAL ? 12 : 10;
            EXPECT_EQ(bytes.size(), 72u * 9u * sequences);
        }
    }
    EXPECT_EQ(ShuffleTableFor(DIO_NoVideoFormat, Quantization::Linear16).offsets, nullptr);
}

}  // namespace
