// Audio into and out of DV25 frames is all or nothing: a channel short of samples or
// of room, a missing ring or argument, or a frame of the other standard changes
// nothing.
#include "Dv25TestSupport.h"

#include "digitalio/DV25audioDeshuffler.h"
#include "digitalio/DV25audioReshuffler.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace dv25test;

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
    EXPECT_EQ(rings[1].fifo()->GetQDepth(), 0u);
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

}  // namespace
