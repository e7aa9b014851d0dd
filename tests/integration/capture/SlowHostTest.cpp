// A host too slow for its video: it stops taking VideoIn and VideoConfidence while it
// keeps draining AudioIn. Frames that do not fit are dropped as designed, overruns are
// counted once the card's backlog passes 28 frames, the capture thread keeps pace with
// the card throughout, and every frame the deck delivered is accounted for.
#include "CaptureFixture.h"
#include "HostTaker.h"
#include "TestTapes.h"

#include "sim/SimControl.h"
#include "sim/SimTime.h"

namespace capture_test {
namespace {

constexpr LONG kNtscFrame = kDVFrameSizeNTSC;
constexpr int64_t kDeckStart = 100;
constexpr LONG kStartDrops = 7;  // streams started before the first frame
constexpr LONG kVideoRingFrames = 6;
constexpr int kBacklogLimit = 28;

using SlowHost = CaptureFixture;

TEST_F(SlowHost, DropsAndOverrunsAreCountedAsDesignedAndEveryFrameIsAccountedFor) {
    cardsim::UseManualClock(true);  // frames arrive only through PassFrames
    OpenSession();
    cardsim::ParkDeck(kDeckStart, DDC_STATE_PLAYBACK);
    cardsim::DropCapturedFrames(20, 2);  // two frames the card never stores
    Prepare(kVideoIn | kVideoConfidence, kVideoRingFrames);
    Prepare(kAudioIn, 40);
    Do({Step::Arm}, kAllStreams);

    StreamTaker left = StreamTaker::AudioIn(device_, 0, 2000, 1);
    StreamTaker right = StreamTaker::AudioIn(device_, 1, 3000, 2);
    HostThread host({&left, &right});
    Do({Step::Start}, kAllStreams);

    // Phase 1: the video rings fill after six frames and stay full. With the backlog
    // small, each frame that finds no room is dropped without a count once its sound
    // is delivered, and the thread keeps taking every frame from the card.
    const auto audioDrained = [&] {
        return WaitUntil([&] {
            return device_->GetAudioInRingBufferWritePosition(0) == device_->GetAudioInRingBufferReadPosition(0) &&
                   device_->GetAudioInRingBufferWritePosition(1) == device_->GetAudioInRingBufferReadPosition(1);
        });
    };
    for (int burst = 0; burst < 5; ++burst) {
        ASSERT_TRUE(audioDrained()) << "the audio host stopped taking";
        FeedFrames(8);
    }
    EXPECT_EQ(device_->VideoInCurrentFrame(), kVideoRingFrames);
    EXPECT_EQ(device_->VideoConCurrentFrame(), kVideoRingFrames);
    EXPECT_EQ(ControlLong(kControlVideoInOverruns), 0);
    EXPECT_EQ(ControlLong(kControlAudioInOverruns), 0);
    EXPECT_EQ(cardsim::GetCardCounters().ringFullDrops, 0u);

    // Phase 2: forty frame periods pass at once, as after a long stall of the machine.
    // The card stores what its 32 slots hold and drops the rest; the thread then finds
    // more than 28 frames waiting for each of the first few it takes.
    ASSERT_TRUE(audioDrained());
    const cardsim::CardCounters beforeBurst = cardsim::GetCardCounters();
    cardsim::AdvanceClock(40 * cardsim::kFramePeriod525 / cardsim::kSimUnitsPerMicrosecond);
    const cardsim::CardCounters afterBurst = cardsim::GetCardCounters();
    const LONG backlog = afterBurst.capturedFrames - beforeBurst.capturedFrames;
    ASSERT_EQ(backlog, PDV_RING_FRAMES) << "the burst fills the card";
    ASSERT_TRUE(WaitForReleased(afterBurst.capturedFrames)) << JournalTail(20);
    const LONG overBacklog = backlog - kBacklogLimit;
    // Every running queue counts each frame taken over the backlog; VideoIn, which has
    // no room, also counts each such frame it loses.
    EXPECT_EQ(ControlLong(kControlVideoInOverruns), 2 * overBacklog);
    EXPECT_EQ(ControlLong(kControlAudioInOverruns), overBacklog);

    // Phase 3: the deck plays on; the thread keeps pace again.
    FeedFrames(20);
    host.StopAndDrain();

    // Adding up, per frame the deck delivered: the card dropped it, or the thread took
    // it; of those taken, the start dropped seven and AudioIn received all others.
    const cardsim::CardCounters card = cardsim::GetCardCounters();
    const LONG taken = FramesReleased();
    EXPECT_EQ(card.framesArrived, card.ringFullDrops + card.injectedDrops + static_cast<uint64_t>(taken));
    EXPECT_EQ(card.injectedDrops, 2u);
    EXPECT_EQ(card.ringFullDrops, beforeBurst.ringFullDrops + (afterBurst.framesArrived - beforeBurst.framesArrived) -
                                      static_cast<uint64_t>(backlog));

    // Which tape positions reached the card: every arrival but the dropped ones.
    std::vector<int64_t> stored;
    const uint64_t burstFirst = beforeBurst.framesArrived;
    for (uint64_t arrival = 0; arrival < card.framesArrived; ++arrival) {
        if (arrival == 20 || arrival == 21) continue;
        if (arrival >= burstFirst + static_cast<uint64_t>(backlog) && arrival < afterBurst.framesArrived) continue;
        stored.push_back(kDeckStart + static_cast<int64_t>(arrival));
    }
    ASSERT_EQ(stored.size(), static_cast<size_t>(taken));
    const std::vector<int64_t> delivered(stored.begin() + kStartDrops, stored.end());
    const std::vector<std::vector<int16_t>> sound = TapeAudio(delivered, Channels(2, {0, 1}));
    EXPECT_TRUE(left.Samples() == sound[0]) << left.Samples().size() << " samples, " << sound[0].size()
                                            << " expected, first difference " << FirstDifference(left.Samples(), sound[0]);
    EXPECT_TRUE(right.Samples() == sound[1]);

    // VideoIn still holds the first six frames delivered, untouched.
    EXPECT_TRUE(StreamTaker::VideoIn(device_, 500000, 3).Take().Bytes() ==
                TapeBytes(std::vector<int64_t>(delivered.begin(), delivered.begin() + kVideoRingFrames)));
    EXPECT_EQ(ControlLong(kControlErrorCount), 0);
}

}  // namespace
}  // namespace capture_test
