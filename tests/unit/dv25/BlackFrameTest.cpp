#include "Dv25TestSupport.h"

#include "digitalio/DVFrame.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace dv25test;

std::vector<unsigned char> Bytes(const unsigned char* p, size_t n) { return std::vector<unsigned char>(p, p + n); }

// Block index i of a sequence: its section and number, from the fixed order.
void ExpectedId(int i, int* section, int* number) {
    if (i == 0) { *section = 0; *number = 0; return; }
    if (i <= 2) { *section = 1; *number = i - 1; return; }
    if (i <= 5) { *section = 2; *number = i - 3; return; }
    const int j = i - 6;
    if (j % 16 == 0) { *section = 3; *number = j / 16; return; }
    *section = 4;
    *number = j - j / 16 - 1;
}

void ExpectBlackFrame(DIO_VideoFormat standard) {
    SCOPED_TRACE(standard == DIO_PAL ? "625/50" : "525/60");
    FrameBuffer frame = BlackFrame(standard);
    ASSERT_NE(frame.data(), nullptr);
    const unsigned char* f = frame.data();
    const int sequences = standard == DIO_PAL ? 12 : 10;
    const unsigned char dsf = standard == DIO_PAL ? 0x80 : 0x00;

    std::vector<unsigned char> videoPayload = {0x0F};
    for (int i = 0; i < 4; ++i) {
        videoPayload.push_back(0x90);
        videoPayload.push_back(0x06);
        videoPayload.insert(videoPayload.end(), 12, 0xFF);
    }
    for (int i = 0; i < 2; ++i) {
        videoPayload.push_back(0x00);
        videoPayload.push_back(0x06);
        videoPayload.insert(videoPayload.end(), 8, 0xFF);
    }
    ASSERT_EQ(videoPayload.size(), 77u);

    for (int s = 0; s < sequences; ++s) {
        const unsigned char* seq = f + s * 12000;
        for (int i = 0; i < 150; ++i) {
            int section, number;
            ExpectedId(i, &section, &number);
            const unsigned char* block = seq + 80 * i;
            ASSERT_EQ(block[0], (section << 5) | 0x1F) << s << " block " << i;
            ASSERT_EQ(block[1], (s << 4) | 0x07) << s << " block " << i;
            ASSERT_EQ(block[2], number) << s << " block " << i;
            if (section == 4) {
                ASSERT_EQ(Bytes(block + 3, 77), videoPayload) << s << " block " << i;
            }
            if (section == 3) {
                ASSERT_EQ(Bytes(block + 8, 72), std::vector<unsigned char>(72, 0)) << s << " block " << i;
            }
        }
        EXPECT_EQ(Bytes(seq + 3, 5), (std::vector<unsigned char>{static_cast<unsigned char>(0x3F | dsf), 0xF8, 0x78,
                                                                  0x78, 0x78}));
        EXPECT_EQ(Bytes(seq + 8, 72), std::vector<unsigned char>(72, 0xFF));
        // VAUX main area: source then source control.
        const int sourceAt = s % 2 == 0 ? 448 : 243;
        EXPECT_EQ(Bytes(seq + sourceAt, 5),
                  (std::vector<unsigned char>{0x60, 0xFF, 0xFF, static_cast<unsigned char>(0xC0 | (dsf >> 2)), 0xFF}));
        EXPECT_EQ(Bytes(seq + sourceAt + 5, 5),
                  (std::vector<unsigned char>{0x61, 0x3F, 0xC8, static_cast<unsigned char>(dsf ? 0xFD : 0xFC), 0xFF}));
        // Audio source pack: 48 kHz 16-bit, locked, first frame of the cadence.
        const unsigned char afSize = dsf ? 24 : 20;
        EXPECT_EQ(Bytes(SourcePackOf(f, s), 5),
                  (std::vector<unsigned char>{0x50, static_cast<unsigned char>(0x40 | afSize),
                                              static_cast<unsigned char>(s < sequences / 2 ? 0 : 1),
                                              static_cast<unsigned char>(0xC0 | (dsf >> 2)), 0xC0}));
        // Timecode 00:00:00:00 at the first sync block of every sequence.
        EXPECT_EQ(seq[86], 0x13);
        EXPECT_EQ(seq[87] & 0x3F, 0x00);
    }
    EXPECT_EQ(Bytes(f + 86, 5), (std::vector<unsigned char>{0x13, static_cast<unsigned char>(dsf ? 0x80 : 0xC0), 0x80,
                                                             0x80, 0xC0}));
    // The buffer is the larger standard's size; a 525/60 frame's tail is 0xFF.
    if (standard == DIO_NTSC) {
        EXPECT_EQ(Bytes(f + 120000, 24000), std::vector<unsigned char>(24000, 0xFF));
    }
}

TEST(BlackFrame, EveryBlockOfBothStandards) {
    ExpectBlackFrame(DIO_NTSC);
    ExpectBlackFrame(DIO_PAL);
}

TEST(BlackFrame, NoFrameForAnUnknownStandard) {
    DVFrame generator;
    EXPECT_EQ(generator.GenBlackFrame(DIO_NoVideoFormat), nullptr);
    EXPECT_EQ(generator.GenTestPatternFrame(DIO_NoVideoFormat, 1), nullptr);
}

TEST(BlackFrame, EachCallGivesTheCallerItsOwnBuffer) {
    DVFrame generator;
    unsigned char* a = generator.GenBlackFrame(DIO_NTSC);
    unsigned char* b = generator.GenBlackFrame(DIO_NTSC);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a, b);
    EXPECT_EQ(Bytes(a, 120000), Bytes(b, 120000));
    delete[] a;
    delete[] b;
}

}  // namespace
