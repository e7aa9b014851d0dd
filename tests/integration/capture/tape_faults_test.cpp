// What odd tapes do to a capture: timecode jumps and dropouts in the break record,
// a paused deck's repeated frames turned into silence, a frame without readable audio
// data, and a switch of sample rate or standard part-way, announced in the format
// records exactly where it happens.
#include "capture_fixture.h"
#include "host_taker.h"
#include "test_tapes.h"

#include "digitalio/DVFrame.h"
#include "sim/SimControl.h"

#include <memory>

namespace capture_test {
namespace {

constexpr LONG kNtscFrame = kDVFrameSizeNTSC;
constexpr int kRingFrames = 40;
// Streams started before the first frame: the first seven frames are dropped.
constexpr int64_t kDropped = 7;

class TapeFaults : public CaptureFixture {
protected:
    void SetUp() override {
        CaptureFixture::SetUp();
        FreezeClock();
    }

    // VideoIn, VideoConfidence and AudioIn (channels 0 and 1) prepared, armed and started
    // with the deck playing from `position`.
    void StartCapture(int64_t position) {
        OpenSession();
        cardsim::ParkDeck(position, DDC_STATE_PLAYBACK);
        SetUpVideoIn(kRingFrames);
        SetUpVideoConfidence(kRingFrames);
        SetUpAudioIn(Channels(2, {0, 1}), kRingFrames * 3888);
        ASSERT_EQ(device_->ArmVideoIn(), 1);
        ASSERT_EQ(device_->ArmVideoConfidence(), 1);
        ASSERT_EQ(device_->ArmAudioIn(), 1);
        ASSERT_EQ(device_->StartVideoIn(), 1);
        ASSERT_EQ(device_->StartVideoConfidence(), 1);
        ASSERT_EQ(device_->StartAudioIn(), 1);
    }

};

TEST_F(TapeFaults, AJumpAfterWhichTheTimecodeRunsOnRecordsNoBreak) {
    // Positions 400 on read 500 frames later: the material runs on from there.
    cardsim::AddTimecodeBreak(400, 500);
    StartCapture(380);
    FeedFrames(40);
    EXPECT_EQ(device_->VideoInCurrentFrame(), 40 - kDropped);
    const TimecodeDiscontinuity record = BreakRecord();
    EXPECT_EQ(record.nCount, 0);
}

TEST_F(TapeFaults, AJumpFollowedByASecondJumpRecordsOneBreakBetweenThem) {
    // 418, 419, then 920 (a jump), then 1321 (another): the break lies between the two
    // jumped timecodes; the material runs on normally afterwards.
    cardsim::AddTimecodeBreak(420, 500);
    cardsim::AddTimecodeBreak(421, 400);
    StartCapture(400);
    FeedFrames(40);
    const TimecodeDiscontinuity record = BreakRecord();
    EXPECT_EQ(record.nCount, 1);
    EXPECT_EQ(record.tcBefore.frameCount, 920);
    EXPECT_EQ(record.tcAfter.frameCount, 1321);
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
    TimecodeDiscontinuity record = BreakRecord();
    EXPECT_EQ(record.nCount, 1);
    EXPECT_EQ(record.tcBefore.frameCount, 519) << "the last timecode before the run";
    EXPECT_TRUE(TCIsEmpty(record.tcAfter));
    FeedFrames(1);
    EXPECT_EQ(BreakRecord().nCount, 2);
    FeedFrames(10);
    record = BreakRecord();
    EXPECT_EQ(record.nCount, 2) << "the timecode resumes without a further break";
    // The frames themselves were delivered whole, with their sound.
    EXPECT_EQ(device_->VideoInCurrentFrame(), 33 - kDropped);
}

TEST_F(TapeFaults, APausedDecksRepeatedFramesReachTheAudioChannelsAsSilence) {
    StartCapture(300);
    FeedFrames(15);  // 300 to 314; 307 on delivered
    cardsim::ParkDeck(315, DDC_STATE_PLAYBACK_PAUSE);
    FeedFrames(5);  // the still of 315, five times
    cardsim::ParkDeck(316, DDC_STATE_PLAYBACK);
    FeedFrames(5);  // 316 to 320

    StreamTaker video = StreamTaker::VideoIn(device_, 90000, 1);
    StreamTaker left = StreamTaker::AudioIn(device_, 0, 1111, 2);
    StreamTaker right = StreamTaker::AudioIn(device_, 1, 2222, 3);
    video.TakeAvailable();
    left.TakeAvailable();
    right.TakeAvailable();

    std::vector<int64_t> shown;
    for (int64_t p = 307; p <= 315; ++p) shown.push_back(p);
    for (int i = 0; i < 4; ++i) shown.push_back(315);
    for (int64_t p = 316; p <= 320; ++p) shown.push_back(p);
    std::vector<uint8_t> frames;
    std::vector<std::vector<int16_t>> sound;
    DVFrame generator;
    std::unique_ptr<unsigned char[]> black(generator.GenBlackFrame(DIO_NTSC));
    const Frame blackFrame(black.get(), black.get() + kNtscFrame);
    for (size_t i = 0; i < shown.size(); ++i) {
        const Frame frame = TapeFrame(shown[i]);
        frames.insert(frames.end(), frame.begin(), frame.end());
        // The picture repeats; the sound of a repeat is the black frame's silence.
        const bool repeat = i > 0 && shown[i] == shown[i - 1];
        AppendDeshuffled(repeat ? blackFrame : frame, Channels(2, {0, 1}), &sound);
    }
    EXPECT_TRUE(video.Bytes() == frames) << "video differs in frame " << FirstDifference(video.Bytes(), frames) / kNtscFrame;
    const std::vector<int16_t> gotLeft = Samples(left.Bytes()), gotRight = Samples(right.Bytes());
    EXPECT_TRUE(gotLeft == sound[0]) << "left differs at sample " << FirstDifference(gotLeft, sound[0]);
    EXPECT_TRUE(gotRight == sound[1]) << "right differs at sample " << FirstDifference(gotRight, sound[1]);
    EXPECT_EQ(BreakRecord().nCount, 0) << "a still is no break";
}

TEST_F(TapeFaults, AFrameWithoutReadableAudioDataReachesOnlyTheMonitorAndTheNextFrameIsMarkedAsABreak) {
    // Card arrivals are counted from 0: arrival 20 is tape position 620.
    cardsim::CorruptCapturedFrames(20, 1);
    StartCapture(600);
    FeedFrames(30);
    StreamTaker video = StreamTaker::VideoIn(device_, 100000, 4);
    StreamTaker monitor = StreamTaker::VideoConfidence(device_, 70000, 5);
    StreamTaker left = StreamTaker::AudioIn(device_, 0, 3000, 6);
    video.TakeAvailable();
    monitor.TakeAvailable();
    left.TakeAvailable();
    EXPECT_EQ(monitor.Bytes().size(), static_cast<size_t>(30 - kDropped) * kNtscFrame);
    ASSERT_EQ(video.Bytes().size(), static_cast<size_t>(30 - kDropped - 1) * kNtscFrame);
    // Frames 607 to 619, then 621 on: 620 is missing from VideoIn.
    const Frame after = TapeFrame(621);
    EXPECT_TRUE(std::equal(after.begin(), after.end(), video.Bytes().begin() + 13 * kNtscFrame));
    ASSERT_EQ(video.Formats().size(), 2u);
    EXPECT_EQ(video.Formats()[1].offset, static_cast<size_t>(13) * kNtscFrame);
    EXPECT_TRUE(video.Formats()[1].change);
    EXPECT_TRUE(video.Formats()[1].changeBreak) << "the material did not run on";
    EXPECT_EQ(video.Formats()[1].videoSignal, "NTSC");
    ASSERT_EQ(left.Formats().size(), 2u);
    EXPECT_TRUE(left.Formats()[1].changeBreak);
    std::vector<std::vector<int16_t>> before;
    for (int64_t p = 607; p < 620; ++p) AppendDeshuffled(TapeFrame(p), Channels(1, {0}), &before);
    EXPECT_EQ(left.Formats()[1].offset, 2 * before[0].size());
}

TEST_F(TapeFaults, ASwitchOfSampleRateIsAnnouncedWhereItHappensAndBeforeAnyByteOfIt) {
    // 48 kHz up to position 60, 32 kHz four-channel material after it, timecode running on.
    std::vector<Frame> frames = MakeRun(DIO_NTSC, DIO_Audio48000, 2, 60, 0, 100);
    for (int i = 0; i < 60; ++i) frames.push_back(MakeFrame(DIO_NTSC, DIO_Audio32000, 4, i, 60 + i, 500u + i));
    TapeFile tape("rate_switch.dv");
    ASSERT_TRUE(tape.Load(frames));
    StartCapture(30);

    // The host takes while the frames arrive, in pieces that straddle the change.
    StreamTaker video = StreamTaker::VideoIn(device_, 2 * kNtscFrame, 7);
    std::vector<StreamTaker> audio = {StreamTaker::AudioIn(device_, 0, 5000, 8),
                                      StreamTaker::AudioIn(device_, 1, 7000, 9)};
    // Bursts of seven: the change arrives in the middle of one, behind older frames.
    for (int burst = 0; burst < 9; ++burst) {
        FeedFrames(7);
        video.TakeAvailable();
        for (StreamTaker& channel : audio) channel.TakeAvailable();
    }

    const size_t framesBefore = 60 - (30 + kDropped);
    ASSERT_EQ(video.Bytes().size(), (63 - kDropped) * static_cast<size_t>(kNtscFrame));
    ASSERT_EQ(video.Formats().size(), 2u);
    EXPECT_EQ(video.Formats()[0].offset, 0u);
    EXPECT_EQ(video.Formats()[0].sampleRate, "48000");
    EXPECT_FALSE(video.Formats()[0].change);
    EXPECT_EQ(video.Formats()[1].offset, framesBefore * kNtscFrame);
    EXPECT_EQ(video.Formats()[1].sampleRate, "32000");
    EXPECT_EQ(video.Formats()[1].videoSignal, "NTSC");
    EXPECT_TRUE(video.Formats()[1].change);
    EXPECT_FALSE(video.Formats()[1].changeBreak) << "the material ran on";

    std::vector<std::vector<int16_t>> want, beforeSwitch;
    for (int64_t p = 30 + kDropped; p < 93; ++p) {
        AppendDeshuffled(frames[static_cast<size_t>(p)], Channels(2, {0, 1}), &want);
        if (p < 60) AppendDeshuffled(frames[static_cast<size_t>(p)], Channels(2, {0, 1}), &beforeSwitch);
    }
    for (size_t c = 0; c < audio.size(); ++c) {
        const std::vector<FormatMark>& marks = audio[c].Formats();
        ASSERT_EQ(marks.size(), 2u) << "channel " << c;
        EXPECT_EQ(marks[1].offset, 2 * beforeSwitch[c].size()) << "channel " << c;
        EXPECT_EQ(marks[1].sampleRate, "32000");
        EXPECT_TRUE(marks[1].change);
        EXPECT_TRUE(Samples(audio[c].Bytes()) == want[c]) << "channel " << c;
    }
    EXPECT_EQ(ControlLong(kControlVideoOverruns), 0);
    EXPECT_EQ(ControlLong(kControlErrors), 0);
}

TEST_F(TapeFaults, ASwitchOfStandardIsAnnouncedWhereItHappens) {
    cardsim::BuiltInTapeOptions options;
    options.formatSwitchAt = 1000;  // NTSC before, PAL from here on
    cardsim::LoadBuiltInTape(options);
    StartCapture(980);
    StreamTaker video = StreamTaker::VideoIn(device_, 3 * kNtscFrame / 2, 10);
    StreamTaker left = StreamTaker::AudioIn(device_, 0, 3000, 11);
    for (int burst = 0; burst < 8; ++burst) {
        FeedFrames(6);  // the switch arrives in the middle of a burst
        video.TakeAvailable();
        left.TakeAvailable();
    }
    // The session stays NTSC: each frame takes the configured 120000 bytes of the ring.
    const size_t ntscFrames = 1000 - (980 + kDropped);
    ASSERT_EQ(video.Bytes().size(), static_cast<size_t>(48 - kDropped) * kNtscFrame);
    ASSERT_EQ(video.Formats().size(), 2u);
    EXPECT_EQ(video.Formats()[0].videoSignal, "NTSC");
    EXPECT_EQ(video.Formats()[1].offset, ntscFrames * kNtscFrame);
    EXPECT_EQ(video.Formats()[1].videoSignal, "PAL");
    EXPECT_TRUE(video.Formats()[1].change);
    const Frame firstPal = TapeFrame(1000);
    ASSERT_EQ(firstPal.size(), kDVFrameSizePAL);
    EXPECT_TRUE(std::equal(firstPal.begin(), firstPal.begin() + kNtscFrame,
                           video.Bytes().begin() + static_cast<std::ptrdiff_t>(ntscFrames * kNtscFrame)));
    // The sound of each frame in its own standard.
    std::vector<std::vector<int16_t>> want, beforeSwitch;
    for (int64_t p = 980 + kDropped; p < 1028; ++p) {
        AppendDeshuffled(TapeFrame(p), Channels(1, {0}), &want);
        if (p < 1000) AppendDeshuffled(TapeFrame(p), Channels(1, {0}), &beforeSwitch);
    }
    EXPECT_TRUE(Samples(left.Bytes()) == want[0]);
    ASSERT_EQ(left.Formats().size(), 2u);
    EXPECT_EQ(left.Formats()[1].offset, 2 * beforeSwitch[0].size());
    EXPECT_EQ(left.Formats()[1].videoSignal, "PAL");
}

}  // namespace
}  // namespace capture_test
