// Where delivery begins: a few frames after the start when the host gave no start
// timecode, exactly at the frame carrying the start timecode when it did, and what the
// host learns when the tape has passed the start.
#include "CaptureFixture.h"
#include "HostTaker.h"
#include "TestTapes.h"

#include "sim/SimControl.h"

namespace capture_test {
namespace {

constexpr LONG kNtscFrame = kDVFrameSizeNTSC;
const BitMask kLeft = Channels(1, {0});

class CaptureStart : public CaptureFixture {
protected:
    void SetUp() override {
        CaptureFixture::SetUp();
        FreezeClock();
        OpenSession();
    }

    // The video the host took is the tape's frames from `first` on, `count` of them.
    static void ExpectTapeFrames(const StreamTaker& taken, int64_t first, int64_t count) {
        ASSERT_EQ(taken.Bytes().size(), static_cast<size_t>(count * kNtscFrame)) << "frames delivered";
        const std::vector<uint8_t> want = TapeBytes(Span(first, count));
        EXPECT_TRUE(taken.Bytes() == want) << "delivered frame " << FirstDifference(taken.Bytes(), want) / kNtscFrame
                                           << " is not tape position " << first + FirstDifference(taken.Bytes(), want) / kNtscFrame;
    }

    // The audio the host took (from sample `from` on) is the tape's from `first` on.
    static void ExpectTapeAudio(const StreamTaker& taken, int64_t first, int64_t count, size_t from = 0) {
        const std::vector<int16_t> want = TapeAudio(Span(first, count), kLeft)[0];
        const std::vector<int16_t> all = taken.Samples();
        const std::vector<int16_t> got(all.begin() + static_cast<long>(std::min(from, all.size())), all.end());
        EXPECT_TRUE(got == want) << got.size() << " samples taken, " << want.size() << " expected";
    }
};

// Without a start timecode the capture begins once every prepared stream runs. Some
// streams start at once, the rest while the thread waits for the next frame: that frame
// sees the start and is not delivered, and six more are dropped (five when AudioIn is
// the only stream). A prepared monitor is a video stream the capture waits for.
struct LateStart {
    const char* name;
    int64_t deck;         // where the deck plays from
    int prepared, early;  // streams prepared and armed; those started at once
    int before, after;    // frames fed before and after the rest start
    int64_t first;        // the first tape position delivered
};

class CaptureStartWithoutTimecode : public CaptureStart, public ::testing::WithParamInterface<LateStart> {};

TEST_P(CaptureStartWithoutTimecode, DeliveryBeginsAFewFramesAfterEveryPreparedStreamRuns) {
    const LateStart& c = GetParam();
    cardsim::ParkDeck(c.deck, DDC_STATE_PLAYBACK);
    Prepare(c.prepared, 24, Channels(2, {0}));
    Do({Step::Arm}, c.prepared);
    Do({Step::Start}, c.early);
    FeedFrames(c.before);
    EXPECT_EQ(device_->VideoInCurrentFrame(), 0) << "the capture has not begun";
    EXPECT_EQ(device_->GetVideoInRingBufferWritePosition(), 0u);
    EXPECT_EQ(device_->GetVideoConfidenceRingBufferWritePosition(), 0u);
    EXPECT_EQ(device_->GetAudioInRingBufferWritePosition(0), 0u);

    ASSERT_TRUE(WaitForIdlePoll());
    Do({Step::Start}, c.prepared & ~c.early);
    FeedFrames(c.after);
    const int64_t count = c.deck + c.before + c.after - c.first;
    if (c.prepared & kVideoIn) {
        ExpectTapeFrames(StreamTaker::VideoIn(device_, 100000, 1).Take(), c.first, count);
        EXPECT_EQ(device_->VideoInCurrentFrame(), count);
    }
    if (c.prepared & kVideoConfidence)
        ExpectTapeFrames(StreamTaker::VideoConfidence(device_, 100000, 8).Take(), c.first, count);
    ExpectTapeAudio(StreamTaker::AudioIn(device_, 0, 1000, 2).Take(), c.first, count);
    // The last completed measurement counts delivered frames and their samples since the start.
    LONG measurement[4] = {};
    ASSERT_EQ(device_->GetControl(kControlAudioInMeasurement, measurement), 1);
    ASSERT_GE(measurement[0], 1);
    ASSERT_LE(measurement[0], count);
    EXPECT_EQ(static_cast<size_t>(measurement[1]), TapeAudio(Span(c.first, measurement[0]), kLeft)[0].size());
    EXPECT_EQ(ControlLong(kControlStartMissed), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, CaptureStartWithoutTimecode,
    ::testing::Values(LateStart{"VideoThenAudio", 100, kVideoIn | kAudioIn, kVideoIn, 10, 20, 117},
                      LateStart{"AudioAlone", 200, kAudioIn, 0, 4, 16, 210},
                      LateStart{"AudioThenMonitor", 300, kVideoConfidence | kAudioIn, kAudioIn, 8, 16, 315}),
    [](const ::testing::TestParamInfo<LateStart>& info) { return std::string(info.param.name); });

TEST_F(CaptureStart, DeliveryBeginsExactlyAtTheFrameCarryingTheStartTimecode) {
    // The built-in tape's timecode is its position: the deck plays from ten frames before the start.
    cardsim::ParkDeck(1790, DDC_STATE_PLAYBACK);
    Prepare(kVideoIn | kAudioIn, 24, Channels(2, {0}));
    SetStartTimecode(1800);
    Do({Step::Arm, Step::Start}, kVideoIn | kAudioIn);

    FeedFrames(10);
    EXPECT_EQ(device_->VideoInCurrentFrame(), 0) << "the ten frames before the start are taken and dropped";
    FeedFrames(15);
    ExpectTapeFrames(StreamTaker::VideoIn(device_, 150000, 4).Take(), 1800, 15);
    // The continuity check starts from the start timecode itself, so the start frame
    // reads as a repeat of it: its sound is the black frame's silence. The frames after
    // it carry their own.
    const StreamTaker audio = StreamTaker::AudioIn(device_, 0, 3000, 5).Take();
    const std::vector<int16_t> silence = Deshuffled({BlackFrame(DIO_NTSC)}, kLeft)[0];
    const std::vector<int16_t> samples = audio.Samples();
    ASSERT_GE(samples.size(), silence.size());
    EXPECT_TRUE(std::equal(silence.begin(), silence.end(), samples.begin()));
    ExpectTapeAudio(audio, 1801, 14, silence.size());
    EXPECT_EQ(ControlLong(kControlStartMissed), 0);
}

TEST_F(CaptureStart, AStartTheTapeHasPassedIsReportedAndDeliveryWaitsUntilItComesBy) {
    cardsim::ParkDeck(1805, DDC_STATE_PLAYBACK);
    Prepare(kVideoIn, 24);
    SetStartTimecode(1800);
    Do({Step::Arm, Step::Start}, kVideoIn);

    // The first frame may arrive before the thread saw the streams start; by the second
    // the running capture has looked at a timecode past the start.
    FeedFrames(2);
    EXPECT_EQ(ControlLong(kControlStartMissed), 1) << "the tape is already past the start";
    FeedFrames(8);
    EXPECT_EQ(device_->VideoInCurrentFrame(), 0);

    // The deck goes back before the start: delivery begins with the start frame.
    cardsim::ParkDeck(1795, DDC_STATE_PLAYBACK);
    FeedFrames(12);
    ExpectTapeFrames(StreamTaker::VideoIn(device_, 200000, 6).Take(), 1800, 7);
    EXPECT_EQ(ControlLong(kControlStartMissed), 1) << "the miss stays reported for this capture";
}

}  // namespace
}  // namespace capture_test
