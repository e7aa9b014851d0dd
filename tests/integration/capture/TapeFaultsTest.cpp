// What odd tapes do to a capture: timecode jumps and dropouts in the break record,
// a paused deck's repeated frames turned into silence, and a frame without readable
// audio data, announced to the host as a break exactly where it happens.
#include "CaptureFixture.h"
#include "HostTaker.h"
#include "TestTapes.h"

#include "sim/SimControl.h"

namespace capture_test {
namespace {

constexpr LONG kNtscFrame = kDVFrameSizeNTSC;
// Streams started before the first frame: the first seven frames are dropped.
constexpr int64_t kDropped = 7;
const BitMask kStereo = Channels(2, {0, 1});

class TapeFaults : public CaptureFixture {
protected:
    void SetUp() override {
        CaptureFixture::SetUp();
        cardsim::UseManualClock(true);  // frames arrive only through PassFrames
    }

    // Every input stream (AudioIn on channels 0 and 1) running with the deck playing
    // from `position`.
    void StartCapture(int64_t position) {
        OpenSession();
        cardsim::ParkDeck(position, DDC_STATE_PLAYBACK);
        Prepare(kAllStreams, 40);
        Do({Step::Arm, Step::Start}, kAllStreams);
    }
};

TEST_F(TapeFaults, TimecodeJumpsRecordABreakOnlyBetweenTwoJumpedTimecodes) {
    // Positions 400 on read 500 frames later: the material runs on from there, no
    // break. Then 410 reads 1410 (a jump), and 411 1811 (another): the break lies
    // between the two jumped timecodes; the material runs on normally afterwards.
    // Just before the first jump the card drops position 398: one skipped frame is
    // no jump, so the jump after it starts no break either.
    cardsim::AddTimecodeBreak(400, 500);
    cardsim::AddTimecodeBreak(410, 500);
    cardsim::AddTimecodeBreak(411, 400);
    cardsim::DropCapturedFrames(18, 1);  // card arrivals count from 0 at position 380
    StartCapture(380);
    FeedFrames(25);
    EXPECT_EQ(device_->VideoInCurrentFrame(), 24 - kDropped);
    EXPECT_EQ(BreakRecord().nCount, 0);
    FeedFrames(15);
    const TimecodeDiscontinuity record = BreakRecord();
    EXPECT_EQ(record.nCount, 1);
    EXPECT_EQ(record.tcBefore.frameCount, 1410);
    EXPECT_EQ(record.tcAfter.frameCount, 1811);
    EXPECT_EQ(record.tcAfter.desc.frameRate, 30u);
}

TEST_F(TapeFaults, FramesWithoutTimecodeRecordABreakFromTheSecondOfARun) {
    cardsim::RemoveSubcode(520, 3);
    StartCapture(500);
    FeedFrames(19);  // up to position 518
    EXPECT_EQ(BreakRecord().nCount, 0);
    FeedFrames(2);  // 519 and the first frame without timecode
    EXPECT_EQ(BreakRecord().nCount, 0) << "one frame without timecode may be a dropout";
    FeedFrames(1);
    const TimecodeDiscontinuity record = BreakRecord();
    EXPECT_EQ(record.nCount, 1);
    EXPECT_EQ(record.tcBefore.frameCount, 519) << "the last timecode before the run";
    EXPECT_TRUE(TCIsEmpty(record.tcAfter));
    FeedFrames(1);
    EXPECT_EQ(BreakRecord().nCount, 2);
    FeedFrames(10);
    EXPECT_EQ(BreakRecord().nCount, 2) << "the timecode resumes without a further break";
    // The frames themselves were delivered whole.
    EXPECT_EQ(device_->VideoInCurrentFrame(), 33 - kDropped);
}

TEST_F(TapeFaults, APausedDecksRepeatedFramesReachTheAudioChannelsAsSilence) {
    StartCapture(300);
    FeedFrames(15);  // 300 to 314; 307 on delivered
    cardsim::ParkDeck(315, DDC_STATE_PLAYBACK_PAUSE);
    FeedFrames(5);  // the still of 315, five times
    cardsim::ParkDeck(316, DDC_STATE_PLAYBACK);
    FeedFrames(5);  // 316 to 320

    const StreamTaker video = StreamTaker::VideoIn(device_, 90000, 1).Take();
    const StreamTaker left = StreamTaker::AudioIn(device_, 0, 1111, 2).Take();
    const StreamTaker right = StreamTaker::AudioIn(device_, 1, 2222, 3).Take();
    std::vector<int64_t> shown = Span(307, 9);
    shown.insert(shown.end(), 4, 315);
    for (int64_t p : Span(316, 5)) shown.push_back(p);
    // The picture repeats; the sound of a repeat is the black frame's silence.
    std::vector<Frame> heard;
    for (size_t i = 0; i < shown.size(); ++i)
        heard.push_back(i > 0 && shown[i] == shown[i - 1] ? BlackFrame(DIO_NTSC) : TapeFrame(shown[i]));
    const std::vector<uint8_t> frames = TapeBytes(shown);
    const std::vector<std::vector<int16_t>> sound = Deshuffled(heard, kStereo);
    EXPECT_TRUE(video.Bytes() == frames) << "video differs in frame " << FirstDifference(video.Bytes(), frames) / kNtscFrame;
    EXPECT_TRUE(left.Samples() == sound[0]) << "left differs at sample " << FirstDifference(left.Samples(), sound[0]);
    EXPECT_TRUE(right.Samples() == sound[1]) << "right differs at sample " << FirstDifference(right.Samples(), sound[1]);
    EXPECT_EQ(BreakRecord().nCount, 0) << "a still is no break";
}

TEST_F(TapeFaults, AFrameWithoutReadableAudioDataReachesOnlyTheMonitorAndTheNextFrameIsMarkedAsABreak) {
    // Card arrivals are counted from 0: arrival 20 is tape position 620.
    cardsim::CorruptCapturedFrames(20, 1);
    StartCapture(600);
    FeedFrames(30);
    const StreamTaker video = StreamTaker::VideoIn(device_, 100000, 4).Take();
    const StreamTaker monitor = StreamTaker::VideoConfidence(device_, 70000, 5).Take();
    const StreamTaker left = StreamTaker::AudioIn(device_, 0, 3000, 6).Take();
    EXPECT_EQ(monitor.Bytes().size(), 23u * kNtscFrame);
    // Frames 607 to 619, then 621 on: 620 is missing from VideoIn.
    std::vector<int64_t> delivered = Span(607, 13);
    for (int64_t p : Span(621, 9)) delivered.push_back(p);
    EXPECT_TRUE(video.Bytes() == TapeBytes(delivered));
    ASSERT_EQ(video.Formats().size(), 2u);
    EXPECT_EQ(video.Formats()[1].offset, 13u * kNtscFrame);
    EXPECT_TRUE(video.Formats()[1].change);
    EXPECT_TRUE(video.Formats()[1].changeBreak) << "the material did not run on";
    ASSERT_EQ(left.Formats().size(), 2u);
    EXPECT_TRUE(left.Formats()[1].changeBreak);
    EXPECT_EQ(left.Formats()[1].offset, 2 * TapeAudio(Span(607, 13), kStereo)[0].size());
}

}  // namespace
}  // namespace capture_test
