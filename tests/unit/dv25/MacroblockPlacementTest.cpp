// Where each video macroblock sits in the picture, for both standards.
#include "digitalio/dv25/MacroblockPlacement.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using dv25::PlacementOf;

TEST(MacroblockPlacement, EachStandardTilesItsPictureAndKnownBlocksSitRight) {
    // Every pixel of the picture belongs to exactly one macroblock.
    for (DIO_VideoFormat standard : {DIO_NTSC, DIO_PAL}) {
        const int height = standard == DIO_PAL ? 576 : 480, sequences = standard == DIO_PAL ? 12 : 10;
        std::vector<int> cover(720 * height, 0);
        for (int s = 0; s < sequences; ++s) {
            for (int v = 0; v < 135; ++v) {
                const auto r = PlacementOf(standard, s, v);
                ASSERT_GT(r.width, 0);
                ASSERT_LE(r.x + r.width, 720) << s << " " << v;
                ASSERT_LE(r.y + r.height, height) << s << " " << v;
                for (int y = r.y; y < r.y + r.height; ++y)
                    for (int x = r.x; x < r.x + r.width; ++x) ++cover[y * 720 + x];
            }
        }
        for (int i = 0; i < 720 * height; ++i) ASSERT_EQ(cover[i], 1) << "pixel " << i % 720 << "," << i / 720;
    }
    auto at = [](DIO_VideoFormat standard, int s, int v) {
        const auto r = PlacementOf(standard, s, v);
        return std::vector<int>{r.x, r.y, r.width, r.height};
    };
    // Sequence 0, first video segment: superblock rows 2, 6, 8, 0, 4 of columns 2, 1, 3, 0, 4.
    EXPECT_EQ(at(DIO_PAL, 0, 1), (std::vector<int>{144, 288, 16, 16}));
    EXPECT_EQ(at(DIO_NTSC, 0, 1), (std::vector<int>{128, 312, 32, 8}));  // column 1 starts half a column down
    EXPECT_EQ(at(DIO_NTSC, 6, 5 * 26 + 4), (std::vector<int>{704, 32, 16, 16}));  // last slot of a right-edge superblock
    EXPECT_EQ(PlacementOf(DIO_NTSC, 10, 0).width, 0);
    EXPECT_EQ(PlacementOf(DIO_PAL, 0, 135).width, 0);
    EXPECT_EQ(PlacementOf(DIO_NoVideoFormat, 0, 0).width, 0);
}

}  // namespace
