// Frames the library generates: black frames block by block, where each video
// macroblock sits in the picture, and the moving test pattern over the black frame.
#include "Dv25TestSupport.h"

#include "digitalio/DV25Timecode.h"
#include "digitalio/DV25audioDeshuffler.h"
#include "digitalio/DVFrame.h"
#include "digitalio/dv25/MacroblockPlacement.h"
#include "digitalio/dv25/TestPattern.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

using namespace dv25test;
using Row = std::vector<unsigned char>;

// Block i of a sequence: its section and number, from the fixed order (header,
// 2 subcode, 3 VAUX, then 9 audio blocks each followed by 15 video blocks).
void ExpectedId(int i, int* section, int* number) {
    const int j = i - 6;
    if (i < 6) {
        *section = i == 0 ? 0 : i <= 2 ? 1 : 2;
        *number = i == 0 ? 0 : i <= 2 ? i - 1 : i - 3;
    } else {
        *section = j % 16 == 0 ? 3 : 4;
        *number = j % 16 == 0 ? j / 16 : j - j / 16 - 1;
    }
}

void ExpectBlackFrame(DIO_VideoFormat standard) {
    SCOPED_TRACE(standard == DIO_PAL ? "625/50" : "525/60");
    FrameBuffer frame = BlackFrame(standard);
    ASSERT_NE(frame.data(), nullptr);
    unsigned char* f = frame.data();
    const int sequences = standard == DIO_PAL ? 12 : 10;
    const unsigned char dsf = standard == DIO_PAL ? 0x80 : 0x00;

    Row videoPayload = {0x0F};
    for (int i = 0; i < 6; ++i) {
        videoPayload.push_back(i < 4 ? 0x90 : 0x00);
        videoPayload.push_back(0x06);
        videoPayload.insert(videoPayload.end(), i < 4 ? 12 : 8, 0xFF);
    }
    ASSERT_EQ(videoPayload.size(), 77u);

    for (int s = 0; s < sequences; ++s) {
        const unsigned char* seq = f + s * 12000;
        for (int i = 0; i < 150; ++i) {
            int section, number;
            ExpectedId(i, &section, &number);
            const unsigned char* block = seq + 80 * i;
            ASSERT_EQ(Bytes(block, 3), (Row{static_cast<unsigned char>((section << 5) | 0x1F),
                                            static_cast<unsigned char>((s << 4) | 0x07),
                                            static_cast<unsigned char>(number)}))
                << s << " block " << i;
            // Video blocks carry black macroblocks; audio blocks silence.
            const Row payload = section == 4 ? Bytes(block + 3, 77) : section == 3 ? Bytes(block + 8, 72) : Row();
            const Row expected = section == 4 ? videoPayload : section == 3 ? Row(72, 0) : Row();
            ASSERT_EQ(payload, expected) << s << " block " << i;
        }
        EXPECT_EQ(Bytes(seq + 3, 5), (Row{static_cast<unsigned char>(0x3F | dsf), 0xF8, 0x78, 0x78, 0x78}));
        EXPECT_EQ(Bytes(seq + 8, 72), Row(72, 0xFF));
        // VAUX main area: source then source control.
        const int sourceAt = s % 2 == 0 ? 448 : 243;
        EXPECT_EQ(Bytes(seq + sourceAt, 10), (Row{0x60, 0xFF, 0xFF, static_cast<unsigned char>(0xC0 | (dsf >> 2)), 0xFF,
                                                  0x61, 0x3F, 0xC8, static_cast<unsigned char>(dsf ? 0xFD : 0xFC), 0xFF}));
        // Audio source pack: 48 kHz 16-bit, locked, first frame of the cadence.
        EXPECT_EQ(Bytes(SourcePackOf(f, s), 5),
                  (Row{0x50, static_cast<unsigned char>(0x40 | (dsf ? 24 : 20)),
                       static_cast<unsigned char>(s < sequences / 2 ? 0 : 1),
                       static_cast<unsigned char>(0xC0 | (dsf >> 2)), 0xC0}));
        // Timecode 00:00:00:00 at the first sync block of every sequence.
        EXPECT_EQ(seq[86], 0x13);
        EXPECT_EQ(seq[87] & 0x3F, 0x00);
    }
    EXPECT_EQ(Bytes(f + 86, 5), (Row{0x13, static_cast<unsigned char>(dsf ? 0x80 : 0xC0), 0x80, 0x80, 0xC0}));
    // The buffer is the larger standard's size; a 525/60 frame's tail is 0xFF.
    if (standard == DIO_NTSC) {
        EXPECT_EQ(Bytes(f + 120000, 24000), Row(24000, 0xFF));
    }
}

