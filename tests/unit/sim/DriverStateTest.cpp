// The card driver: opening, its standard, the mode state machine and its refusals.
#include "SimTestSupport.h"

namespace simtest {
namespace {

using DriverStateTest = SimTest;

TEST_F(DriverStateTest, ClosedCardRefusesEveryCall) {
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
    EXPECT_FALSE(KDXClose(0));
    EXPECT_EQ(KDXGetLastError(), KDX_E_INVALID_STATE);
}

TEST_F(DriverStateTest, OpenChoosesOrKeepsTheStandard) {
    ASSERT_NE(KDXOpen(0, KDX_STANDARD_PAL, 0), 0);
    EXPECT_EQ(PdvGetAdjustment(PDV_ADJ_VIDEO_STANDARD) & 0xFFFF, PDV_VST_PAL);
    EXPECT_EQ(KDXOpen(0, KDX_STANDARD_NTSC, 0), 0) << "one instance only";
    EXPECT_EQ(KDXGetLastError(), KDX_E_ALLOWED_SINGLE_INSTANCE);
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

    EXPECT_EQ(KDXOpen(0, 3, 0), 0);
    EXPECT_EQ(KDXGetLastError(), KDX_E_INVALID_PARAMETER);
    EXPECT_FALSE(cardsim::GetCardStatus().open);
}

TEST_F(DriverStateTest, CaptureModeMovesOnlyAlongItsEdges) {
    OpenSession();
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_IDLE);
    EXPECT_FALSE(PdvStartCapture());
    EXPECT_EQ(KDXGetLastError(), KDX_E_INVALID_STATE);
    EXPECT_FALSE(PdvStopCapture());
    EXPECT_FALSE(PdvEndCapture());
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_IDLE);

    ASSERT_TRUE(PdvBeginCapture());
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_CAPTURE_OPEN);
    EXPECT_FALSE(PdvBeginCapture());
    EXPECT_FALSE(PdvBeginPlayback());
    EXPECT_FALSE(PdvStopCapture());
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_CAPTURE_OPEN);
    ASSERT_TRUE(PdvStartCapture());
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_CAPTURING);
    EXPECT_FALSE(PdvStartCapture());
    EXPECT_FALSE(PdvStopPlayback());
    EXPECT_FALSE(PdvPausePlayback(TRUE));
    ASSERT_TRUE(PdvStopCapture());
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_CAPTURE_OPEN);
    ASSERT_TRUE(PdvStartCapture());
    ASSERT_TRUE(PdvEndCapture());
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_IDLE);
}

TEST_F(DriverStateTest, PlaybackModeMovesOnlyAlongItsEdges) {
    OpenSession();
    EXPECT_FALSE(PdvStartPlayback());
    EXPECT_FALSE(PdvPausePlayback(TRUE));
    EXPECT_EQ(PdvGetPlaybackFrame(), -1);
    ASSERT_TRUE(PdvBeginPlayback2());
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_PLAYBACK_OPEN);
    EXPECT_EQ(PdvGetPlaybackFrame(), 0);
    EXPECT_TRUE(PdvPausePlayback(TRUE)) << "no change in 0x200";
    EXPECT_TRUE(PdvPausePlayback(FALSE));
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_PLAYBACK_OPEN);
    EXPECT_FALSE(PdvStopPlayback());
    EXPECT_FALSE(PdvBeginCapture());
    ASSERT_TRUE(PdvStartPlayback());
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_PLAYING);
    EXPECT_TRUE(PdvPausePlayback(FALSE)) << "no change in 0x201";
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_PLAYING);
    ASSERT_TRUE(PdvPausePlayback(TRUE));
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_PLAYBACK_PAUSED);
    EXPECT_TRUE(PdvPausePlayback(TRUE));
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_PLAYBACK_PAUSED);
    ASSERT_TRUE(PdvPausePlayback(FALSE));
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_PLAYING);
    ASSERT_TRUE(PdvStopPlayback());
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_PLAYBACK_OPEN);
    EXPECT_FALSE(PdvSyncRecNoParam()) << "the deck is not in record pause";
    EXPECT_EQ(KDXGetLastError(), KDX_E_DEV_REJECT_SRV);
    ASSERT_TRUE(PdvEndPlayback());
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_IDLE);
    EXPECT_EQ(PdvGetPlaybackFrame(), -1);
    EXPECT_FALSE(PdvSyncRecNoParam());
    EXPECT_EQ(KDXGetLastError(), KDX_E_INVALID_STATE);

    // Closing leaves any mode.
    ASSERT_TRUE(PdvBeginPlayback());
    ASSERT_TRUE(PdvStartPlayback());
    ASSERT_TRUE(KDXClose(0));
    ASSERT_NE(KDXOpen(0, 0, 0), 0);
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_IDLE);
}

