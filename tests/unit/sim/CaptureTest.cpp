// Capture: the card's ring fills from the deck at the material's frame rate.
#include "SimTestSupport.h"

namespace simtest {
namespace {

class CaptureTest : public SimTest {
protected:
    std::vector<uint8_t> Captured(LONG index) {
        BYTE* slot = PdvGetCapturedFrameAddr(index);
        EXPECT_NE(slot, nullptr) << "captured frame " << index;
        if (slot == nullptr) return {};
        const size_t size = (slot[3] & 0x80) != 0 ? kDVFrameSizePAL : kDVFrameSizeNTSC;
        return std::vector<uint8_t>(slot, slot + size);
    }
};

TEST_F(CaptureTest, RingFillsWithWhatTheDeckShows) {
    OpenSession();
    StartCapture();
    // Stopped, winding or on blank tape: no pictures.
    AdvancePeriods(5);
    EXPECT_EQ(PdvGetCapturedFrame(), 0) << "stopped";
    cardsim::ParkDeck(10, DDC_STATE_FAST_FORWARD);
    AdvancePeriods(5);
    EXPECT_EQ(PdvGetCapturedFrame(), 0) << "winding";
    EXPECT_EQ(cardsim::GetDeckStatus().position, 10 + 5 * cardsim::GetDeckModel().windSpeed);
    const int64_t blank = cardsim::TapeLength() - 100;
    ASSERT_TRUE(cardsim::IsTapeBlank(blank));
    cardsim::ParkDeck(blank, DDC_STATE_PLAYBACK);
    AdvancePeriods(5);
    EXPECT_EQ(PdvGetCapturedFrame(), 0) << "blank tape";
    EXPECT_EQ(cardsim::GetCardCounters().framesArrived, 0u);

    // Playing: the tape's frames in order, each carrying its position's timecode label.
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK);
    AdvancePeriods(10);
    ASSERT_EQ(PdvGetCapturedFrame(), 10);
    for (LONG i = 0; i < 10; ++i) EXPECT_EQ(Captured(i), TapeAt(100 + i)) << "frame " << i;
    EXPECT_EQ(FrameLabel(Captured(3).data()), DropFrameLabel(103));
    EXPECT_EQ(cardsim::GetDeckStatus().position, 110);
    // Released frames go back to the card.
    ASSERT_TRUE(PdvSetCapturedFrame(6));
    EXPECT_EQ(PdvGetCapturedFrameAddr(5), nullptr);
    EXPECT_NE(PdvGetCapturedFrameAddr(6), nullptr);
    EXPECT_FALSE(PdvSetCapturedFrame(4)) << "release moves forward only";
    ASSERT_TRUE(PdvSetCapturedFrame(10));

    // Pause repeats the still; at 1/10 speed each tape frame shows for ten periods.
    cardsim::ParkDeck(50, DDC_STATE_PLAYBACK_PAUSE);
    AdvancePeriods(5);
    ASSERT_EQ(PdvGetCapturedFrame(), 15);
    for (LONG i = 10; i < 15; ++i) EXPECT_EQ(Captured(i), TapeAt(50));
    ASSERT_TRUE(PdvSetCapturedFrame(15));
    cardsim::ParkDeck(60, DDC_STATE_1_10);
    AdvancePeriods(20);
    ASSERT_EQ(PdvGetCapturedFrame(), 35);
    for (LONG i = 0; i < 20; ++i) EXPECT_EQ(Captured(15 + i), TapeAt(60 + i / 10)) << "frame " << i;
}

TEST_F(CaptureTest, AFullRingDropsAndCountsFrames) {
    OpenSession();
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK);
    StartCapture();
    AdvancePeriods(40);
    EXPECT_EQ(PdvGetCapturedFrame(), PDV_RING_FRAMES);
    EXPECT_EQ(cardsim::GetCardCounters().framesArrived, 40u);
    EXPECT_EQ(cardsim::GetCardCounters().ringFullDrops, 40u - PDV_RING_FRAMES);
    EXPECT_EQ(Captured(PDV_RING_FRAMES - 1), TapeAt(100 + PDV_RING_FRAMES - 1));

    // Room again: the next frame is the one the deck shows now, not a dropped one.
    ASSERT_TRUE(PdvSetCapturedFrame(10));
    AdvancePeriods(3);
    EXPECT_EQ(PdvGetCapturedFrame(), PDV_RING_FRAMES + 3);
    EXPECT_EQ(Captured(PDV_RING_FRAMES), TapeAt(140));
    EXPECT_EQ(Captured(PDV_RING_FRAMES + 2), TapeAt(142));
    EXPECT_EQ(Captured(PDV_RING_FRAMES - 1), TapeAt(100 + PDV_RING_FRAMES - 1)) << "a held frame is never overwritten";

    // Stopping keeps the counter; beginning again starts it from 0.
    ASSERT_TRUE(PdvStopCapture());
    AdvancePeriods(3);
    EXPECT_EQ(PdvGetCapturedFrame(), PDV_RING_FRAMES + 3);
    ASSERT_TRUE(PdvEndCapture());
    StartCapture();
    EXPECT_EQ(PdvGetCapturedFrame(), 0);
    EXPECT_EQ(cardsim::GetCardCounters().ringFullDrops, 0u);
}

TEST_F(CaptureTest, MaterialOfBothStandardsIsCapturedAtItsOwnRate) {
    cardsim::BuiltInTapeOptions options;
    options.standard = DIO_PAL;
    options.materialFrames = 100;
    options.formatSwitchAt = 20;  // NTSC from position 20 on
    cardsim::LoadBuiltInTape(options, 15);
    OpenSession(KDX_STANDARD_PAL);
    cardsim::ParkDeck(15, DDC_STATE_PLAYBACK);
    StartCapture();
    AdvancePeriods(5, DIO_PAL);
    ASSERT_EQ(PdvGetCapturedFrame(), 5);
    EXPECT_EQ(Captured(4).size(), kDVFrameSizePAL);
    // From the switch on, frame periods are 525/60 ones, counted from that moment.
    cardsim::AdvanceClock(3 * 33367);
    ASSERT_EQ(PdvGetCapturedFrame(), 8);
    EXPECT_EQ(Captured(5), TapeAt(20));
    EXPECT_EQ(Captured(5).size(), kDVFrameSizeNTSC);
    // The slot of a smaller frame holds nothing of an older frame after it.
    BYTE* slot = PdvGetCapturedFrameAddr(5);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(slot + kDVFrameSizeNTSC, slot + kDVFrameSizePAL),
              std::vector<uint8_t>(kDVFrameSizePAL - kDVFrameSizeNTSC, 0));
}

}  // namespace
}  // namespace simtest
