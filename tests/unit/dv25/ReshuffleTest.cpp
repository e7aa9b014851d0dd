#include "Dv25TestSupport.h"

#include "digitalio/DV25audioReshuffler.h"
#include "digitalio/dv25/AudioCompanding.h"
#include "hostcore/BitMask.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace dv25test;

BitMask MaskOf(std::initializer_list<int> channels, int bits = 4) {
    BitMask mask(bits);
    for (int c : channels) mask.SetBit(c, 1);
    return mask;
}

int16_t Sample16At(const unsigned char* frame, DIO_VideoFormat standard, int channel, int n) {
    const unsigned char* p = frame + SlotOffset(standard, channel, 2, n);
    return static_cast<int16_t>(static_cast<uint16_t>((p[0] << 8) | p[1]));
}

uint16_t Code12At(const unsigned char* frame, DIO_VideoFormat standard, int channel, int n) {
    const unsigned char* p = frame + SlotOffset(standard, channel / 2, 3, n);
    return channel % 2 == 0 ? static_cast<uint16_t>((p[0] << 4) | (p[2] >> 4))
                            : static_cast<uint16_t>((p[1] << 4) | (p[2] & 0x0F));
}

void ExpectPack(const unsigned char* pack, std::vector<unsigned char> expected) {
    EXPECT_EQ(std::vector<unsigned char>(pack, pack + 5), expected);
}

TEST(Reshuffle, WritesSixteenBitSamplesAndPacksOfTheFrameNumber) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    RingSet rings(2, 1 << 16);
    const auto left = NoiseSamples(1602, 1), right = NoiseSamples(1602, 2);
    rings[0].Push(left);
    rings[1].Push(right);
    BitMask mask = MaskOf({0, 1}, 2);
    DV25audioReshuffler reshuffler(DIO_Audio48000, DIO_NTSC);
    // Frame 2 of the cadence holds 1602 samples.
    ASSERT_EQ(reshuffler.ReShuffleAudio(frame.data(), 2, &mask, rings.array()), 0);
    for (int n = 0; n < 1602; ++n) {
        const int16_t l = left[n] == -32768 ? -32767 : left[n];
        const int16_t r = right[n] == -32768 ? -32767 : right[n];
        ASSERT_EQ(Sample16At(frame.data(), DIO_NTSC, 0, n), l) << n;
        ASSERT_EQ(Sample16At(frame.data(), DIO_NTSC, 1, n), r) << n;
    }
    // Unused slots are zero.
    for (int n = 1602; n < 1620; ++n) EXPECT_EQ(Sample16At(frame.data(), DIO_NTSC, 0, n), 0);
    EXPECT_EQ(rings[0].fifo()->GetQDepth(), 0u);
    for (int s = 0; s < 10; ++s) {
        // Locked, AF_SIZE 22, one channel per block, 525/60, 48 kHz 16-bit.
        ExpectPack(SourcePackOf(frame.data(), s), {0x50, 0x56, static_cast<unsigned char>(s < 5 ? 0x00 : 0x01), 0xC0, 0xC0});
        const int controlBlock = s % 2 == 0 ? 4 : 1;
        ExpectPack(frame.data() + s * 12000 + 480 + 1280 * controlBlock + 3, {0x51, 0x3F, 0xCF, 0xA0, 0xFF});
        // The blocks outside the main area carry no-information packs.
        const int optional = s % 2 == 0 ? 0 : 6;
        ExpectPack(frame.data() + s * 12000 + 480 + 1280 * optional + 3, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    }
}

TEST(Reshuffle, MinusFullScaleIsWrittenOneStepUpBecause8000MarksAMissingSample) {
    FrameBuffer frame = BlackFrame(DIO_PAL);
    RingSet rings(1, 1 << 16);
    std::vector<int16_t> samples(1920, -32768);
    samples[1] = 32767;
    rings[0].Push(samples);
    BitMask mask = MaskOf({0}, 1);
    DV25audioReshuffler reshuffler(DIO_Audio48000, DIO_PAL);
    ASSERT_EQ(reshuffler.ReShuffleAudio(frame.data(), 1, &mask, rings.array()), 0);
    EXPECT_EQ(Sample16At(frame.data(), DIO_PAL, 0, 0), -32767);
    EXPECT_EQ(Sample16At(frame.data(), DIO_PAL, 0, 1), 32767);
    EXPECT_EQ(Sample16At(frame.data(), DIO_PAL, 0, 1919), -32767);
    // The unselected second channel is silent.
    for (int n = 0; n < 1944; ++n) ASSERT_EQ(Sample16At(frame.data(), DIO_PAL, 1, n), 0);
}

