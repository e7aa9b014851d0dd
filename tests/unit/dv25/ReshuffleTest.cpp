// Writing audio into DV25 frames: sample slots, AAUX packs, channel selection,
// all-or-nothing consumption and refused arguments.
#include "Dv25TestSupport.h"

#include "digitalio/DV25audioReshuffler.h"
#include "digitalio/dv25/AudioCompanding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace dv25test;

TEST(Reshuffle, WritesSixteenBitSamplesAndPacksOfTheFrameNumber) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    RingSet rings(2, 1 << 16);
    auto left = NoiseSamples(1602, 1), right = NoiseSamples(1602, 2);
    left[1] = -32768;  // 0x8000 marks a missing sample: written one step up
    left[2] = 32767;
    rings[0].Push(left);
    rings[1].Push(right);
    BitMask mask = MaskOf({0, 1}, 2);
    DV25audioReshuffler reshuffler(DIO_Audio48000, DIO_NTSC);
    // Frame 2 of the cadence holds 1602 samples.
    ASSERT_EQ(reshuffler.ReShuffleAudio(frame.data(), 2, &mask, rings.array()), 0);
    for (int n = 0; n < 1602; ++n) {
        ASSERT_EQ(Get16(frame.data(), DIO_NTSC, 0, n), left[n] == -32768 ? -32767 : left[n]) << n;
        ASSERT_EQ(Get16(frame.data(), DIO_NTSC, 1, n), right[n] == -32768 ? -32767 : right[n]) << n;
    }
    EXPECT_EQ(Get16(frame.data(), DIO_NTSC, 0, 1), -32767);
    for (int n = 1602; n < 1620; ++n) EXPECT_EQ(Get16(frame.data(), DIO_NTSC, 0, n), 0) << "unused slot";
    EXPECT_EQ(rings[0].fifo()->GetQDepth(), 0u);
    for (int s = 0; s < 10; ++s) {
        // Locked, AF_SIZE 22, one channel per block, 525/60, 48 kHz 16-bit.
        EXPECT_EQ(Bytes(SourcePackOf(frame.data(), s), 5),
                  (std::vector<unsigned char>{0x50, 0x56, static_cast<unsigned char>(s < 5 ? 0x00 : 0x01), 0xC0, 0xC0}));
        const int controlBlock = s % 2 == 0 ? 4 : 1;
        EXPECT_EQ(Bytes(frame.data() + s * 12000 + 480 + 1280 * controlBlock + 3, 5),
                  (std::vector<unsigned char>{0x51, 0x3F, 0xCF, 0xA0, 0xFF}));
        // The blocks outside the main area carry no-information packs.
        const int optional = s % 2 == 0 ? 0 : 6;
        EXPECT_EQ(Bytes(frame.data() + s * 12000 + 480 + 1280 * optional + 3, 5), std::vector<unsigned char>(5, 0xFF));
    }
}

TEST(Reshuffle, ThirtyTwoKilohertzIsTwelveBitFourChannel) {
    for (DIO_VideoFormat standard : {DIO_NTSC, DIO_PAL}) {
        SCOPED_TRACE(standard == DIO_PAL ? "625/50" : "525/60");
        FrameBuffer frame = BlackFrame(standard);
        RingSet rings(4, 1 << 16);
        std::vector<std::vector<int16_t>> input;
        for (int c = 0; c < 4; ++c) {
            input.push_back(NoiseSamples(1280, 10 + c));
            rings[c].Push(input.back());
        }
        BitMask mask = MaskOf({0, 1, 3}, 4);
        DV25audioReshuffler reshuffler(DIO_Audio32000, standard);
        reshuffler.SetIsAudioLocked(false);
        ASSERT_EQ(reshuffler.ReShuffleAudio(frame.data(), 1, &mask, rings.array()), 0);
        const int samples = standard == DIO_PAL ? 1280 : 1067;
        const int capacity = standard == DIO_PAL ? 1296 : 1080;
        for (int n = 0; n < capacity; ++n) {
            for (int c = 0; c < 4; ++c) {
                const uint16_t expected = (n < samples && c != 2) ? dv25::Compress12(input[c][n]) : 0;
                ASSERT_EQ(Get12(frame.data(), standard, c, n), expected) << c << " " << n;
            }
        }
        // Unselected channel 2's ring is untouched; the others gave exactly one frame.
        EXPECT_EQ(rings[2].fifo()->GetQDepth(), 1280u * 2);
        EXPECT_EQ(rings[0].fifo()->GetQDepth(), (1280u - samples) * 2);
        const unsigned char dsf = standard == DIO_PAL ? 0xE0 : 0xC0;
        const unsigned char afSize = static_cast<unsigned char>(samples - (standard == DIO_PAL ? 1264 : 1053));
        // Unlocked, two independent channels per block, 32 kHz 12-bit.
        const std::vector<unsigned char> pack = {0x50, static_cast<unsigned char>(0xC0 | afSize), 0x30, dsf, 0xD1};
        EXPECT_EQ(Bytes(SourcePackOf(frame.data(), 0), 5), pack);
        EXPECT_EQ(Bytes(SourcePackOf(frame.data(), standard == DIO_PAL ? 7 : 6), 5), pack);
    }
}

TEST(Reshuffle, ChannelsTheModeCannotCarryAreConsumedAndDropped) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    RingSet rings(4, 1 << 16);
    for (int c = 0; c < 4; ++c) rings[c].Push(NoiseSamples(3200, c));
    BitMask mask = MaskOf({0, 1, 2, 3}, 4);
    DV25audioReshuffler reshuffler(DIO_Audio44100, DIO_NTSC);
    ASSERT_EQ(reshuffler.ReShuffleAudio(frame.data(), 1, &mask, rings.array()), 0);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(rings[c].fifo()->GetQDepth(), (3200u - 1471u) * 2) << c;
}