TEST(BlackFrame, EveryBlockOfBothStandardsInTheCallersOwnBuffer) {
    ExpectBlackFrame(DIO_NTSC);
    ExpectBlackFrame(DIO_PAL);
    DVFrame generator;
    std::unique_ptr<unsigned char[]> a(generator.GenBlackFrame(DIO_NTSC)), b(generator.GenBlackFrame(DIO_NTSC));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a, b);
    EXPECT_EQ(Bytes(a.get(), 120000), Bytes(b.get(), 120000));
    EXPECT_EQ(generator.GenBlackFrame(DIO_NoVideoFormat), nullptr);
    EXPECT_EQ(generator.GenTestPatternFrame(DIO_NoVideoFormat, 1), nullptr);
}

TEST(MacroblockPlacement, EachStandardTilesItsPictureAndKnownBlocksSitRight) {
    // Every pixel of the picture belongs to exactly one macroblock.
    for (DIO_VideoFormat standard : {DIO_NTSC, DIO_PAL}) {
        const int height = standard == DIO_PAL ? 576 : 480, sequences = standard == DIO_PAL ? 12 : 10;
        std::vector<int> cover(720 * height, 0);
        for (int s = 0; s < sequences; ++s) {
            for (int v = 0; v < 135; ++v) {
                const auto r = dv25::PlacementOf(standard, s, v);
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
        const auto r = dv25::PlacementOf(standard, s, v);
        return std::vector<int>{r.x, r.y, r.width, r.height};
    };
    // Sequence 0, first video segment: superblock rows 2, 6, 8, 0, 4 of columns 2, 1, 3, 0, 4.
    EXPECT_EQ(at(DIO_PAL, 0, 1), (std::vector<int>{144, 288, 16, 16}));
    EXPECT_EQ(at(DIO_NTSC, 0, 1), (std::vector<int>{128, 312, 32, 8}));  // column 1 starts half a column down
    EXPECT_EQ(at(DIO_NTSC, 6, 5 * 26 + 4), (std::vector<int>{704, 32, 16, 16}));  // last slot of a right-edge superblock
    EXPECT_EQ(dv25::PlacementOf(DIO_NTSC, 10, 0).width, 0);
    EXPECT_EQ(dv25::PlacementOf(DIO_PAL, 0, 135).width, 0);
    EXPECT_EQ(dv25::PlacementOf(DIO_NoVideoFormat, 0, 0).width, 0);
}

// The DC level of luma area i of a video block.
int LumaLevel(const unsigned char* block, int i) {
    const unsigned char* area = block + 4 + 14 * i;
    int dc = (area[0] << 1) | (area[1] >> 7);
    if (dc & 0x100) dc -= 512;
    return 128 + dc / 2;
}

TEST(TestPattern, MarkerMovesAndTheRestStaysAsTheBlackFrameIs) {
    for (DIO_VideoFormat standard : {DIO_NTSC, DIO_PAL}) {
        SCOPED_TRACE(standard == DIO_PAL ? "625/50" : "525/60");
        DVFrame generator;
        std::unique_ptr<unsigned char[]> a(generator.GenTestPatternFrame(standard, 10));
        std::unique_ptr<unsigned char[]> b(generator.GenTestPatternFrame(standard, 11));
        std::unique_ptr<unsigned char[]> black(generator.GenBlackFrame(standard));
        ASSERT_TRUE(a && b && black);
        const int sequences = standard == DIO_PAL ? 12 : 10;
        const int height = standard == DIO_PAL ? 576 : 480;
        EXPECT_NE(std::memcmp(a.get(), b.get(), sequences * 12000), 0);
        int whiteBlocks = 0;
        const int bars[7] = {180, 162, 131, 112, 84, 65, 35};
        for (int s = 0; s < sequences; ++s) {
            for (int v = 0; v < 135; ++v) {
                const unsigned char* block = a.get() + s * 12000 + 80 * (7 + v + v / 15);
                const auto r = dv25::PlacementOf(standard, s, v);
                for (int i = 0; i < 4; ++i) {
                    const int x = r.x + (r.width == 32 ? 8 * i : 8 * (i % 2));
                    const bool marker = x >= 80 && x < 96;  // frame 10: column 80
                    const bool band = r.y >= height - 48;
                    EXPECT_EQ(LumaLevel(block, i), band ? (marker ? 235 : 16) : bars[x * 7 / 720]);
                    whiteBlocks += band && marker ? 1 : 0;
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
    // The marker column wraps inside the picture, on luma block boundaries.
    EXPECT_EQ(dv25::MarkerColumn(0), 0);
    EXPECT_EQ(dv25::MarkerColumn(3), 24);
    for (uint32_t n : {88u, 89u, 1000u, 0xFFFFFFFFu}) {
        EXPECT_GE(dv25::MarkerColumn(n), 0);
        EXPECT_LE(dv25::MarkerColumn(n) + dv25::kMarkerWidth, 720);
        EXPECT_EQ(dv25::MarkerColumn(n) % 8, 0);
    }
}

}  // namespace
