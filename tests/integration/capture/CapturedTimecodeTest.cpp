// Deck timecode queries while a capture runs: the timecode of the frame just taken
// answers them without asking the deck, but only while it is fresh; the deck's
// timecode description follows the drop-frame flag of the captured material.
#include "CaptureFixture.h"
#include "TestTapes.h"

#include "PluginTestAccess.h"
#include "sim/SimControl.h"

namespace capture_test {
namespace {

using Access = PluginTestAccess;

class CapturedTimecode : public CaptureFixture {
protected:
    void SetUp() override {
        CaptureFixture::SetUp();
        FreezeClock();
    }

    // VideoIn armed (its thread takes every frame, delivered or not).
    void ArmCapture(int64_t position) {
        OpenSession();
        cardsim::ParkDeck(position, DDC_STATE_PLAYBACK);
        Prepare(kVideoIn, 4);
        ASSERT_EQ(device_->ArmVideoIn(), 1);
    }

    // Feeds one frame and asks at once, until an answer comes from the capture (a
    // loaded machine may let 100 ms pass between the two). The capture's answer.
    bool AnswerFromCapture(timecode_t* timecode) {
        for (int attempt = 0; attempt < 20; ++attempt) {
            FeedFrames(1);
            if (device_->DeviceReceiveAsyncTC(timecode) == DDC_NoError) return true;
        }
        return false;
    }

    static std::string Text(const timecode_t& timecode) {
        char text[32];
        TCToStr(timecode, text, sizeof text, 16);
        return text;
    }
    // Trace lines saying the capture answered with `timecode`.
    size_t CaptureAnswers(const timecode_t& timecode) { return log_.Count("CaptureThreadTC -> " + Text(timecode) + "\n"); }
};

TEST_F(CapturedTimecode, AFreshCapturedTimecodeAnswersTheDeckQueries) {
    ArmCapture(1000);
    SetTrace(1);  // deck control
    timecode_t timecode{};
    ASSERT_TRUE(AnswerFromCapture(&timecode)) << "no capture answer within 20 frames";
    // The last frame taken was the newest on the card.
    const int64_t lastTaken = 1000 + cardsim::GetCardCounters().capturedFrames - 1;
    EXPECT_EQ(timecode.frameCount, lastTaken);
    EXPECT_EQ(timecode.desc.dropFrame & 1, 1u) << "the built-in tape runs drop-frame";
    EXPECT_EQ(CaptureAnswers(timecode), 1u);
    EXPECT_TRUE(CallsTo("DevReceiveAsyncTC").empty()) << "the deck was not asked";

    // Stale after 100 ms without a frame: the deck answers (here: nothing was asked of it).
    Sleep(150);
    timecode = timecode_t{};
    EXPECT_NE(device_->DeviceReceiveAsyncTC(&timecode), DDC_NoError);
    EXPECT_TRUE(TCIsEmpty(timecode));
    EXPECT_EQ(CallsTo("DevReceiveAsyncTC").size(), 1u);

    // The synchronous query behaves alike.
    log_.Clear();
    for (int attempt = 0; attempt < 20 && CaptureAnswers(timecode) == 0; ++attempt) {
        FeedFrames(1);
        ASSERT_EQ(device_->DeviceGetTimecode(&timecode), DDC_NoError);
    }
    EXPECT_EQ(timecode.frameCount, 1000 + cardsim::GetCardCounters().capturedFrames - 1);
    EXPECT_EQ(CaptureAnswers(timecode), 1u);

    // Without the thread nothing comes from the capture.
    ASSERT_EQ(device_->TerminateVideoIn(), 1);
    log_.Clear();
    EXPECT_NE(device_->DeviceReceiveAsyncTC(&timecode), DDC_NoError);
    EXPECT_EQ(CaptureAnswers(timecode), 0u);
}

TEST_F(CapturedTimecode, TheDeckDescriptionTakesTheDropFrameFlagOfTheMaterial) {
    // A tape whose 30-frame timecode does not drop frames.
    std::vector<Frame> frames;
    const timecodeDesc_t nonDrop = TCCreateDesc(0, 30);
    for (int i = 0; i < 60; ++i) {
        Frame frame = MakeFrame(DIO_NTSC, DIO_Audio48000, 2, i, kTCEmptyFrameCount, 40u + i);
        DV25Timecode writer;
        ASSERT_TRUE(writer.InsertTimecode(frame.data(), TCCreateDur(5000 + i, &nonDrop), DIO_NTSC, false));
        frames.push_back(frame);
    }
    TapeFile tape;
    ASSERT_TRUE(tape.Load(frames));
    ArmCapture(10);
    timecode_t timecode{};
    ASSERT_TRUE(AnswerFromCapture(&timecode));
    EXPECT_EQ(timecode.desc.dropFrame & 1, 0u);
    EXPECT_EQ(timecode.frameCount, 5000 + cardsim::GetCardCounters().capturedFrames + 9);
    EnterCriticalSection(&CDV1394::m_csCaptureThreadTimecode);
    EXPECT_EQ(Access::m_tcDesc(*device_).dropFrame & 1, 0u) << "the deck's description follows";
    LeaveCriticalSection(&CDV1394::m_csCaptureThreadTimecode);
    EXPECT_EQ(Text(timecode).find(';'), std::string::npos) << Text(timecode);
}

TEST_F(CapturedTimecode, AFrameWithoutTimecodeLeavesNoCapturedTimecode) {
    cardsim::RemoveSubcode(200, 100);
    ArmCapture(200);
    FeedFrames(3);
    timecode_t timecode{};
    EXPECT_NE(device_->DeviceReceiveAsyncTC(&timecode), DDC_NoError) << "the deck is asked instead";
    EXPECT_TRUE(TCIsEmpty(timecode));
    EXPECT_FALSE(Access::m_bTimecodeFromFrame(*device_).load());
}

}  // namespace
}  // namespace capture_test