TEST(Reshuffle, ThirtyTwoKilohertzIsTwelveBitFourChannel) {
    for (DIO_VideoFormat standard : {DIO_NTSC, DIO_PAL}) {
        FrameBuffer frame = BlackFrame(standard);
        RingSet rings(4, 1 << 16);
        std::vector<std::vector<int16_t>> input;
        for (int c = 0; c < 4; ++c) {
            input.push_back(NoiseSamples(1280, 10 + c));
            rings[c].Push(input.back());
        }
        BitMask mask = MaskOf({0, 1, 3});
        DV25audioReshuffler reshuffler(DIO_Audio32000, standard);
        reshuffler.SetIsAudioLocked(false);
        ASSERT_EQ(reshuffler.ReShuffleAudio(frame.data(), 1, &mask, rings.array()), 0);
        const int samples = standard == DIO_PAL ? 1280 : 1067;
        const int capacity = standard == DIO_PAL ? 1296 : 1080;
        for (int n = 0; n < capacity; ++n) {
            for (int c = 0; c < 4; ++c) {
                const uint16_t expected = (n < samples && c != 2) ? dv25::Compress12(input[c][n]) : 0;
                ASSERT_EQ(Code12At(frame.data(), standard, c, n), expected) << c << " " << n;
            }
        }
        // Unselected channel 2's ring is untouched; the others gave exactly one frame.
        EXPECT_EQ(rings[2].fifo()->GetQDepth(), 1280u * 2);
        EXPECT_EQ(rings[0].fifo()->GetQDepth(), (1280u - samples) * 2);
        const unsigned char dsf = standard == DIO_PAL ? 0xE0 : 0xC0;
        const unsigned char afSize = static_cast<unsigned char>(samples - (standard == DIO_PAL ? 1264 : 1053));
        // Unlocked, two independent channels per block, 32 kHz 12-bit.
        ExpectPack(SourcePackOf(frame.data(), 0), {0x50, static_cast<unsigned char>(0xC0 | afSize), 0x30, dsf, 0xD1});
        ExpectPack(SourcePackOf(frame.data(), standard == DIO_PAL ? 7 : 6),
                   {0x50, static_cast<unsigned char>(0xC0 | afSize), 0x30, dsf, 0xD1});
    }
}

TEST(Reshuffle, ChannelsTheModeCannotCarryAreConsumedAndDropped) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    RingSet rings(4, 1 << 16);
    for (int c = 0; c < 4; ++c) rings[c].Push(NoiseSamples(3200, c));
    BitMask mask = MaskOf({0, 1, 2, 3});
    DV25audioReshuffler reshuffler(DIO_Audio44100, DIO_NTSC);
    ASSERT_EQ(reshuffler.ReShuffleAudio(frame.data(), 1, &mask, rings.array()), 0);
    const ULONG left = (3200u - 1471u) * 2;
    for (int c = 0; c < 4; ++c) EXPECT_EQ(rings[c].fifo()->GetQDepth(), left) << c;
}

TEST(Reshuffle, AllOrNothingWhenAChannelLacksSamples) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    std::vector<unsigned char> before(frame.data(), frame.data() + kDVFrameSizePAL);
    RingSet rings(2, 1 << 16);
    rings[0].Push(NoiseSamples(1600, 3));
    rings[1].Push(NoiseSamples(1599, 4));
    BitMask mask = MaskOf({0, 1}, 2);
    DV25audioReshuffler reshuffler(DIO_Audio48000, DIO_NTSC);
    EXPECT_NE(reshuffler.ReShuffleAudio(frame.data(), 1, &mask, rings.array()), 0);
    EXPECT_EQ(std::memcmp(before.data(), frame.data(), before.size()), 0);
    EXPECT_EQ(rings[0].fifo()->GetQDepth(), 3200u);
    EXPECT_EQ(rings[1].fifo()->GetQDepth(), 3198u);
    // A selected channel with no ring at all fails the same way.
    BitMask wide = MaskOf({0, 5}, 8);
    EXPECT_NE(reshuffler.ReShuffleAudio(frame.data(), 1, &wide, rings.array()), 0);
    EXPECT_EQ(rings[0].fifo()->GetQDepth(), 3200u);
    // So does a channel beyond the 128 ring slots, even with no rings (silence).
    BitMask huge = MaskOf({0, 150}, 200);
    EXPECT_NE(reshuffler.ReShuffleAudio(frame.data(), 1, &huge, rings.array()), 0);
    EXPECT_NE(reshuffler.ReShuffleAudio(frame.data(), 1, &huge, nullptr), 0);
    EXPECT_EQ(rings[0].fifo()->GetQDepth(), 3200u);
    EXPECT_EQ(std::memcmp(before.data(), frame.data(), before.size()), 0);
    // One more sample completes frame 1.
    rings[1].Push({7});
    EXPECT_EQ(reshuffler.ReShuffleAudio(frame.data(), 1, &mask, rings.array()), 0);
    EXPECT_EQ(Sample16At(frame.data(), DIO_NTSC, 1, 1599), 7);
}

