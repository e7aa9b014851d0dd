// Edit set-up: In, Out and preroll, the edit mode and delays, the edit status, and
// cueing the deck for an edit.
#include "DeckFixture.h"
#include "KDXCORE.h"
#include "KordexDDC.h"

namespace {

class EditSetupTest : public DeckFixture {};

TEST_F(EditSetupTest, InAndOutRoundTripThroughTheLibrary) {
    OpenSession();
    Trace(true);
    timecode_t point = Frames(0);
    // Never set: the library knows no point, and the host gets the empty timecode.
    EXPECT_EQ(device_->DeviceGetIn(&point), DDC_NoError);
    EXPECT_TRUE(TCIsEmpty(point));

    EXPECT_EQ(device_->DeviceSetIn(Tc(0, 0, 10, 0)), DDC_NoError);
    EXPECT_EQ(CallsTo("DevSetIn").back().arguments, (std::vector<int64_t>{0, 0, 10, 0}));
    EXPECT_EQ(Access::m_tcIn(*device_).frameCount, 300);
    EXPECT_EQ(device_->DeviceGetIn(&point), DDC_NoError);
    EXPECT_EQ(point.frameCount, 300);
    EXPECT_EQ(device_->DeviceSetOut(Tc(0, 0, 20, 0)), DDC_NoError);
    EXPECT_EQ(CallsTo("DevSetOut").back().arguments, (std::vector<int64_t>{0, 0, 20, 0}));
    EXPECT_EQ(device_->DeviceGetOut(&point), DDC_NoError);
    EXPECT_EQ(point.frameCount, 600);
    EXPECT_EQ(point.desc.dropFrame, 1u);

    // A refused In leaves the last one; a failed read leaves the output alone.
    cardsim::FailDeckCall("DevSetIn", DDC_CommandRejected, 1);
    EXPECT_EQ(device_->DeviceSetIn(Tc(0, 0, 30, 0)), DDC_CommandRejected);
    EXPECT_EQ(Access::m_tcIn(*device_).frameCount, 300);
    cardsim::FailDeckCall("DevGetOut", DDC_CommandTimeout, 1);
    point = Frames(42);
    EXPECT_EQ(device_->DeviceGetOut(&point), DDC_CommandTimeout);
    EXPECT_EQ(point.frameCount, 42);

    const std::vector<std::string> expected = {
        "DevGetIn -> --:--:--:--\n",
        "DevSetIn -> 00:00:10;00\n",
        "DevGetIn -> 00:00:10;00\n",
        "DevSetOut -> 00:00:20;00\n",
        "DevGetOut -> 00:00:20;00\n",
        "DevSetIn  error -> Command Rejected\n",
        "DevGetOut  error -> Command Timeout\n",
    };
    EXPECT_EQ(Lines(), expected);
    EXPECT_EQ(device_->DeviceGetIn(nullptr), DDC_InvalidParameter);
    EXPECT_EQ(device_->DeviceGetOut(nullptr), DDC_InvalidParameter);
}

TEST_F(EditSetupTest, PrerollModeDelaysAndTracksAreKeptByTheDevice) {
    timecode_t preroll = Frames(0);
    EXPECT_EQ(device_->DeviceSetPreroll(Frames(90)), DDC_NoError);
    EXPECT_EQ(device_->DeviceGetPreroll(&preroll), DDC_NoError);
    EXPECT_EQ(preroll.frameCount, 90);
    EXPECT_EQ(device_->DeviceGetPreroll(nullptr), DDC_InvalidParameter);

    DeviceEditMode_t mode = EditModeNone;
    EXPECT_EQ(device_->DeviceSetEditMode(EditModeSynchronisedStopDelay), DDC_NoError);
    EXPECT_EQ(device_->DeviceGetEditMode(&mode), DDC_NoError);
    EXPECT_EQ(mode, EditModeSynchronisedStopDelay);
    EXPECT_EQ(device_->DeviceSetEditMode(static_cast<DeviceEditMode_t>(7)), DDC_InvalidParameter);
    EXPECT_EQ(device_->DeviceGetEditMode(&mode), DDC_NoError);
    EXPECT_EQ(mode, EditModeSynchronisedStopDelay);
    EXPECT_EQ(device_->DeviceGetEditMode(nullptr), DDC_InvalidParameter);

    device_->DeviceSetRecordPlayDelay(4);
    device_->DeviceSetRecordStopDelay(6);
    EXPECT_EQ(Access::m_nRecordPlayDelay(*device_), 4);
    EXPECT_EQ(Access::m_nRecordStopDelay(*device_), 6);
    EXPECT_EQ(device_->DeviceSetEditMode(EditModeSynchronised), DDC_NoError);
    EXPECT_EQ(Access::m_nRecordPlayDelay(*device_), 4);
    EXPECT_EQ(device_->DeviceSetEditMode(EditModeNone), DDC_NoError);
    EXPECT_EQ(Access::m_nRecordPlayDelay(*device_), 0);
    EXPECT_EQ(Access::m_nRecordStopDelay(*device_), 0);

    EXPECT_EQ(device_->DeviceSetTracks(1, 3), DDC_NoError);
    EXPECT_TRUE(CardCalls().empty());
}

TEST_F(EditSetupTest, EditStatusReadsRecordingOnlyInAnEditMode) {
    OpenSession();
    DeviceEditStatus_t status = EditStatusRecording;
    cardsim::ParkDeck(100, DDC_STATE_RECORD);
    EXPECT_EQ(device_->DeviceGetEditStatus(&status), DDC_NoError);
    EXPECT_EQ(status, EditStatusIdle);
    EXPECT_TRUE(CallsTo("DevGetState").empty());  // no edit, no question

    device_->DeviceSetEditMode(EditModeSynchronised);
    EXPECT_EQ(device_->DeviceGetEditStatus(&status), DDC_NoError);
    EXPECT_EQ(status, EditStatusRecording);
    cardsim::ParkDeck(100, DDC_STATE_RECORD_PAUSE);
    EXPECT_EQ(device_->DeviceGetEditStatus(&status), DDC_NoError);
    EXPECT_EQ(status, EditStatusIdle);
    cardsim::SetStuckInTransition(true);
    status = EditStatusRecording;
    EXPECT_EQ(device_->DeviceGetEditStatus(&status), DDC_NoError);
    EXPECT_EQ(status, EditStatusIdle);
    EXPECT_EQ(device_->DeviceGetEditStatus(nullptr), DDC_InvalidParameter);
}

TEST_F(EditSetupTest, WithoutAnEditModeTheDeckCuesToThePrerollBeforeInAcrossMidnight) {
    // A tape whose timecode runs from 23:59:48;00 past midnight; position 300 shows
    // 23:59:59;00.
    cardsim::BuiltInTapeOptions tape;
    tape.firstFrameCount = 2589408 - 30 - 300;
    tape.materialFrames = 3000;
    cardsim::LoadBuiltInTape(tape);
    ASSERT_TRUE(cardsim::SetDeckOptions("nosmpte"));
    OpenSession();
    // Count at 30 frames a second without drop-frame.
    Access::m_tcDesc(*device_) = TCCreateDesc(0, 30);
    ASSERT_EQ(device_->DeviceSetIn(Tc(0, 0, 5, 0, false)), DDC_NoError);
    ASSERT_EQ(Access::m_tcIn(*device_).frameCount, 150);

    device_->DeviceSetPreroll(Frames(150, 30, false));
    Forget();
    EXPECT_EQ(device_->DeviceGotoPreroll(), DDC_NoError);
    ASSERT_FALSE(AVCRequests().empty());
    EXPECT_EQ(AVCRequests()[0], (std::vector<uint8_t>{0x00, 0x20, 0x51, 0x20, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_TRUE(WaitForDeck(DDC_STATE_PLAYBACK_PAUSE, 330));  // just after midnight

    device_->DeviceSetPreroll(Frames(180, 30, false));
    Forget();
    EXPECT_EQ(device_->DeviceGotoPreroll(), DDC_NoError);
    ASSERT_FALSE(AVCRequests().empty());
    EXPECT_EQ(AVCRequests()[0], (std::vector<uint8_t>{0x00, 0x20, 0x51, 0x20, 0x00, 0x59, 0x59, 0x23}));
    EXPECT_EQ(Lines(), std::vector<std::string>{"SeekToTimecodeWithTC -> 23:59:59:00\n"});
    EXPECT_TRUE(WaitForDeck(DDC_STATE_PLAYBACK_PAUSE, 300));
    EXPECT_EQ(Access::m_tcPreroll(*device_).frameCount, 180);  // kept without an edit mode
}

TEST_F(EditSetupTest, GotoPrerollNeedsInAndPrerollAndInAnEditModeCuesToInWithThePrerollZeroed) {
    OpenSession();
    EXPECT_EQ(device_->DeviceGotoPreroll(), DDC_NoTimecode);  // both empty after the session opened
    device_->DeviceSetPreroll(Frames(90));
    EXPECT_EQ(device_->DeviceGotoPreroll(), DDC_NoTimecode);
    ASSERT_EQ(device_->DeviceSetIn(Tc(0, 0, 10, 0)), DDC_NoError);
    device_->DeviceSetPreroll(Frames(kTCEmptyFrameCount));
    Forget();
    EXPECT_EQ(device_->DeviceGotoPreroll(), DDC_NoTimecode);
    EXPECT_TRUE(CardCalls().empty());

    device_->DeviceSetPreroll(Frames(90));
    device_->DeviceSetEditMode(EditModeSynchronised);
    Forget();
    EXPECT_EQ(device_->DeviceGotoPreroll(), DDC_NoError);
    EXPECT_EQ(AVCRequests(), (std::vector<std::vector<uint8_t>>{{0x00, 0x20, 0x51, 0x20, 0x00, 0x10, 0x00, 0x00}}));
    timecode_t preroll = Frames(5);
    device_->DeviceGetPreroll(&preroll);
    EXPECT_EQ(preroll.frameCount, 0);
    EXPECT_EQ(Access::m_bSeekPending(*device_), 1);
    EXPECT_TRUE(WaitForDeck(DDC_STATE_PLAYBACK_PAUSE, 300));
}

}  // namespace
