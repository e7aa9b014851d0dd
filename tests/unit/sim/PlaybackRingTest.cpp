// The card's playback ring on its own: slots reused round the ring, the frame on the
// output repeated unchanged, bounds kept. (The capture ring is covered through the
// card's calls in CaptureTest and DriverStateTest.)
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
