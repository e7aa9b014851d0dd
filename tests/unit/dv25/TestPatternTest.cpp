#include "Dv25TestSupport.h"

#include "digitalio/DV25Timecode.h"
#include "digitalio/DV25audioDeshuffler.h"
#include "digitalio/DVFrame.h"
#include "digitalio/dv25/MacroblockPlacement.h"
#include "digitalio/dv25/TestPattern.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

// The DC level of luma area i of a video block.
int LumaLevel(const unsigned char* block, int i) {
    const unsigned char* area = block + 4 + 14 * i;
    int dc = (area[0] << 1) | (area[1] >> 7);
    if (dc & 0x100) dc -= 512;
    return 128 + dc / 2;
}

TEST(TestPattern, MarkerMovesAndTheRestStaysAsTheBlackFrameIs) {
    for (DIO_VideoFormat standard : {DIO_NTSC, DIO_PAL}) {
        DVFrame generator;
        std::unique_ptr<unsigned char[]> a(generator.GenTestPatternFrame(standard, 10));
        std::unique_ptr<unsigned char[]> b(generator.GenTestPatternFrame(standard, 11));
        std::unique_ptr<unsigned char[]> black(generator.GenBlackFrame(standard));
        ASSERT_TRUE(a && b && black);
        const int sequences = standard == DIO_PAL ? 12 : 10;
        const int height = standard == DIO_PAL ? 576 : 480;
        EXPECT_NE(std::memcmp(a.get(), b.get(), sequences * 12000), 0);
        int whiteBlocks = 0;
        for (int s = 0; s < sequences; ++s) {
            for (int v = 0; v < 135; ++v) {
                const unsigned char* block = a.get() + s * 12000 + 80 * (7 + v + v / 15);
                const auto r = dv25::PlacementOf(standard, s, v);
                for (int i = 0; i < 4; ++i) {
                    const int x = r.x + (r.width == 32 ? 8 * i : 8 * (i % 2));
                    const int level = LumaLevel(block, i);
                    if (r.y >= height - 48) {
                        const bool marker = x >= 80 && x < 96;  // frame 10: column 80
                        EXPECT_EQ(level, marker ? 235 : 16);
                        whiteBlocks += marker ? 1 : 0;
                    } else {
                        const int bars[7] = {180, 162, 131, 112, 84, 65, 35};
                        EXPECT_EQ(level, bars[x * 7 / 720]);
                    }
                }
            }
        }
        // The marker is two luma blocks wide over the 48-line band.
        EXPECT_EQ(whiteBlocks, 2 * 6);
        // Everything but the picture matches the black frame, except the timecode.
        for (int s = 0; s < sequences; ++s) {
            EXPECT_EQ(std::memcmp(a.get() + s * 12000, black.get() + s * 12000, 80), 0);
            EXPECT_EQ(std::memcmp(a.get() + s * 12000 + 240, black.get() + s * 12000 + 240, 240), 0);
        }
        TimeCode record;
        bool dropFrame;
        EXPECT_FALSE(DV25Timecode().GetTimecode(a.get(), &record, &dropFrame));
        DIO_AudioFormat rate;
        DIO_VideoFormat video;
        EXPECT_EQ(DV25audioDeshuffler().GetRateAndSampsFromASPak(a.get(), &rate, &video), 0);
        EXPECT_EQ(video, standard);
    }
}

TEST(TestPattern, MarkerColumnWrapsInsideThePicture) {
    EXPECT_EQ(dv25::MarkerColumn(0), 0);
    EXPECT_EQ(dv25::MarkerColumn(3), 24);
    for (uint32_t n : {0u, 88u, 89u, 1000u, 0xFFFFFFFFu}) {
        EXPECT_GE(dv25::MarkerColumn(n), 0);
        EXPECT_LE(dv25::MarkerColumn(n) + dv25::kMarkerWidth, 720);
        EXPECT_EQ(dv25::MarkerColumn(n) % 8, 0);
    }
}

}  // namespace
