#include "digitalio/dv25/AudioCompanding.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using dv25::Compress12;
using dv25::Expand12;

TEST(AudioCompanding, KnownCodes) {
    EXPECT_EQ(Expand12(0x000), 0);
    EXPECT_EQ(Expand12(0x1FF), 511);
    EXPECT_EQ(Expand12(0x200), 512);
    EXPECT_EQ(Expand12(0x300), 1024);
    EXPECT_EQ(Expand12(0x7FF), 32704);
    EXPECT_EQ(Expand12(0x801), -32641);
    EXPECT_EQ(Expand12(0xE00), -512);
    EXPECT_EQ(Expand12(0xDFF), -513);
    EXPECT_EQ(Expand12(0xD00), -1023);
    EXPECT_EQ(Expand12(0xFFF), -1);
    // The missing-sample code reads as silence.
    EXPECT_EQ(Expand12(dv25::kMissingSample12), 0);

    EXPECT_EQ(Compress12(0), 0x000);
    EXPECT_EQ(Compress12(511), 0x1FF);
    EXPECT_EQ(Compress12(513), 0x200);
    EXPECT_EQ(Compress12(32767), 0x7FF);
    EXPECT_EQ(Compress12(-1), 0xFFF);
    EXPECT_EQ(Compress12(-512), 0xE00);
    EXPECT_EQ(Compress12(-32768), 0x801);
    EXPECT_EQ(Compress12(-32705), 0x801);
}

TEST(AudioCompanding, EveryCodeRoundTrips) {
    for (uint16_t code = 0; code < 4096; ++code) {
        if (code == dv25::kMissingSample12) continue;
        EXPECT_EQ(Compress12(Expand12(code)), code) << std::hex << code;
    }
}

TEST(AudioCompanding, EverySampleStaysWithinTheSegmentStep) {
    int previous = -1;
    for (int x = -32768; x <= 32767; ++x) {
        const uint16_t code = Compress12(static_cast<int16_t>(x));
        ASSERT_NE(code, dv25::kMissingSample12) << x;
        ASSERT_LT(code, 4096);
        const int back = Expand12(code);
        // One segment drops up to six bits; the clamped bottom end loses up to 127.
        const int limit = x <= -32705 ? 127 : 63;
        ASSERT_LE(std::abs(back - x), limit) << x;
        // Expansion of the compressed value never decreases as x grows.
        ASSERT_GE(back, previous == -1 ? back : previous) << x;
        previous = back;
    }
}

}  // namespace
