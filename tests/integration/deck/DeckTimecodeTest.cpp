// The deck's timecode and frame rate as the host reads them: which query comes first,
// drop-frame following the deck, tapes without timecode, the asynchronous pair and
// the timecode of captured frames.
#include "DeckFixture.h"
#include "KDXCORE.h"
#include "KordexDDC.h"

namespace {

class DeckTimecodeTest : public DeckFixture {};

TEST_F(DeckTimecodeTest, FrameRateIsThirtyDropFrameOnNTSCAndTwentyFiveOnPAL) {
    struct Case {
        DIO_VideoFormat standard;
        unsigned char drop;
        LONG rate;
        std::vector<int64_t> libraryAnswer;
        std::vector<std::string> firstLines;
    };
    const Case cases[] = {{DIO_NTSC, 1, 30, {1, 2997}, {"DROP FRAME ", "30 fps\n"}},
                          {DIO_PAL, 0, 25, {0, 2500}, {"25 fps\n"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        Restart();
        cardsim::BuiltInTapeOptions tape;
        tape.standard = c.standard;
        tape.materialFrames = 3000;
        cardsim::LoadBuiltInTape(tape);
        OpenSession();
        Trace(true);
        Access::m_nTCFrameRate(*device_) = 0;
        Access::m_bTCDropFrame(*device_) = 7;
        unsigned char drop = 7;
        LONG rate = 0;
        EXPECT_EQ(device_->DeviceGetFrameRate(&drop, &rate), DDC_NoError);
        EXPECT_EQ(drop, c.drop);
        EXPECT_EQ(rate, c.rate);
        EXPECT_EQ(Access::m_nTCFrameRate(*device_), c.rate);
        EXPECT_EQ(Access::m_bTCDropFrame(*device_), c.drop);
        EXPECT_EQ(Access::m_tcDesc(*device_).dropFrame, c.drop);
        EXPECT_EQ(Access::m_tcDesc(*device_).frameRate, static_cast<DWORD>(c.rate));
        ASSERT_EQ(CallsTo("DevGetFrameRate").size(), 1u);
        EXPECT_EQ(CallsTo("DevGetFrameRate")[0].outputs, c.libraryAnswer);
        const std::vector<std::string> lines = Lines();
        ASSERT_GT(lines.size(), c.firstLines.size());
        EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + c.firstLines.size()), c.firstLines);
        EXPECT_EQ(lines.back(), "DevGetFrameRate  error -> No Error\n");
        // The SMPTE/EBU probe follows the rate, whatever it finds.
        EXPECT_EQ(CountAVC(0x59, 0x71), 1u);
        EXPECT_EQ(Access::m_bHasSMPTETimecode(*device_), 1);
        // Timecodes read afterwards count at the deck's rate.
        cardsim::ParkDeck(c.rate * 61 + 3, DDC_STATE_PLAYBACK_PAUSE);
        timecode_t tc = Frames(0);
        EXPECT_EQ(device_->DeviceGetTimecode(&tc), DDC_NoError);
        EXPECT_EQ(tc.frameCount, c.rate * 61 + 3);
        EXPECT_EQ(tc.desc.frameRate, static_cast<DWORD>(c.rate));
    }
    // Both outputs may be left out.
    EXPECT_EQ(device_->DeviceGetFrameRate(nullptr, nullptr), DDC_NoError);
}

TEST_F(DeckTimecodeTest, FrameRateWithoutASessionStillProbesAndAnswersDriverError) {
    cardsim::FailDriverOpen(KDX_E_NO_DVKORDEX);
    unsigned char drop = 7;
    LONG rate = 9;
    Access::m_bHasSMPTETimecode(*device_) = 1;
    EXPECT_EQ(device_->DeviceGetFrameRate(&drop, &rate), DDC_DriverError);
    EXPECT_EQ(drop, 7);
    EXPECT_EQ(rate, 9);
    EXPECT_EQ(Access::m_bHasSMPTETimecode(*device_), 0);
    EXPECT_TRUE(CallsTo("DevGetFrameRate").empty());
}

TEST_F(DeckTimecodeTest, ADeckThatAnswersSMPTETimecodeIsAskedThatFirst) {
    OpenSession();
    cardsim::ParkDeck(25, DDC_STATE_PLAYBACK_PAUSE);  // 00:00:00;25: frames byte 0x65
    Forget();
    // A description that went astray is put right by the deck's drop-frame bit.
    Access::m_tcDesc(*device_).dropFrame = 0;
    timecode_t tc = Frames(0);
    EXPECT_EQ(device_->DeviceGetTimecode(&tc), DDC_NoError);
    EXPECT_EQ(tc.frameCount, 25);
    EXPECT_EQ(tc.desc.dropFrame, 1u);
    EXPECT_EQ(Access::m_tcDesc(*device_).dropFrame, 1u);
    EXPECT_EQ(CardCalls(), std::vector<std::string>{"KDXSendGenericAVCCommand"});
    const std::vector<uint8_t> query = {0x01, 0x20, 0x59, 0x71, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(AVCRequests(), std::vector<std::vector<uint8_t>>{query});
    ASSERT_EQ(CallsTo("KDXSendGenericAVCCommand")[0].reply.size(), 8u);
    EXPECT_EQ(CallsTo("KDXSendGenericAVCCommand")[0].reply[4], 0x65);
    // The call's constant arguments and the buffer size.
    EXPECT_EQ(CallsTo("KDXSendGenericAVCCommand")[0].arguments, (std::vector<int64_t>{0, 0, 4, 8, 8, 1, 64, 1}));
}

TEST_F(DeckTimecodeTest, ADeckWithoutSMPTETimecodeIsAskedThroughTheLibrary) {
    cardsim::SetDeckOptions("nosmpte");
    OpenSession();
    EXPECT_EQ(Access::m_bHasSMPTETimecode(*device_), 0);
    cardsim::ParkDeck(1234, DDC_STATE_PLAYBACK_PAUSE);
    Forget();
    Trace(true);
    timecode_t tc = Frames(0);
    EXPECT_EQ(device_->DeviceGetTimecode(&tc), DDC_NoError);
    EXPECT_EQ(tc.frameCount, 1234);
    EXPECT_EQ(CardCalls(), std::vector<std::string>{"DevGetTimecode"});
    EXPECT_EQ(CallsTo("DevGetTimecode")[0].arguments.back(), 100);
    char text[32];
    TCToStr(tc, text, sizeof text, 16);
    EXPECT_EQ(Lines(), std::vector<std::string>{std::string("DevGetTimecode -> ") + text + "\n"});

    cardsim::FailDeckCall("DevGetTimecode", DDC_CommandTimeout, 1);
    EXPECT_EQ(device_->DeviceGetTimecode(&tc), DDC_CommandTimeout);
    EXPECT_TRUE(TCIsEmpty(tc));
    EXPECT_EQ(Lines().back(), "DevGetTimecode  error -> Command Timeout\n");
    EXPECT_EQ(device_->DeviceGetTimecode(nullptr), DDC_InvalidParameter);
}

TEST_F(DeckTimecodeTest, TapeWithoutTimecodeOrNoTapeGivesNoTimecode) {
    OpenSession();
    Trace(true);
    auto expectNoTimecode = [&] {
        timecode_t tc = Frames(5);
        log_.Clear();
        EXPECT_EQ(device_->DeviceGetTimecode(&tc), DDC_NoTimecode);
        EXPECT_TRUE(TCIsEmpty(tc));
        EXPECT_EQ(Lines().back(), "DevGetTimecode -> NO TIMECODE\n");
    };
    // Blank tape after the material: the deck has no time code to report.
    cardsim::ParkDeck(cardsim::TapeLength() - 10, DDC_STATE_PLAYBACK_PAUSE);
    ASSERT_TRUE(cardsim::IsTapeBlank(cardsim::TapeLength() - 10));
    expectNoTimecode();
    // Recorded frames without subcode.
    cardsim::RemoveSubcode(400, 10);
    cardsim::ParkDeck(405, DDC_STATE_PLAYBACK_PAUSE);
    expectNoTimecode();
    // No cassette: "Tape Ejected" reads as "No Timecode".
    cardsim::EjectTape();
    expectNoTimecode();
    EXPECT_EQ(CallsTo("DevGetTimecode").back().result, DDC_TapeEjected);
}

TEST_F(DeckTimecodeTest, TheAsynchronousPairReceivesWhatTheDeckShowedWhenAsked) {
    OpenSession();
    cardsim::UseManualClock(true);
    cardsim::ParkDeck(300, DDC_STATE_PLAYBACK_PAUSE);
    Trace(true);
    timecode_t tc = Frames(5);
    EXPECT_EQ(device_->DeviceAskForTCAsync(), DDC_NoError);
    EXPECT_EQ(device_->DeviceReceiveAsyncTC(&tc), DDC_CommandPending);
    EXPECT_TRUE(TCIsEmpty(tc));
    cardsim::ParkDeck(900, DDC_STATE_PLAYBACK_PAUSE);
    cardsim::AdvanceClock(50000);
    EXPECT_EQ(device_->DeviceReceiveAsyncTC(&tc), DDC_NoError);
    EXPECT_EQ(tc.frameCount, 300);

    // Asked over blank tape: the fields come back unknown.
    cardsim::ParkDeck(cardsim::TapeLength() - 1, DDC_STATE_PLAYBACK_PAUSE);
    EXPECT_EQ(device_->DeviceAskForTCAsync(), DDC_NoError);
    cardsim::AdvanceClock(50000);
    EXPECT_EQ(device_->DeviceReceiveAsyncTC(&tc), DDC_NoTimecode);
    EXPECT_TRUE(TCIsEmpty(tc));
    // Asked without a cassette: "Tape Ejected" is passed on as it is.
    cardsim::EjectTape();
    EXPECT_EQ(device_->DeviceAskForTCAsync(), DDC_NoError);
    cardsim::AdvanceClock(50000);
    EXPECT_EQ(device_->DeviceReceiveAsyncTC(&tc), DDC_TapeEjected);
    EXPECT_EQ(device_->DeviceAskForTCAsync(), DDC_NoError);
    device_->DeviceCancelAsyncTC();
    EXPECT_EQ(device_->DeviceReceiveAsyncTC(&tc), DDC_CommandRejected);

    const std::vector<std::string> expected = {
        "DevAskForTCAsync  error -> No Error\n",
        "DevReceiveAsyncTC  error -> Command Pending\n",
        "DevReceiveAsyncTC -> 00:00:10;00\n",
        "DevAskForTCAsync  error -> No Error\n",
        "DevReceiveAsyncTC -> NO TIMECODE\n",
        "DevAskForTCAsync  error -> No Error\n",
        "DevReceiveAsyncTC  error -> Tape Ejected\n",
        "DevAskForTCAsync  error -> No Error\n",
        "DevCancelAsyncTCRequest  error -> No Error\n",
        "DevReceiveAsyncTC  error -> Command Rejected\n",
    };
    EXPECT_EQ(Lines(), expected);
    EXPECT_EQ(device_->DeviceReceiveAsyncTC(nullptr), DDC_InvalidParameter);
    cardsim::UseManualClock(false);
}

TEST_F(DeckTimecodeTest, WhileFramesArriveTheirTimecodeIsTheAnswer) {
    OpenSession();
    cardsim::ParkDeck(600, DDC_STATE_PLAYBACK_PAUSE);
    const timecode_t captured = Tc(0, 1, 2, 3);
    Access::m_tcCurrent(*device_) = captured;
    Access::m_bTimecodeFromFrame(*device_) = true;
    Access::m_dwLastTCTick(*device_) = GetTickCount();
    Access::m_bCaptureThreadRunning(*device_) = true;  // no thread: only what it leaves behind
    Forget();
    timecode_t tc = Frames(0);
    EXPECT_EQ(device_->DeviceGetTimecode(&tc), DDC_NoError);
    EXPECT_EQ(tc.frameCount, captured.frameCount);
    Access::m_dwLastTCTick(*device_) = GetTickCount();
    EXPECT_EQ(device_->DeviceReceiveAsyncTC(&tc), DDC_NoError);  // nothing was asked of the deck
    EXPECT_EQ(tc.frameCount, captured.frameCount);
    EXPECT_TRUE(CardCalls().empty());

    // A captured timecode 150 ms old is stale: the deck answers.
    Access::m_dwLastTCTick(*device_) = GetTickCount() - 150;
    EXPECT_EQ(device_->DeviceGetTimecode(&tc), DDC_NoError);
    EXPECT_EQ(tc.frameCount, 600);
    EXPECT_FALSE(CardCalls().empty());
    Access::m_bCaptureThreadRunning(*device_) = false;
}

}  // namespace

// FF bytes answer "no timecode here": a session opened on blank tape still asks the
// SMPTE/EBU query first once the tape under the head carries timecode.
TEST_F(DeckTimecodeTest, ASessionOpenedOnBlankTapeStillAsksTheSMPTEQuery) {
    cardsim::ParkDeck(cardsim::TapeLength() - 10, DDC_STATE_PLAYBACK_PAUSE);
    OpenSession();
    EXPECT_EQ(Access::m_bHasSMPTETimecode(*device_), 1);
    timecode_t tc = Frames(0);
    EXPECT_EQ(device_->DeviceGetTimecode(&tc), DDC_NoTimecode);
    cardsim::ParkDeck(1234, DDC_STATE_PLAYBACK_PAUSE);
    Forget();
    EXPECT_EQ(device_->DeviceGetTimecode(&tc), DDC_NoError);
    EXPECT_EQ(tc.frameCount, 1234);
    EXPECT_EQ(CardCalls(), std::vector<std::string>{"KDXSendGenericAVCCommand"});
    EXPECT_EQ(CountAVC(0x59, 0x71), 1u);
}
