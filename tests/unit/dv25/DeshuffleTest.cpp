#include "Dv25TestSupport.h"

#include "digitalio/DV25audioDeshuffler.h"
#include "digitalio/dv25/AudioCompanding.h"
#include "hostcore/BitMask.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace dv25test;

// Writes a source pack into every sequence's main-area position by hand.
void SetSourcePacks(unsigned char* frame, DIO_VideoFormat standard, unsigned char pc1, unsigned char pc2first,
                    unsigned char pc2second, unsigned char pc4) {
    const int sequences = standard == DIO_PAL ? 12 : 10;
    for (int s = 0; s < sequences; ++s) {
        unsigned char* pack = const_cast<unsigned char*>(SourcePackOf(frame, s));
        pack[0] = 0x50;
        pack[1] = pc1;
        pack[2] = s < sequences / 2 ? pc2first : pc2second;
        pack[3] = standard == DIO_PAL ? 0xE0 : 0xC0;
        pack[4] = pc4;
    }
}

void Put16(unsigned char* frame, DIO_VideoFormat standard, int channel, int n, uint16_t code) {
    unsigned char* p = frame + SlotOffset(standard, channel, 2, n);
    p[0] = static_cast<unsigned char>(code >> 8);
    p[1] = static_cast<unsigned char>(code);
}

void Put12(unsigned char* frame, DIO_VideoFormat standard, int channel, int n, uint16_t code) {
    unsigned char* p = frame + SlotOffset(standard, channel / 2, 3, n);
    if (channel % 2 == 0) {
        p[0] = static_cast<unsigned char>(code >> 4);
        p[2] = static_cast<unsigned char>((p[2] & 0x0F) | ((code & 0x0F) << 4));
    } else {
        p[1] = static_cast<unsigned char>(code >> 4);
        p[2] = static_cast<unsigned char>((p[2] & 0xF0) | (code & 0x0F));
    }
}

TEST(Deshuffle, SixteenBitChannelsComeOutInOrderAsLittleEndianPcm) {
    FrameBuffer frame = BlackFrame(DIO_PAL);
    // 625/50, 44.1 kHz, AF_SIZE 20: 1762 samples, unlocked.
    SetSourcePacks(frame.data(), DIO_PAL, 0xC0 | 20, 0x00, 0x01, 0xC8);
    const auto left = NoiseSamples(1762, 21), right = NoiseSamples(1762, 22);
    for (int n = 0; n < 1762; ++n) {
        Put16(frame.data(), DIO_PAL, 0, n, static_cast<uint16_t>(left[n]));
        Put16(frame.data(), DIO_PAL, 1, n, static_cast<uint16_t>(right[n]));
    }
    Put16(frame.data(), DIO_PAL, 1, 5, 0x8000);  // a missing sample

    DV25audioDeshuffler deshuffler;
    DIO_AudioFormat rate = DIO_NoAudioFormat;
    DIO_VideoFormat video = DIO_NoVideoFormat;
    ASSERT_EQ(deshuffler.GetRateAndSampsFromASPak(frame.data(), &rate, &video), 0);
    EXPECT_EQ(rate, DIO_Audio44100);
    EXPECT_EQ(video, DIO_PAL);

    RingSet rings(4, 1 << 16);
    BitMask mask(4);
    for (int c = 0; c < 4; ++c) mask.SetBit(c, 1);
    ULONG samples = 0;
    ASSERT_EQ(deshuffler.DeShuffleAudio(frame.data(), &mask, rings.array(), &samples), 0);
    EXPECT_EQ(samples, 1762u);
    auto gotLeft = rings[0].PopAll(), gotRight = rings[1].PopAll();
    auto expectedRight = right;
    expectedRight[5] = 0;
    EXPECT_EQ(gotLeft, left);
    EXPECT_EQ(gotRight, expectedRight);
    // Channels 2 and 3 are not carried in 16-bit frames: the frame's length of silence.
    EXPECT_EQ(rings[2].PopAll(), std::vector<int16_t>(1762, 0));
    EXPECT_EQ(rings[3].PopAll(), std::vector<int16_t>(1762, 0));
}

