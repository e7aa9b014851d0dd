// The card's two rings on their own: slots reused round the ring, bounds kept.
#include "sim/CaptureRing.h"
#include "sim/PlaybackRing.h"

#include "KDXCORE.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> NtscHeaderFrame(uint8_t mark) {
    std::vector<uint8_t> frame(120000, mark);
    frame[0] = 0x1F;
    frame[1] = 0x07;
    frame[2] = 0x00;
    frame[3] = 0x3F;  // DIF header block, 525/60
    return frame;
}

TEST(CaptureRingTest, SlotsComeRoundAndFullRingDrops) {
    cardsim::CaptureRing ring;
    ring.Reset();
    for (int n = 0; n < 100; ++n) {
        uint8_t* slot = ring.BeginStore();
        ASSERT_NE(slot, nullptr) << n;
        std::memset(slot, n, 120000);
        ring.CommitStore(120000);
        ASSERT_EQ(ring.Address(n)[0], n);
        if (n >= 1) {
            ASSERT_TRUE(ring.Release(n));  // keep one frame held
        }
    }
    EXPECT_EQ(ring.Counter(), 100);
    EXPECT_EQ(ring.Address(98), nullptr) << "released";
    for (int n = 0; n < PDV_RING_FRAMES - 1; ++n) {
        ASSERT_NE(ring.BeginStore(), nullptr);
        ring.CommitStore(120000);
    }
    EXPECT_EQ(ring.BeginStore(), nullptr);
    EXPECT_EQ(ring.RingFullDrops(), 1u);
    EXPECT_EQ(ring.Address(99)[0], 99) << "a held frame is never overwritten";
    EXPECT_EQ(ring.Address(99 + PDV_RING_FRAMES), nullptr);
    EXPECT_FALSE(ring.Release(ring.Counter() + 1));
}

TEST(PlaybackRingTest, PlaysReadyFramesRoundTheRingAndRepeatsTheLast) {
    cardsim::PlaybackRing ring;
    ring.Reset();
    bool fresh = true;
    EXPECT_EQ(ring.PlayOne(&fresh), nullptr) << "nothing ever ready";
    EXPECT_FALSE(fresh);
    EXPECT_EQ(ring.Underruns(), 1u);
    for (LONG n = 0; n < 100; ++n) {
        BYTE* slot = ring.Address(n);
        ASSERT_NE(slot, nullptr) << n;
        const std::vector<uint8_t> frame = NtscHeaderFrame(static_cast<uint8_t>(n));
        std::memcpy(slot, frame.data(), frame.size());
        ASSERT_TRUE(ring.MarkReady(n + 1));
        const std::vector<uint8_t>* out = ring.PlayOne(&fresh);
        ASSERT_TRUE(fresh);
        ASSERT_EQ(*out, frame) << n;
    }
    EXPECT_EQ(ring.Played(), 100);
    EXPECT_EQ(ring.Address(99), nullptr) << "already played";
    EXPECT_NE(ring.Address(100 + PDV_RING_FRAMES - 1), nullptr);
    EXPECT_EQ(ring.Address(100 + PDV_RING_FRAMES), nullptr);
    EXPECT_FALSE(ring.MarkReady(100 + PDV_RING_FRAMES + 1));
    // Refilling the slot of the frame on the output does not change what is repeated.
    std::memset(ring.Address(100 + PDV_RING_FRAMES - 1), 0xAB, 1000);
    const std::vector<uint8_t>* repeat = ring.PlayOne(&fresh);
    EXPECT_FALSE(fresh);
    EXPECT_EQ(*repeat, NtscHeaderFrame(99));
    EXPECT_EQ(ring.Underruns(), 2u);
}

}  // namespace
