// Where delivery begins: a few frames after the start when the host gave no start
// timecode, exactly at the frame carrying the start timecode when it did, and what the
// host learns when the tape has passed the start or reaches it only by count.
#include "capture_fixture.h"
#include "host_taker.h"
#include "test_tapes.h"

#include "digitalio/DVFrame.h"
#include "sim/SimControl.h"

#include <memory>

namespace capture_test {
namespace {

constexpr LONG kNtscFrame = kDVFrameSizeNTSC;

class CaptureStart : public CaptureFixture {
protected:
    void SetUp() override {
        CaptureFixture::SetUp();
        FreezeClock();
        OpenSession();
    }

    // The video the host took is the tape's frames from `first` on, `count` of them.
    void ExpectTapeFrames(const std::vector<uint8_t>& taken, int64_t first, int64_t count) {
        ASSERT_EQ(taken.size(), static_cast<size_t>(count * kNtscFrame)) << "frames delivered";
        for (int64_t i = 0; i < count; ++i) {
            const Frame want = TapeFrame(first + i);
            ASSERT_TRUE(std::equal(want.begin(), want.end(), taken.begin() + i * kNtscFrame))
                << "delivered frame " << i << " is not tape position " << first + i;
        }
    }

    // The audio the host took is the tape's from `first` on.
    void ExpectTapeAudio(const std::vector<uint8_t>& taken, int64_t first, int64_t count) {
        std::vector<std::vector<int16_t>> want;
        for (int64_t p = first; p < first + count; ++p) AppendDeshuffled(TapeFrame(p), Channels(1, {0}), &want);
        ASSERT_EQ(want.size(), 1u);
        EXPECT_TRUE(Samples(taken) == want[0]) << Samples(taken).size() << " samples taken, " << want[0].size()
                                               << " expected";
    }
};

TEST_F(CaptureStart, WithoutStartTimecodeSixFramesAreDroppedOnceEveryPreparedStreamRuns) {
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK);
    SetUpVideoIn(24);
    SetUpAudioIn(Channels(2, {0}), 24 * 3888);
    ASSERT_EQ(device_->ArmVideoIn(), 1);
    ASSERT_EQ(device_->ArmAudioIn(), 1);
    ASSERT_EQ(device_->StartVideoIn(), 1);

    // VideoIn runs, AudioIn is prepared but not started: the capture has not begun.
    FeedFrames(10);
    EXPECT_EQ(device_->VideoInCurrentFrame(), 0);
    EXPECT_EQ(device_->GetVideoInRingBufferWritePosition(), 0u);
    EXPECT_EQ(device_->GetAudioInRingBufferWritePosition(0), 0u);