TEST(Deshuffle, TwelveBitFourChannelsExpandTo16Bit) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    // 525/60 32 kHz 12-bit, AF_SIZE 15: 1068 samples.
    SetSourcePacks(frame.data(), DIO_NTSC, 0x40 | 15, 0x30, 0x30, 0xD1);
    std::vector<std::vector<uint16_t>> codes(4, std::vector<uint16_t>(1068));
    for (int c = 0; c < 4; ++c) {
        const auto noise = NoiseSamples(1068, 30 + c);
        for (int n = 0; n < 1068; ++n) {
            codes[c][n] = static_cast<uint16_t>(noise[n]) & 0xFFF;
            Put12(frame.data(), DIO_NTSC, c, n, codes[c][n]);
        }
    }
    codes[3][7] = dv25::kMissingSample12;
    Put12(frame.data(), DIO_NTSC, 3, 7, dv25::kMissingSample12);

    DV25audioDeshuffler deshuffler;
    RingSet rings(4, 1 << 16);
    BitMask mask(4);
    for (int c = 0; c < 4; ++c) mask.SetBit(c, 1);
    ULONG samples = 0;
    ASSERT_EQ(deshuffler.DeShuffleAudio(frame.data(), &mask, rings.array(), &samples), 0);
    EXPECT_EQ(samples, 1068u);
    for (int c = 0; c < 4; ++c) {
        const auto got = rings[c].PopAll();
        ASSERT_EQ(got.size(), 1068u);
        for (int n = 0; n < 1068; ++n) ASSERT_EQ(got[n], dv25::Expand12(codes[c][n])) << c << " " << n;
    }
    DIO_AudioFormat rate;
    DIO_VideoFormat video;
    ASSERT_EQ(deshuffler.GetRateAndSampsFromASPak(frame.data(), &rate, &video), 0);
    EXPECT_EQ(rate, DIO_Audio32000);
    EXPECT_EQ(video, DIO_NTSC);
}

TEST(Deshuffle, SecondBlockMarkedWithoutAudioGivesSilence) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    SetSourcePacks(frame.data(), DIO_NTSC, 0x40 | 15, 0x30, 0x3F, 0xD1);
    for (int n = 0; n < 1068; ++n) Put12(frame.data(), DIO_NTSC, 2, n, 0x123);
    DV25audioDeshuffler deshuffler;
    RingSet rings(3, 1 << 16);
    BitMask mask(3);
    mask.SetBit(2, 1);
    ULONG samples = 0;
    ASSERT_EQ(deshuffler.DeShuffleAudio(frame.data(), &mask, rings.array(), &samples), 0);
    EXPECT_EQ(rings[2].PopAll(), std::vector<int16_t>(1068, 0));
}

TEST(Deshuffle, OnlySelectedChannelsAreWritten) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    DV25audioDeshuffler deshuffler;
    RingSet rings(2, 1 << 16);
    BitMask mask(2);
    mask.SetBit(1, 1);
    ULONG samples = 0;
    ASSERT_EQ(deshuffler.DeShuffleAudio(frame.data(), &mask, rings.array(), &samples), 0);
    EXPECT_EQ(samples, 1600u);
    EXPECT_EQ(rings[0].fifo()->GetQDepth(), 0u);
    EXPECT_EQ(rings[1].fifo()->GetQDepth(), 3200u);
    // A selected channel needs a ring; the array is indexed by channel number.
    BitMask wide(8);
    wide.SetBit(6, 1);
    EXPECT_NE(deshuffler.DeShuffleAudio(frame.data(), &wide, rings.array(), &samples), 0);
    // A channel beyond the 128 ring slots cannot have a ring either.
    BitMask huge(200);
    huge.SetBit(0, 1);
    huge.SetBit(150, 1);
    EXPECT_NE(deshuffler.DeShuffleAudio(frame.data(), &huge, rings.array(), &samples), 0);
    EXPECT_EQ(rings[0].fifo()->GetQDepth(), 0u);
}

TEST(Deshuffle, NothingIsWrittenWhenAnyRingLacksRoom) {
    FrameBuffer frame = BlackFrame(DIO_PAL);
    DV25audioDeshuffler deshuffler;
    RingSet rings(2, 1 << 16);
    SampleRing small(3838);  // one sample short of a 1920-sample frame
    rings.array()[1] = small.fifo();
    BitMask mask(2);
    mask.SetBit(0, 1);
    mask.SetBit(1, 1);
    ULONG samples = 77;
    EXPECT_NE(deshuffler.DeShuffleAudio(frame.data(), &mask, rings.array(), &samples), 0);
    EXPECT_EQ(samples, 77u);
    EXPECT_EQ(rings[0].fifo()->GetQDepth(), 0u);
    EXPECT_EQ(small.fifo()->GetQDepth(), 0u);
}

TEST(Deshuffle, SourcePackFoundInALaterSequence) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    // Sequences 0..2 lose their source pack; sequence 3 (odd, block 0) still has one.
    for (int s = 0; s < 3; ++s) std::memset(const_cast<unsigned char*>(SourcePackOf(frame.data(), s)), 0xFF, 5);
    DV25audioDeshuffler deshuffler;
    DIO_AudioFormat rate;
    DIO_VideoFormat video;
    EXPECT_EQ(deshuffler.GetRateAndSampsFromASPak(frame.data(), &rate, &video), 0);
    EXPECT_EQ(rate, DIO_Audio48000);
    // Null outputs are allowed.
    EXPECT_EQ(deshuffler.GetRateAndSampsFromASPak(frame.data(), nullptr, nullptr), 0);
}

}  // namespace
