// The deck's field encodings: packed BCD, absolute track numbers, tracks per frame,
// the AV/C quadlet buffer, and the shuttle speed table.
#include "KDXCORE.h"
#include "deck/AvcBuffer.h"
#include "deck/ShuttleSpeed.h"
#include "deck/TimecodeFields.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace dv1394;

namespace {

TEST(BcdTest, EveryTwoDigitValueRoundTripsAndPacksTensHigh) {
    for (int n = 0; n < 100; ++n) {
        const unsigned char bcd = BinToBCD(static_cast<unsigned char>(n));
        EXPECT_EQ(bcd >> 4, n / 10) << n;
        EXPECT_EQ(bcd & 0xF, n % 10) << n;
        EXPECT_EQ(BCDToBin(bcd), n) << n;
    }
    // Frames byte 0x65 of a drop-frame answer: masked with 0x3F it reads 25.
    EXPECT_EQ(BCDToBin(0x65 & 0x3F), 25);
    // The tens digit is kept to one nibble, as the deck expects.
    EXPECT_EQ(BinToBCD(255), 0x95);
}

TEST(TrackNumberTest, DecodesTheDeckAnswersAndEncodesSearchTargets) {
    struct Case {
        unsigned char bytes[3];
        LONG track;
        unsigned char blank;
    };
    const Case cases[] = {
        {{0xFF, 0xFF, 0xFF}, 0, 1},    // no track number
        {{0xFE, 0xFF, 0xFF}, 0, 0},    // no track number, discontinuous
        {{0x15, 0x00, 0x00}, 10, 1},
        {{0x14, 0x00, 0x00}, 10, 0},
        {{0xD1, 0x07, 0x00}, 1000, 1},
        {{0xFD, 0xFF, 0xFF}, 0x7FFFFE, 1},  // only FF and FE are "none"
        {{0xFF, 0xFF, 0x7F}, 0x3FFFFF, 1},
    };
    for (const Case& c : cases) {
        LONG track = -5;
        unsigned char blank = 9;
        DecodeTrackNumber(c.bytes, &track, &blank);
        EXPECT_EQ(track, c.track) << std::hex << int(c.bytes[0]) << " " << int(c.bytes[1]) << " " << int(c.bytes[2]);
        EXPECT_EQ(blank, c.blank);
    }
    auto encoded = [](LONG track) {
        unsigned char bytes[3];
        EncodeTrackNumber(track, bytes);
        return std::vector<int>(bytes, bytes + 3);
    };
    EXPECT_EQ(encoded(1300), (std::vector<int>{0x29, 0x0A, 0x00}));
    EXPECT_EQ(encoded(0x123456), (std::vector<int>{0xAD, 0x68, 0x24}));
    unsigned char bytes[3];
    for (LONG track : {0, 1, 1250, 65535, 0x3FFFFF}) {
        EncodeTrackNumber(track, bytes);
        LONG back = -1;
        unsigned char blank = 0;
        DecodeTrackNumber(bytes, &back, &blank);
        EXPECT_EQ(back, track);
        EXPECT_EQ(blank, 1);
    }
}

TEST(TrackNumberTest, TracksPerFrameAndFieldValidity) {
    EXPECT_EQ(TracksPerFrame(30, true), 300);
    EXPECT_EQ(TracksPerFrame(30, false), 360);
    EXPECT_EQ(TracksPerFrame(-7, true), -70);
    EXPECT_EQ(TracksPerFrame(0, false), 0);
    EXPECT_TRUE(AreTimecodeFieldsValid(0, 0, 0, 0));
    EXPECT_FALSE(AreTimecodeFieldsValid(-1, 0, 0, 0));
    EXPECT_FALSE(AreTimecodeFieldsValid(1, 2, 3, -1));
}

TEST(AVCBufferTest, FrameBytesLieQuadletByQuadletMostSignificantFirst) {
    const std::pair<size_t, size_t> offsets[] = {{0, 3}, {1, 2}, {2, 1}, {3, 0}, {4, 7}, {7, 4}, {8, 11}};
    for (const auto& [frame, buffer] : offsets) EXPECT_EQ(AVCBufferOffset(frame), buffer) << frame;

    AVCBuffer buffer;
    for (unsigned char byte : buffer.bytes) ASSERT_EQ(byte, 0);
    const unsigned char frame[] = {0x01, 0x20, 0x51, 0x71, 0xFF, 0xFE, 0xFD, 0xFC};
    buffer.SetFrameBytes(frame, sizeof frame);
    const unsigned char expected[] = {0x71, 0x51, 0x20, 0x01, 0xFC, 0xFD, 0xFE, 0xFF};
    for (size_t i = 0; i < sizeof expected; ++i) EXPECT_EQ(buffer.bytes[i], expected[i]) << i;
    for (size_t i = 0; i < sizeof frame; ++i) EXPECT_EQ(buffer.Frame(i), frame[i]) << i;
    // Outside the 64 bytes nothing is written and nothing is read.
    buffer.SetFrame(64, 0xAA);
    EXPECT_EQ(buffer.Frame(64), 0);
    for (size_t i = 8; i < kAVCBufferBytes; ++i) EXPECT_EQ(buffer.bytes[i], 0) << i;
}

TEST(ShuttleSpeedTest, EachSpeedBandEndsOnItsCode) {
    struct Band {
        LONG speed;
        LONG code;
    };
    const Band bands[] = {
        {0, 0x45},    {1, 0x4A},    {20, 0x4A},   {21, 0x4C},   {40, 0x4C},   {41, 0x4E},  {60, 0x4E},
        {61, 0x50},   {80, 0x50},   {81, 0x52},   {100000, 0x52}, {-1, 0x4B}, {-19, 0x4B}, {-20, 0x4D},
        {-39, 0x4D},  {-40, 0x4F},  {-59, 0x4F},  {-60, 0x51},  {-79, 0x51},  {-80, 0x53}, {-100000, 0x53},
    };
    for (const Band& band : bands) EXPECT_EQ(ShuttleSpeedToDeckCode(band.speed), band.code) << band.speed;
}

}  // namespace