TEST(Reshuffle, NoRingsWriteSilenceAndPacks) {
    FrameBuffer frame = BlackFrame(DIO_PAL);
    // Dirty the audio with a first reshuffle, then silence it.
    RingSet rings(2, 1 << 16);
    rings[0].Push(NoiseSamples(1764, 5));
    rings[1].Push(NoiseSamples(1764, 6));
    BitMask mask = MaskOf({0, 1}, 2);
    DV25audioReshuffler reshuffler(DIO_Audio44100, DIO_PAL);
    ASSERT_EQ(reshuffler.ReShuffleAudio(frame.data(), 1, &mask, rings.array()), 0);
    ASSERT_EQ(reshuffler.ReShuffleAudio(frame.data(), 0, &mask, nullptr), 0);
    for (int n = 0; n < 1944; ++n) {
        ASSERT_EQ(Sample16At(frame.data(), DIO_PAL, 0, n), 0);
        ASSERT_EQ(Sample16At(frame.data(), DIO_PAL, 1, n), 0);
    }
    ExpectPack(SourcePackOf(frame.data(), 0), {0x50, 0x56, 0x00, 0xE0, 0xC8});
}

TEST(Reshuffle, LockedFlagFollowsTheSetting) {
    DV25audioReshuffler reshuffler(DIO_Audio48000, DIO_NTSC);
    EXPECT_TRUE(reshuffler.IsAudioLocked());
    BitMask mask = MaskOf({0, 1}, 2);
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    reshuffler.SetIsAudioLocked(false);
    EXPECT_FALSE(reshuffler.IsAudioLocked());
    ASSERT_EQ(reshuffler.ReShuffleAudio(frame.data(), 1, &mask, nullptr), 0);
    EXPECT_EQ(SourcePackOf(frame.data(), 0)[1], 0xD4);
    reshuffler.SetIsAudioLocked(true);
    ASSERT_EQ(reshuffler.ReShuffleAudio(frame.data(), 1, &mask, nullptr), 0);
    EXPECT_EQ(SourcePackOf(frame.data(), 0)[1], 0x54);
}

TEST(Reshuffle, RefusesMissingArgumentsAndFramesOfTheOtherStandard) {
    FrameBuffer ntsc = BlackFrame(DIO_NTSC);
    BitMask mask = MaskOf({0, 1}, 2);
    DV25audioReshuffler pal(DIO_Audio48000, DIO_PAL);
    std::vector<unsigned char> before(ntsc.data(), ntsc.data() + kDVFrameSizePAL);
    EXPECT_NE(pal.ReShuffleAudio(ntsc.data(), 1, &mask, nullptr), 0);
    EXPECT_EQ(std::memcmp(before.data(), ntsc.data(), before.size()), 0);
    DV25audioReshuffler ntscWriter(DIO_Audio48000, DIO_NTSC);
    EXPECT_NE(ntscWriter.ReShuffleAudio(nullptr, 1, &mask, nullptr), 0);
    EXPECT_NE(ntscWriter.ReShuffleAudio(ntsc.data(), 1, nullptr, nullptr), 0);
    DV25audioReshuffler noRate(DIO_NoAudioFormat, DIO_NTSC);
    EXPECT_NE(noRate.ReShuffleAudio(ntsc.data(), 1, &mask, nullptr), 0);
    DV25audioReshuffler noStandard(DIO_Audio48000, DIO_NoVideoFormat);
    EXPECT_NE(noStandard.ReShuffleAudio(ntsc.data(), 1, &mask, nullptr), 0);
    EXPECT_EQ(std::memcmp(before.data(), ntsc.data(), before.size()), 0);
}

}  // namespace
