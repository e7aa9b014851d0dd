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
