// The deck's timecode and frame rate as the host reads them: which query comes first,
// drop-frame following the deck, tapes without timecode and the asynchronous pair.
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
        unsigned char drop = 7;
        LONG rate = 0;
        EXPECT_EQ(device_->DeviceGetFrameRate(&drop, &rate), DDC_NoError);
        EXPECT_EQ(drop, c.drop);
        EXPECT_EQ(rate, c.rate);
        ASSERT_EQ(CallsTo("DevGetFrameRate").size(), 1u);
        EXPECT_EQ(CallsTo("DevGetFrameRate")[0].outputs, c.libraryAnswer);
        const std::vector<std::string> lines = Lines();
        ASSERT_GT(lines.size(), c.firstLines.size());
        EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + c.firstLines.size()), c.firstLines);
        EXPECT_EQ(lines.back(), "DevGetFrameRate  error -> No Error\n");
        EXPECT_EQ(CountAVC(0x59, 0x71), 1u) << "the SMPTE/EBU probe follows the rate";
        // Timecodes read afterwards count at the deck's rate.
        cardsim::ParkDeck(c.rate * 61 + 3, DDC_STATE_PLAYBACK_PAUSE);
        timecode_t tc = Frames(0);
        EXPECT_EQ(device_->DeviceGetTimecode(&tc), DDC_NoError);
        EXPECT_EQ(tc.frameCount, c.rate * 61 + 3);
        EXPECT_EQ(tc.desc.frameRate, static_cast<DWORD>(c.rate));
        EXPECT_EQ(tc.desc.dropFrame, c.drop);
    }
    EXPECT_EQ(device_->DeviceGetFrameRate(nullptr, nullptr), DDC_NoError);  // both outputs may be left out
}

TEST_F(DeckTimecodeTest, ADeckThatAnswersSMPTETimecodeIsAskedThatFirst) {
    // Opened over blank tape (FF bytes: no timecode here), the deck is still asked so.
    cardsim::ParkDeck(cardsim::TapeLength() - 10, DDC_STATE_PLAYBACK_PAUSE);
    OpenSession();
    timecode_t tc = Frames(0);
    EXPECT_EQ(device_->DeviceGetTimecode(&tc), DDC_NoTimecode);
    cardsim::ParkDeck(25, DDC_STATE_PLAYBACK_PAUSE);  // 00:00:00;25: frames byte 0x65
    Forget();
    EXPECT_EQ(device_->DeviceGetTimecode(&tc), DDC_NoError);
    EXPECT_EQ(tc.frameCount, 25);
    EXPECT_EQ(tc.desc.dropFrame, 1u);
    EXPECT_EQ(CardCalls(), std::vector<std::string>{"KDXSendGenericAVCCommand"});
    const std::vector<uint8_t> query = {0x01, 0x20, 0x59, 0x71, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(AVCRequests(), std::vector<std::vector<uint8_t>>{query});
    const cardsim::JournalEntry send = CallsTo("KDXSendGenericAVCCommand")[0];
    ASSERT_EQ(send.reply.size(), 8u);
    EXPECT_EQ(send.reply[4], 0x65);
    EXPECT_EQ(send.arguments, (std::vector<int64_t>{0, 0, 4, 8, 8, 1, 64, 1}));  // constants, buffer size
}

}  // namespace