    // The host starts AudioIn while the thread waits for the next frame (position 110).
    // That frame sees the start and is not delivered; six more are dropped.
    ASSERT_TRUE(WaitForIdlePoll());
    ASSERT_EQ(device_->StartAudioIn(), 1);
    FeedFrames(20);
    StreamTaker video = StreamTaker::VideoIn(device_, 100000, 1);
    StreamTaker audio = StreamTaker::AudioIn(device_, 0, 1000, 2);
    video.TakeAvailable();
    audio.TakeAvailable();
    ExpectTapeFrames(video.Bytes(), 117, 13);
    ExpectTapeAudio(audio.Bytes(), 117, 13);
    EXPECT_EQ(device_->VideoInCurrentFrame(), 13);
    // The last completed measurement counts delivered frames and their samples since the start.
    LONG measurement[4] = {};
    ASSERT_EQ(device_->GetControl(kControlAudioMeasurement, measurement), 1);
    ASSERT_GE(measurement[0], 1);
    ASSERT_LE(measurement[0], 13);
    std::vector<std::vector<int16_t>> counted;
    for (int64_t p = 117; p < 117 + measurement[0]; ++p) AppendDeshuffled(TapeFrame(p), Channels(1, {0}), &counted);
    EXPECT_EQ(static_cast<size_t>(measurement[1]), counted[0].size());
    EXPECT_EQ(ControlLong(kControlStartMissed), 0);
}

TEST_F(CaptureStart, AudioAloneDropsFiveFramesAfterTheStart) {
    cardsim::ParkDeck(200, DDC_STATE_PLAYBACK);
    SetUpAudioIn(Channels(2, {0}), 24 * 3888);
    ASSERT_EQ(device_->ArmAudioIn(), 1);
    FeedFrames(4);
    EXPECT_EQ(device_->GetAudioInRingBufferWritePosition(0), 0u);

    ASSERT_TRUE(WaitForIdlePoll());
    ASSERT_EQ(device_->StartAudioIn(), 1);
    FeedFrames(16);  // positions 204 to 219
    StreamTaker audio = StreamTaker::AudioIn(device_, 0, 700, 3);
    audio.TakeAvailable();
    ExpectTapeAudio(audio.Bytes(), 210, 10);
}

TEST_F(CaptureStart, APreparedMonitorIsAVideoStreamTheCaptureWaitsFor) {
    cardsim::ParkDeck(300, DDC_STATE_PLAYBACK);
    SetUpVideoConfidence(24);
    SetUpAudioIn(Channels(2, {0}), 24 * 3888);
    ASSERT_EQ(device_->ArmVideoConfidence(), 1);
    ASSERT_EQ(device_->ArmAudioIn(), 1);
    ASSERT_EQ(device_->StartAudioIn(), 1);
    FeedFrames(8);
    EXPECT_EQ(device_->GetAudioInRingBufferWritePosition(0), 0u) << "VideoConfidence will run too";

    ASSERT_TRUE(WaitForIdlePoll());
    ASSERT_EQ(device_->StartVideoConfidence(), 1);
    FeedFrames(16);  // 308 sees the start, 309 to 314 dropped, 315 on delivered
    StreamTaker monitor = StreamTaker::VideoConfidence(device_, 100000, 8);
    StreamTaker audio = StreamTaker::AudioIn(device_, 0, 1000, 9);
    monitor.TakeAvailable();
    audio.TakeAvailable();
    ExpectTapeFrames(monitor.Bytes(), 315, 9);
    ExpectTapeAudio(audio.Bytes(), 315, 9);
}

TEST_F(CaptureStart, DeliveryBeginsExactlyAtTheFrameCarryingTheStartTimecode) {
    // The built-in tape's timecode is its position: the deck plays from ten frames before the start.
    cardsim::ParkDeck(1790, DDC_STATE_PLAYBACK);
    SetUpVideoIn(24);
    SetUpAudioIn(Channels(2, {0}), 24 * 3888);
    SetStartTimecode(1800);
    ASSERT_EQ(device_->ArmVideoIn(), 1);
    ASSERT_EQ(device_->ArmAudioIn(), 1);
    ASSERT_EQ(device_->StartVideoIn(), 1);
    ASSERT_EQ(device_->StartAudioIn(), 1);

    FeedFrames(10);
    EXPECT_EQ(device_->VideoInCurrentFrame(), 0) << "the ten frames before the start are taken and dropped";
    FeedFrames(15);
    StreamTaker video = StreamTaker::VideoIn(device_, 150000, 4);
    StreamTaker audio = StreamTaker::AudioIn(device_, 0, 3000, 5);
    video.TakeAvailable();
    audio.TakeAvailable();
    ExpectTapeFrames(video.Bytes(), 1800, 15);
    // The continuity check starts from the start timecode itself, so the start frame
    // reads as a repeat of it: its sound is the black frame's silence. The frames after
    // it carry their own.
    std::vector<std::vector<int16_t>> silence;
    DVFrame generator;
    std::unique_ptr<unsigned char[]> black(generator.GenBlackFrame(DIO_NTSC));
    AppendDeshuffled(Frame(black.get(), black.get() + kNtscFrame), Channels(1, {0}), &silence);
    ASSERT_EQ(silence.size(), 1u);
    ASSERT_GE(audio.Bytes().size(), 2 * silence[0].size());
    EXPECT_TRUE(Samples(std::vector<uint8_t>(audio.Bytes().begin(), audio.Bytes().begin() + 2 * silence[0].size())) ==
                silence[0]);
    ExpectTapeAudio(std::vector<uint8_t>(audio.Bytes().begin() + 2 * silence[0].size(), audio.Bytes().end()), 1801, 14);
    EXPECT_EQ(ControlLong(kControlStartMissed), 0);
}

TEST_F(CaptureStart, AStartTheTapeHasPassedIsReportedAndDeliveryWaitsUntilItComesBy) {
    cardsim::ParkDeck(1805, DDC_STATE_PLAYBACK);
    SetUpVideoIn(24);
    SetStartTimecode(1800);
    ASSERT_EQ(device_->ArmVideoIn(), 1);
    ASSERT_EQ(device_->StartVideoIn(), 1);

    // The first frame may arrive before the thread saw the streams start; by the second
    // the running capture has looked at a timecode past the start.
    FeedFrames(2);
    EXPECT_EQ(ControlLong(kControlStartMissed), 1) << "the tape is already past the start";
    FeedFrames(8);
    EXPECT_EQ(device_->VideoInCurrentFrame(), 0);

    // The deck goes back before the start: delivery begins with the start frame.
    cardsim::ParkDeck(1795, DDC_STATE_PLAYBACK);
    FeedFrames(12);
    StreamTaker video = StreamTaker::VideoIn(device_, 200000, 6);
    video.TakeAvailable();
    ExpectTapeFrames(video.Bytes(), 1800, 7);
    EXPECT_EQ(ControlLong(kControlStartMissed), 1) << "the miss stays reported for this capture";
}

TEST_F(CaptureStart, AStartReachedOnlyByCountIsConfirmedOrMarkedMissedByTheNextFrame) {
    // The frame at the start position carries a wrong timecode for one frame only:
    // the count finds the start there, and the next frame confirms it.
    cardsim::AddTimecodeBreak(1800, 40);
    cardsim::AddTimecodeBreak(1801, -40);
    cardsim::ParkDeck(1790, DDC_STATE_PLAYBACK);
    SetUpVideoIn(24);
    SetStartTimecode(1800);
    ASSERT_EQ(device_->ArmVideoIn(), 1);
    ASSERT_EQ(device_->StartVideoIn(), 1);
    FeedFrames(10);
    EXPECT_EQ(device_->VideoInCurrentFrame(), 0);
    FeedFrames(1);
    EXPECT_EQ(device_->VideoInCurrentFrame(), 1) << "delivery begins at the frame counted to be the start";
    FeedFrames(4);
    StreamTaker video = StreamTaker::VideoIn(device_, 200000, 7);
    video.TakeAvailable();
    ExpectTapeFrames(video.Bytes(), 1800, 5);
    EXPECT_EQ(ControlLong(kControlStartMissed), 0);
    ASSERT_EQ(device_->TerminateVideoIn(), 1);

    // Now the timecode jumps at the start position and stays off: the frame after the
    // counted start does not carry the start plus one.
    cardsim::ClearFaults();
    cardsim::AddTimecodeBreak(3800, 40);
    cardsim::ParkDeck(3790, DDC_STATE_PLAYBACK);
    SetUpVideoIn(24);
    SetStartTimecode(3800);
    ASSERT_EQ(device_->ArmVideoIn(), 1);
    ASSERT_EQ(device_->StartVideoIn(), 1);
    FeedFrames(11);
    EXPECT_EQ(device_->VideoInCurrentFrame(), 1);
    EXPECT_EQ(ControlLong(kControlStartMissed), 0) << "not decided before the next frame";
    FeedFrames(1);
    EXPECT_EQ(ControlLong(kControlStartMissed), 1);
    EXPECT_EQ(device_->VideoInCurrentFrame(), 2) << "a missed start does not stop delivery once it began";
}

}  // namespace
}  // namespace capture_test