TEST_F(DriverStateTest, OutputPinChannelAndPlayPauseMode) {
    OpenSession();
    LONG pin = 7;
    ASSERT_TRUE(KDXGetOutputPinState(&pin));
    EXPECT_EQ(pin, 1) << "on after open";
    ASSERT_TRUE(PdvBeginCapture());
    ASSERT_TRUE(KDXGetOutputPinState(&pin));
    EXPECT_EQ(pin, 0) << "off while capturing";
    ASSERT_TRUE(PdvEndCapture());
    ASSERT_TRUE(KDXGetOutputPinState(&pin));
    EXPECT_EQ(pin, 0) << "stays off after capture";
    const LONG channel = PdvGetInputChannel();
    EXPECT_EQ(channel, 63);
    ASSERT_TRUE(PdvSetInputChannel(channel));
    ASSERT_TRUE(KDXGetOutputPinState(&pin));
    EXPECT_EQ(pin, 1) << "re-selecting the channel switches the output on";
    EXPECT_FALSE(PdvSetInputChannel(64));
    EXPECT_EQ(KDXGetLastError(), KDX_E_INVALID_PARAMETER);
    EXPECT_FALSE(KDXGetOutputPinState(nullptr));
    EXPECT_EQ(KDXGetLastError(), KDX_E_INVALID_PARAMETER);

    EXPECT_EQ(KDXGetPlayPauseMode(), KDX_PLAYPAUSE_FRAME);
    ASSERT_TRUE(KDXSetPlayPauseMode(KDX_PLAYPAUSE_ODD));
    EXPECT_EQ(KDXGetPlayPauseMode(), KDX_PLAYPAUSE_ODD);
    EXPECT_FALSE(KDXSetPlayPauseMode(3));
    EXPECT_EQ(KDXGetPlayPauseMode(), KDX_PLAYPAUSE_ODD);
    ASSERT_TRUE(PdvBeginPlayback());
    EXPECT_FALSE(cardsim::GetCardStatus().playPauseModeApplied);
    ASSERT_TRUE(PdvEndPlayback());
    ASSERT_TRUE(PdvBeginPlayback2());
    EXPECT_TRUE(cardsim::GetCardStatus().playPauseModeApplied);
}

TEST_F(DriverStateTest, SyncRecordParametersAreStored) {
    EXPECT_FALSE(PdvSetSyncRecDelay(3)) << "closed";
    OpenSession();
    EXPECT_TRUE(PdvSetSyncRecDelay(3));
    EXPECT_TRUE(PdvSetSyncRecPauseFlying(-2));
    EXPECT_TRUE(PdvSetSyncRecNumFrames(300));
    const cardsim::CardStatus status = cardsim::GetCardStatus();
    EXPECT_EQ(status.syncRecDelay, 3);
    EXPECT_EQ(status.syncRecPauseFlying, -2);
    EXPECT_EQ(status.syncRecNumFrames, 300);
}

TEST_F(DriverStateTest, RingAccessOutsideItsWindowFails) {
    OpenSession();
    ASSERT_TRUE(PdvBeginPlayback());
    EXPECT_NE(PdvGetPlaybackFrameAddr(0), nullptr);
    EXPECT_NE(PdvGetPlaybackFrameAddr(PDV_RING_FRAMES - 1), nullptr);
    EXPECT_EQ(PdvGetPlaybackFrameAddr(PDV_RING_FRAMES), nullptr);
    EXPECT_EQ(KDXGetLastError(), KDX_E_INVALID_PARAMETER);
    EXPECT_EQ(PdvGetPlaybackFrameAddr(-1), nullptr);
    EXPECT_FALSE(PdvSetPlaybackFrame(PDV_RING_FRAMES + 1));
    EXPECT_TRUE(PdvSetPlaybackFrame(PDV_RING_FRAMES));
    EXPECT_FALSE(PdvSetPlaybackFrame(3)) << "forward only";
    EXPECT_EQ(PdvGetCapturedFrameAddr(0), nullptr) << "not in capture mode";
    EXPECT_EQ(KDXGetLastError(), KDX_E_INVALID_STATE);
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
