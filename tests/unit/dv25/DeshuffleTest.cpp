// Reading audio out of DV25 frames: sample order, 12-bit expansion, channel
// selection, all-or-nothing writes and the source pack search.
#include "Dv25TestSupport.h"

#include "digitalio/DV25audioDeshuffler.h"
#include "digitalio/dv25/AudioCompanding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace dv25test;

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
    BitMask mask = MaskOf({0, 1, 2, 3}, 4);
    ULONG samples = 0;
    ASSERT_EQ(deshuffler.DeShuffleAudio(frame.data(), &mask, rings.array(), &samples), 0);
    EXPECT_EQ(samples, 1762u);
    auto expectedRight = right;
    expectedRight[5] = 0;
    EXPECT_EQ(rings[0].PopAll(), left);
    EXPECT_EQ(rings[1].PopAll(), expectedRight);
    // Channels 2 and 3 are not carried in 16-bit frames: the frame's length of silence.
    EXPECT_EQ(rings[2].PopAll(), std::vector<int16_t>(1762, 0));
    EXPECT_EQ(rings[3].PopAll(), std::vector<int16_t>(1762, 0));
}

TEST(Deshuffle, TwelveBitFourChannelsExpandTo16BitUnlessTheBlockHasNoAudio) {
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
    DIO_AudioFormat rate;
    DIO_VideoFormat video;
    ASSERT_EQ(deshuffler.GetRateAndSampsFromASPak(frame.data(), &rate, &video), 0);
    EXPECT_EQ(rate, DIO_Audio32000);
    EXPECT_EQ(video, DIO_NTSC);
    RingSet rings(4, 1 << 16);
    BitMask mask = MaskOf({0, 1, 2, 3}, 4);
    ULONG samples = 0;
    ASSERT_EQ(deshuffler.DeShuffleAudio(frame.data(), &mask, rings.array(), &samples), 0);
    EXPECT_EQ(samples, 1068u);
    for (int c = 0; c < 4; ++c) {
        const auto got = rings[c].PopAll();
        ASSERT_EQ(got.size(), 1068u);
        for (int n = 0; n < 1068; ++n) ASSERT_EQ(got[n], dv25::Expand12(codes[c][n])) << c << " " << n;
    }
    // The second half's packs mark its block as carrying no audio: channels 2 and 3
    // are silent even though their slots hold codes.
    SetSourcePacks(frame.data(), DIO_NTSC, 0x40 | 15, 0x30, 0x3F, 0xD1);
    ASSERT_EQ(deshuffler.DeShuffleAudio(frame.data(), &mask, rings.array(), &samples), 0);
    EXPECT_EQ(rings[2].PopAll(), std::vector<int16_t>(1068, 0));
    EXPECT_EQ(rings[3].PopAll(), std::vector<int16_t>(1068, 0));
}

TEST(Deshuffle, OnlySelectedChannelsAndNothingWhenAnyRingFails) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    DV25audioDeshuffler deshuffler;
    RingSet rings(2, 1 << 16);
    BitMask second = MaskOf({1}, 2);
    ULONG samples = 0;
    ASSERT_EQ(deshuffler.DeShuffleAudio(frame.data(), &second, rings.array(), &samples), 0);
    EXPECT_EQ(samples, 1600u);
    EXPECT_EQ(rings[0].fifo()->GetQDepth(), 0u);
    EXPECT_EQ(rings[1].PopAll().size(), 1600u);
    // A selected channel needs a ring (the array is indexed by channel number), and no
    // channel beyond the 128 ring slots can have one.
    BitMask wide = MaskOf({6}, 8), huge = MaskOf({0, 150}, 200);
    EXPECT_NE(deshuffler.DeShuffleAudio(frame.data(), &wide, rings.array(), &samples), 0);
    EXPECT_NE(deshuffler.DeShuffleAudio(frame.data(), &huge, rings.array(), &samples), 0);
    EXPECT_EQ(rings[0].fifo()->GetQDepth(), 0u);

    // One ring a sample short of a 1920-sample frame: no ring gets anything.
    FrameBuffer pal = BlackFrame(DIO_PAL);
    SampleRing small(3838);
    rings.array()[1] = small.fifo();
    BitMask both = MaskOf({0, 1}, 2);
    samples = 77;
    EXPECT_NE(deshuffler.DeShuffleAudio(pal.data(), &both, rings.array(), &samples), 0);
    EXPECT_EQ(samples, 77u);
    EXPECT_EQ(rings[0].fifo()->GetQDepth(), 0u);
    EXPECT_EQ(small.fifo()->GetQDepth(), 0u);

    // Null arguments.
    DIO_AudioFormat rate;
    DIO_VideoFormat video;
    EXPECT_NE(deshuffler.GetRateAndSampsFromASPak(nullptr, &rate, &video), 0);
    EXPECT_NE(deshuffler.DeShuffleAudio(nullptr, &both, rings.array(), &samples), 0);
    EXPECT_NE(deshuffler.DeShuffleAudio(frame.data(), nullptr, rings.array(), &samples), 0);
    EXPECT_NE(deshuffler.DeShuffleAudio(frame.data(), &both, nullptr, &samples), 0);
    EXPECT_NE(deshuffler.DeShuffleAudio(frame.data(), &both, rings.array(), nullptr), 0);
    EXPECT_EQ(rings[0].fifo()->GetQDepth(), 0u);
}

TEST(Deshuffle, SourcePackFoundInALaterSequence) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    // Sequences 0..2 lose their source pack; sequence 3 (odd, block 0) still has one.
    for (int s = 0; s < 3; ++s) std::memset(SourcePackOf(frame.data(), s), 0xFF, 5);
    DV25audioDeshuffler deshuffler;
    DIO_AudioFormat rate;
    DIO_VideoFormat video;
    EXPECT_EQ(deshuffler.GetRateAndSampsFromASPak(frame.data(), &rate, &video), 0);
    EXPECT_EQ(rate, DIO_Audio48000);
    EXPECT_EQ(deshuffler.GetRateAndSampsFromASPak(frame.data(), nullptr, nullptr), 0);  // null outputs allowed
}

}  // namespace
