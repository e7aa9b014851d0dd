// The card driver: opening, its standard, the mode state machine and its refusals.
#include "SimTestSupport.h"

namespace simtest {
namespace {

using DriverStateTest = SimTest;

TEST_F(DriverStateTest, ClosedCardRefusesEveryCallAndOpenChoosesOrKeepsTheStandard) {
    EXPECT_EQ(PdvGetDriverState(), -1);
    EXPECT_EQ(KDXGetLastError(), KDX_E_INVALID_STATE);
    EXPECT_FALSE(PdvBeginCapture());
    EXPECT_FALSE(PdvBeginPlayback());
    EXPECT_EQ(PdvGetPlaybackFrame(), -1);
    EXPECT_EQ(PdvGetCapturedFrame(), -1);
    EXPECT_EQ(PdvGetCapturedFrameAddr(0), nullptr);
    EXPECT_EQ(PdvGetAdjustment(PDV_ADJ_VIDEO_STANDARD), -1);
    EXPECT_FALSE(PdvIsConnectedDV2());
    EXPECT_FALSE(PdvDeckControl(PDV_DECK_STILL));
    EXPECT_FALSE(PdvSetSyncRecDelay(3));
    EXPECT_CARD_ERROR(KDXClose(0), KDX_E_INVALID_STATE);

    ASSERT_NE(KDXOpen(0, KDX_STANDARD_PAL, 0), 0);
    EXPECT_EQ(PdvGetAdjustment(PDV_ADJ_VIDEO_STANDARD) & 0xFFFF, PDV_VST_PAL);
    EXPECT_CARD_ERROR(KDXOpen(0, KDX_STANDARD_NTSC, 0), KDX_E_ALLOWED_SINGLE_INSTANCE);  // one instance only
    ASSERT_TRUE(KDXClose(0));
    // Standard 0 keeps what the card was last set to.
    ASSERT_NE(KDXOpen(0, KDX_STANDARD_CURRENT, 0), 0);
    EXPECT_EQ(PdvGetAdjustment(PDV_ADJ_VIDEO_STANDARD) & 0xFFFF, PDV_VST_PAL);
    ASSERT_TRUE(KDXClose(0));
    cardsim::SetCardStandard(DIO_NTSC);
    ASSERT_NE(KDXOpen(0, KDX_STANDARD_CURRENT, 0), 0);
    EXPECT_EQ(PdvGetAdjustment(PDV_ADJ_VIDEO_STANDARD) & 0xFFFF, PDV_VST_NTSC);
    EXPECT_EQ(PdvGetAdjustment(0x999), -1);
    EXPECT_EQ(KDXGetLastError(), KDX_E_INVALID_PARAMETER);
    ASSERT_TRUE(KDXClose(0));
    EXPECT_CARD_ERROR(KDXOpen(0, 3, 0), KDX_E_INVALID_PARAMETER);
    EXPECT_FALSE(cardsim::GetCardStatus().open);
}

TEST_F(DriverStateTest, ModesMoveOnlyAlongTheirEdges) {
    OpenSession();
    EXPECT_STEP(PdvStartCapture(), false, PDV_STATE_IDLE);
    EXPECT_EQ(KDXGetLastError(), KDX_E_INVALID_STATE);
    EXPECT_STEP(PdvStopCapture(), false, PDV_STATE_IDLE);
    EXPECT_STEP(PdvEndCapture(), false, PDV_STATE_IDLE);
    EXPECT_STEP(PdvStartPlayback(), false, PDV_STATE_IDLE);
    EXPECT_STEP(PdvPausePlayback(TRUE), false, PDV_STATE_IDLE);
    EXPECT_EQ(PdvGetPlaybackFrame(), -1);

    EXPECT_STEP(PdvBeginCapture(), true, PDV_STATE_CAPTURE_OPEN);
    EXPECT_STEP(PdvBeginCapture(), false, PDV_STATE_CAPTURE_OPEN);
    EXPECT_STEP(PdvBeginPlayback(), false, PDV_STATE_CAPTURE_OPEN);
    EXPECT_STEP(PdvStopCapture(), false, PDV_STATE_CAPTURE_OPEN);
    EXPECT_STEP(PdvStartCapture(), true, PDV_STATE_CAPTURING);
    EXPECT_STEP(PdvStartCapture(), false, PDV_STATE_CAPTURING);
    EXPECT_STEP(PdvStopPlayback(), false, PDV_STATE_CAPTURING);
    EXPECT_STEP(PdvPausePlayback(TRUE), false, PDV_STATE_CAPTURING);
    EXPECT_STEP(PdvStopCapture(), true, PDV_STATE_CAPTURE_OPEN);
    EXPECT_STEP(PdvStartCapture(), true, PDV_STATE_CAPTURING);
    EXPECT_STEP(PdvEndCapture(), true, PDV_STATE_IDLE);

    EXPECT_STEP(PdvBeginPlayback2(), true, PDV_STATE_PLAYBACK_OPEN);
    EXPECT_EQ(PdvGetPlaybackFrame(), 0);
    EXPECT_STEP(PdvPausePlayback(TRUE), true, PDV_STATE_PLAYBACK_OPEN);  // no change in 0x200
    EXPECT_STEP(PdvPausePlayback(FALSE), true, PDV_STATE_PLAYBACK_OPEN);
    EXPECT_STEP(PdvStopPlayback(), false, PDV_STATE_PLAYBACK_OPEN);
    EXPECT_STEP(PdvBeginCapture(), false, PDV_STATE_PLAYBACK_OPEN);
    EXPECT_STEP(PdvStartPlayback(), true, PDV_STATE_PLAYING);
    EXPECT_STEP(PdvPausePlayback(FALSE), true, PDV_STATE_PLAYING);  // no change in 0x201
    EXPECT_STEP(PdvPausePlayback(TRUE), true, PDV_STATE_PLAYBACK_PAUSED);
    EXPECT_STEP(PdvPausePlayback(TRUE), true, PDV_STATE_PLAYBACK_PAUSED);
    EXPECT_STEP(PdvPausePlayback(FALSE), true, PDV_STATE_PLAYING);
    EXPECT_STEP(PdvStopPlayback(), true, PDV_STATE_PLAYBACK_OPEN);
    EXPECT_STEP(PdvSyncRecNoParam(), false, PDV_STATE_PLAYBACK_OPEN);  // the deck is not in record pause
    EXPECT_EQ(KDXGetLastError(), KDX_E_DEV_REJECT_SRV);
    EXPECT_STEP(PdvEndPlayback(), true, PDV_STATE_IDLE);
    EXPECT_EQ(PdvGetPlaybackFrame(), -1);
    EXPECT_CARD_ERROR(PdvSyncRecNoParam(), KDX_E_INVALID_STATE);

    // Closing leaves any mode.
    ASSERT_TRUE(PdvBeginPlayback());
    ASSERT_TRUE(PdvStartPlayback());
    ASSERT_TRUE(KDXClose(0));
    ASSERT_NE(KDXOpen(0, 0, 0), 0);
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_IDLE);
}

TEST_F(DriverStateTest, OutputPinChannelPlayPauseModeAndSyncRecordParameters) {
    OpenSession();
    LONG pin = 7;
    auto pinState = [&] {
        EXPECT_TRUE(KDXGetOutputPinState(&pin));
        return pin;
    };
    EXPECT_EQ(pinState(), 1) << "on after open";
    ASSERT_TRUE(PdvBeginCapture());
    EXPECT_EQ(pinState(), 0) << "off while capturing";
    ASSERT_TRUE(PdvEndCapture());
    EXPECT_EQ(pinState(), 0) << "stays off after capture";
    EXPECT_EQ(PdvGetInputChannel(), 63);
    ASSERT_TRUE(PdvSetInputChannel(63));
    EXPECT_EQ(pinState(), 1) << "re-selecting the channel switches the output on";
    EXPECT_CARD_ERROR(PdvSetInputChannel(64), KDX_E_INVALID_PARAMETER);
    EXPECT_CARD_ERROR(KDXGetOutputPinState(nullptr), KDX_E_INVALID_PARAMETER);

    EXPECT_EQ(KDXGetPlayPauseMode(), KDX_PLAYPAUSE_FRAME);
    ASSERT_TRUE(KDXSetPlayPauseMode(KDX_PLAYPAUSE_ODD));
    EXPECT_FALSE(KDXSetPlayPauseMode(3));
    EXPECT_EQ(KDXGetPlayPauseMode(), KDX_PLAYPAUSE_ODD);
    // Only the synchronised playback mode applies it.
    ASSERT_TRUE(PdvBeginPlayback());
    EXPECT_FALSE(cardsim::GetCardStatus().playPauseModeApplied);
    ASSERT_TRUE(PdvEndPlayback());
    ASSERT_TRUE(PdvBeginPlayback2());
    EXPECT_TRUE(cardsim::GetCardStatus().playPauseModeApplied);

    EXPECT_TRUE(PdvSetSyncRecDelay(3));
    EXPECT_TRUE(PdvSetSyncRecPauseFlying(-2));
    EXPECT_TRUE(PdvSetSyncRecNumFrames(300));
    const cardsim::CardStatus status = cardsim::GetCardStatus();
    EXPECT_EQ(std::vector<LONG>({status.syncRecDelay, status.syncRecPauseFlying, status.syncRecNumFrames}),
              std::vector<LONG>({3, -2, 300}));
}

TEST_F(DriverStateTest, RingAccessOutsideItsWindowFails) {
    OpenSession();
    ASSERT_TRUE(PdvBeginPlayback());
    EXPECT_NE(PdvGetPlaybackFrameAddr(0), nullptr);
    EXPECT_NE(PdvGetPlaybackFrameAddr(PDV_RING_FRAMES - 1), nullptr);
    EXPECT_CARD_ERROR(PdvGetPlaybackFrameAddr(PDV_RING_FRAMES), KDX_E_INVALID_PARAMETER);
    EXPECT_EQ(PdvGetPlaybackFrameAddr(-1), nullptr);
    EXPECT_FALSE(PdvSetPlaybackFrame(PDV_RING_FRAMES + 1));
    EXPECT_TRUE(PdvSetPlaybackFrame(PDV_RING_FRAMES));
    EXPECT_FALSE(PdvSetPlaybackFrame(3)) << "forward only";
    EXPECT_CARD_ERROR(PdvGetCapturedFrameAddr(0), KDX_E_INVALID_STATE);  // not in capture mode
    ASSERT_TRUE(PdvEndPlayback());

    ASSERT_TRUE(PdvBeginCapture());
    EXPECT_EQ(PdvGetCapturedFrame(), 0);
    EXPECT_EQ(PdvGetCapturedFrameAddr(0), nullptr) << "nothing captured yet";
    EXPECT_TRUE(PdvSetCapturedFrame(0));
    EXPECT_FALSE(PdvSetCapturedFrame(1)) << "never past the counter";
    EXPECT_EQ(PdvGetPlaybackFrameAddr(0), nullptr);
}

}  // namespace
}  // namespace simtest