TEST(Reshuffle, AllOrNothingWhenAChannelLacksSamples) {
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    const std::vector<unsigned char> before = Bytes(frame.data(), kDVFrameSizePAL);
    RingSet rings(2, 1 << 16);
    rings[0].Push(NoiseSamples(1600, 3));
    rings[1].Push(NoiseSamples(1599, 4));
    BitMask mask = MaskOf({0, 1}, 2);
    DV25audioReshuffler reshuffler(DIO_Audio48000, DIO_NTSC);
    EXPECT_NE(reshuffler.ReShuffleAudio(frame.data(), 1, &mask, rings.array()), 0);
    EXPECT_EQ(rings[1].fifo()->GetQDepth(), 3198u);
    // A selected channel with no ring fails the same way; so does a channel beyond the
    // 128 ring slots, even with no rings (silence).
    BitMask wide = MaskOf({0, 5}, 8), huge = MaskOf({0, 150}, 200);
    EXPECT_NE(reshuffler.ReShuffleAudio(frame.data(), 1, &wide, rings.array()), 0);
    EXPECT_NE(reshuffler.ReShuffleAudio(frame.data(), 1, &huge, rings.array()), 0);
    EXPECT_NE(reshuffler.ReShuffleAudio(frame.data(), 1, &huge, nullptr), 0);
    EXPECT_EQ(rings[0].fifo()->GetQDepth(), 3200u);
    EXPECT_EQ(Bytes(frame.data(), kDVFrameSizePAL), before);
    // One more sample completes frame 1.
    rings[1].Push({7});
    EXPECT_EQ(reshuffler.ReShuffleAudio(frame.data(), 1, &mask, rings.array()), 0);
    EXPECT_EQ(Get16(frame.data(), DIO_NTSC, 1, 1599), 7);
}

TEST(Reshuffle, NoRingsWriteSilenceAndPacksWithTheLockedFlag) {
    FrameBuffer frame = BlackFrame(DIO_PAL);
    // Dirty the audio with a first reshuffle (channel 1 unselected stays silent), then
    // silence it.
    RingSet rings(2, 1 << 16);
    rings[0].Push(NoiseSamples(1764, 5));
    BitMask first = MaskOf({0}, 1), mask = MaskOf({0, 1}, 2);
    DV25audioReshuffler reshuffler(DIO_Audio44100, DIO_PAL);
    EXPECT_TRUE(reshuffler.IsAudioLocked());
    ASSERT_EQ(reshuffler.ReShuffleAudio(frame.data(), 1, &first, rings.array()), 0);
    EXPECT_NE(Get16(frame.data(), DIO_PAL, 0, 0), 0);
    for (int n = 0; n < 1944; ++n) ASSERT_EQ(Get16(frame.data(), DIO_PAL, 1, n), 0);
    ASSERT_EQ(reshuffler.ReShuffleAudio(frame.data(), 0, &mask, nullptr), 0);
    for (int n = 0; n < 1944; ++n) ASSERT_EQ(Get16(frame.data(), DIO_PAL, 0, n), 0);
    EXPECT_EQ(Bytes(SourcePackOf(frame.data(), 0), 5), (std::vector<unsigned char>{0x50, 0x56, 0x00, 0xE0, 0xC8}));

    DV25audioReshuffler ntsc(DIO_Audio48000, DIO_NTSC);
    FrameBuffer other = BlackFrame(DIO_NTSC);
    ntsc.SetIsAudioLocked(false);
    EXPECT_FALSE(ntsc.IsAudioLocked());
    ASSERT_EQ(ntsc.ReShuffleAudio(other.data(), 1, &mask, nullptr), 0);
    EXPECT_EQ(SourcePackOf(other.data(), 0)[1], 0xD4);
    ntsc.SetIsAudioLocked(true);
    ASSERT_EQ(ntsc.ReShuffleAudio(other.data(), 1, &mask, nullptr), 0);
    EXPECT_EQ(SourcePackOf(other.data(), 0)[1], 0x54);
}

TEST(Reshuffle, RefusesMissingArgumentsAndFramesOfTheOtherStandard) {
    FrameBuffer ntsc = BlackFrame(DIO_NTSC);
    const std::vector<unsigned char> before = Bytes(ntsc.data(), kDVFrameSizePAL);
    BitMask mask = MaskOf({0, 1}, 2);
    DV25audioReshuffler pal(DIO_Audio48000, DIO_PAL), ntscWriter(DIO_Audio48000, DIO_NTSC);
    DV25audioReshuffler noRate(DIO_NoAudioFormat, DIO_NTSC), noStandard(DIO_Audio48000, DIO_NoVideoFormat);
    EXPECT_NE(pal.ReShuffleAudio(ntsc.data(), 1, &mask, nullptr), 0);
    EXPECT_NE(ntscWriter.ReShuffleAudio(nullptr, 1, &mask, nullptr), 0);
    EXPECT_NE(ntscWriter.ReShuffleAudio(ntsc.data(), 1, nullptr, nullptr), 0);
    EXPECT_NE(noRate.ReShuffleAudio(ntsc.data(), 1, &mask, nullptr), 0);
    EXPECT_NE(noStandard.ReShuffleAudio(ntsc.data(), 1, &mask, nullptr), 0);
    EXPECT_EQ(Bytes(ntsc.data(), kDVFrameSizePAL), before);
}

}  // namespace
