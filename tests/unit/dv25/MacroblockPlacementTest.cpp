#include "digitalio/dv25/MacroblockPlacement.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using dv25::PlacementOf;

// Every pixel of the picture belongs to exactly one macroblock.
void ExpectTiling(DIO_VideoFormat standard, int height, int sequences) {
    std::vector<int> cover(720 * height, 0);
    for (int s = 0; s < sequences; ++s) {
        for (int v = 0; v < 135; ++v) {
            const auto r = PlacementOf(standard, s, v);
            ASSERT_GT(r.width, 0);
            ASSERT_LE(r.x + r.width, 720) << s << " " << v;
            ASSERT_LE(r.y + r.height, height) << s << " " << v;
            for (int y = r.y; y < r.y + r.height; ++y) {
                for (int x = r.x; x < r.x + r.width; ++x) ++cover[y * 720 + x];
            }
        }
    }
    for (int i = 0; i < 720 * height; ++i) ASSERT_EQ(cover[i], 1) << "pixel " << i % 720 << "," << i / 720;
}

TEST(MacroblockPlacement, EachStandardTilesItsPicture) {
    ExpectTiling(DIO_NTSC, 480, 10);
    ExpectTiling(DIO_PAL, 576, 12);
}

TEST(MacroblockPlacement, KnownBlocks) {
    // Sequence 0, first video segment: superblock rows 2, 6, 8, 0, 4 of columns 2, 1, 3, 0, 4.
    auto r = PlacementOf(DIO_PAL, 0, 1);
    EXPECT_EQ(r.x, 144);
    EXPECT_EQ(r.y, 288);
    r = PlacementOf(DIO_NTSC, 0, 1);  // column 1 starts half a column down
    EXPECT_EQ(r.x, 128);
    EXPECT_EQ(r.y, 312);
    EXPECT_EQ(r.width, 32);
    r = PlacementOf(DIO_NTSC, 6, 5 * 26 + 4);  // the last slot of a right-edge superblock
    EXPECT_EQ(r.x, 704);
    EXPECT_EQ(r.y, 32);
    EXPECT_EQ(r.width, 16);
    EXPECT_EQ(r.height, 16);
    EXPECT_EQ(PlacementOf(DIO_NTSC, 10, 0).width, 0);
    EXPECT_EQ(PlacementOf(DIO_PAL, 0, 135).width, 0);
    EXPECT_EQ(PlacementOf(DIO_NoVideoFormat, 0, 0).width, 0);
}

}  // namespace
