// Where each audio sample sits in a frame: the library's tables against the layout
// formulas, anchored on hand-computed positions.
#include "Dv25TestSupport.h"

#include "digitalio/dv25/AudioShuffleTable.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using dv25::Quantization;
using dv25::ShuffleTableFor;

TEST(AudioShuffleTable, EverySlotOfEveryModeOnceAndInsideTheAudioData) {
    // Hand-computed positions keep the formulas themselves honest.
    struct Known {
        DIO_VideoFormat standard;
        int slotBytes, n;
        size_t offset;
    };
    for (const Known& k : {Known{DIO_NTSC, 2, 0, 488}, Known{DIO_NTSC, 2, 1, 28328}, Known{DIO_NTSC, 2, 2, 56168},
                           Known{DIO_NTSC, 2, 3, 12488}, Known{DIO_NTSC, 2, 15, 1768}, Known{DIO_NTSC, 2, 45, 490},
                           Known{DIO_NTSC, 2, 1619, 46798}, Known{DIO_NTSC, 3, 45, 491},
                           Known{DIO_PAL, 2, 15, 5u * 12000 + 480 + 8}, Known{DIO_PAL, 2, 45, 3u * 12000 + 480 + 1280 * 2 + 8},
                           Known{DIO_PAL, 2, 54, 490}})
        EXPECT_EQ(dv25test::SlotOffset(k.standard, 0, k.slotBytes, k.n), k.offset) << k.n;
    EXPECT_EQ(ShuffleTableFor(DIO_NTSC, Quantization::Linear16).secondHalf + 488, 60488u);
    EXPECT_EQ(ShuffleTableFor(DIO_PAL, Quantization::Linear16).secondHalf + 488, 72488u);

    for (DIO_VideoFormat standard : {DIO_NTSC, DIO_PAL}) {
        for (Quantization q : {Quantization::Linear16, Quantization::NonLinear12}) {
            const auto t = ShuffleTableFor(standard, q);
            const int slotBytes = q == Quantization::NonLinear12 ? 3 : 2;
            std::set<uint32_t> bytes;
            for (uint32_t n = 0; n < t.count; ++n) {
                ASSERT_EQ(t.offsets[n], dv25test::SlotOffset(standard, 0, slotBytes, static_cast<int>(n)));
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
    EXPECT_EQ(ShuffleTableFor(DIO_NoVideoFormat, Quantization::Linear16).offsets, nullptr);
}

}  // namespace
