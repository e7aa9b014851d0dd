// 12-bit non-linear audio codes: known values, every code and every sample.
#include "digitalio/dv25/AudioCompanding.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using dv25::Compress12;
using dv25::Expand12;

TEST(AudioCompanding, KnownCodesAndEveryCodeRoundTrips) {
    const std::pair<uint16_t, int16_t> expansions[] = {
        {0x000, 0},    {0x1FF, 511}, {0x200, 512},  {0x300, 1024}, {0x7FF, 32704},
        {0x801, -32641}, {0xE00, -512}, {0xDFF, -513}, {0xD00, -1023}, {0xFFF, -1},
        {dv25::kMissingSample12, 0},  // the missing-sample code reads as silence
    };
    for (const auto& e : expansions) EXPECT_EQ(Expand12(e.first), e.second) << std::hex << e.first;
    const std::pair<int16_t, uint16_t> compressions[] = {{0, 0x000},      {511, 0x1FF},    {513, 0x200},
                                                         {32767, 0x7FF},  {-1, 0xFFF},     {-512, 0xE00},
                                                         {-32768, 0x801}, {-32705, 0x801}};
    for (const auto& c : compressions) EXPECT_EQ(Compress12(c.first), c.second) << c.first;
    for (uint16_t code = 0; code < 4096; ++code) {
        if (code == dv25::kMissingSample12) continue;
        EXPECT_EQ(Compress12(Expand12(code)), code) << std::hex << code;
    }
}

TEST(AudioCompanding, EverySampleStaysWithinTheSegmentStep) {
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
