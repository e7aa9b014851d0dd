// The simulator on the real clock, called from several threads at once, as a host,
// the capture thread and the record thread do.
#include "SimTestSupport.h"

#include "hostcore/HostLog.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace simtest {
namespace {

class ConcurrencyTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        cardsim::UseManualClock(false);
    }
};

bool PollUntil(const std::function<bool()>& condition, int timeoutMs = 20000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return condition();
}

TEST_F(ConcurrencyTest, SpeedFactorScalesThePlatformClock) {
    ASSERT_TRUE(cardsim::SetSpeed(50));
    EXPECT_FALSE(cardsim::SetSpeed(0));
    EXPECT_FALSE(cardsim::SetSpeed(-1));
    EXPECT_EQ(cardsim::Speed(), 50.0);
    // Simulated time over a sleep lies between 50 times the real time inside and outside it.
    const int64_t realBefore = HostMicroseconds(), simBefore = cardsim::NowMicros(), innerStart = HostMicroseconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const int64_t innerEnd = HostMicroseconds(), simElapsed = cardsim::NowMicros() - simBefore;
    const int64_t realAfter = HostMicroseconds();
    EXPECT_GE(simElapsed, 50 * (innerEnd - innerStart) - 50);
    EXPECT_LE(simElapsed, 50 * (realAfter - realBefore) + 50);
}

TEST_F(ConcurrencyTest, CaptureKeepsToTheFrameRateOfTheClock) {
    ASSERT_TRUE(cardsim::SetSpeed(2));
    OpenSession();
    cardsim::ParkDeck(0, DDC_STATE_PLAYBACK);
    ASSERT_TRUE(PdvBeginCapture());
    const uint64_t mark = cardsim::JournalMark();
    ASSERT_TRUE(PdvStartCapture());
    const int64_t start = CallsSince(mark, "PdvStartCapture")[0].timeMicros;
    // Poll like a capture thread for a few simulated seconds, releasing as we go.
    while (cardsim::NowMicros() - start < 3000000) {
        ASSERT_TRUE(PdvSetCapturedFrame(PdvGetCapturedFrame()));
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    // A poller stalled by a busy machine may have let the ring fill: such frames are
    // dropped and counted, never stored late.
    const int64_t drops = static_cast<int64_t>(cardsim::GetCardCounters().ringFullDrops);
    const auto polls = CallsSince(mark, "PdvGetCapturedFrame");
    ASSERT_GT(polls.size(), 10u);
    for (const auto& poll : polls) {
        const int64_t expected = PeriodsBetween(start, poll.timeMicros, DIO_NTSC);
        EXPECT_LE(poll.result, expected + 1) << "at " << poll.timeMicros - start << " us";
        EXPECT_GE(poll.result, expected - 2 - drops) << "at " << poll.timeMicros - start << " us";
    }
}

TEST_F(ConcurrencyTest, PlaybackToARecordingDeckKeepsToTheFrameRateOfTheClock) {
    ASSERT_TRUE(cardsim::SetSpeed(4));
    OpenSession();
    cardsim::ParkDeck(0, DDC_STATE_RECORD);
    ASSERT_TRUE(PdvBeginPlayback());
    const std::vector<std::vector<uint8_t>> frames = MakeFrames(DIO_NTSC, 2, 50000, 7000);
    std::atomic<bool> stop{false};
    // Record thread: keeps the ring some frames ahead of the output, as the plug-in does.
    LONG queued = 0;
    for (; queued < 16; ++queued) QueuePlaybackFrame(queued, frames[queued % 2]);
    const uint64_t mark = cardsim::JournalMark();
    ASSERT_TRUE(PdvStartPlayback());
    std::thread feeder([&] {
        while (!stop.load()) {
            for (const LONG played = PdvGetPlaybackFrame(); queued < played + 16; ++queued)
                QueuePlaybackFrame(queued, frames[queued % 2]);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    const int64_t start = CallsSince(mark, "PdvStartPlayback")[0].timeMicros;
    EXPECT_TRUE(PollUntil([&] { return cardsim::NowMicros() - start > 3000000; }));
    stop.store(true);
    feeder.join();
    cardsim::UseManualClock(true);  // time stands still while the results are read
    // Each frame period plays one frame (a repeat when the feeder was late, counted) and
    // the deck writes it.
    const auto polls = CallsSince(mark, "PdvGetPlaybackFrame");
    ASSERT_GT(polls.size(), 10u);
    const cardsim::CardCounters counters = cardsim::GetCardCounters();
    for (const auto& poll : polls) {
        const int64_t expected = PeriodsBetween(start, poll.timeMicros, DIO_NTSC);
        EXPECT_LE(poll.result, expected) << "at " << poll.timeMicros - start << " us";
        EXPECT_GE(poll.result, expected - static_cast<int64_t>(counters.underruns)) << "at " << poll.timeMicros - start;
    }
    const int64_t periods = PeriodsBetween(start, cardsim::NowMicros(), DIO_NTSC);
    EXPECT_EQ(static_cast<int64_t>(counters.framesRecorded), periods);
    EXPECT_EQ(counters.playedFrames + static_cast<int64_t>(counters.underruns), periods);
}

TEST_F(ConcurrencyTest, ThreeThreadsCallAtOnce) {
    ASSERT_TRUE(cardsim::SetSpeed(4));
    OpenSession();
    cardsim::ParkDeck(0, DDC_STATE_PLAYBACK);
    StartCapture();
    std::atomic<bool> stop{false};
    std::atomic<int> gaps{0};
    std::atomic<int> delivered{0};

    // Capture thread: takes every frame, checks its timecode runs on by one.
    std::thread capture([&] {
        LONG taken = 0;
        int last = -1;
        while (!stop.load()) {
            for (const LONG counter = PdvGetCapturedFrame(); taken < counter; ++taken) {
                const std::vector<int> label = FrameLabel(PdvGetCapturedFrameAddr(taken));
                if (label.empty()) continue;
                const int count = label[1] * 1798 + label[2] * 30 + label[3];
                if (last >= 0 && count != last + 1) gaps.fetch_add(1);
                last = count;
                delivered.fetch_add(1);
            }
            PdvSetCapturedFrame(taken);
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
    });
    // Host thread: deck queries, AV/C and the asynchronous pairs.
    std::thread host([&] {
        while (!stop.load()) {
            LONG state, h, m, s, f;
            DevGetState(&state);
            DevGetTimecode(&h, &m, &s, &f, 100);
            SendAVC({0x01, 0x20, 0x51, 0x71, 0xFF, 0xFF, 0xFF, 0xFF});
            if (DevAskForTCAsync() == DDC_NoError) {
                while (DevReceiveAsyncTC(&h, &m, &s, &f) == DDC_CommandPending && !stop.load())
                    std::this_thread::yield();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    // Observer: counters, status and the journal.
    std::thread observer([&] {
        uint64_t mark = 0;
        while (!stop.load()) {
            cardsim::GetCardCounters();
            cardsim::GetDeckStatus();
            const auto entries = cardsim::JournalSince(mark);
            if (!entries.empty()) mark = entries.back().sequence;
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
    });
    EXPECT_TRUE(PollUntil([&] { return delivered.load() >= 60; }));
    stop.store(true);
    capture.join();
    host.join();
    observer.join();
    // Frames are only ever missing where the card counted a drop.
    const cardsim::CardCounters counters = cardsim::GetCardCounters();
    EXPECT_LE(static_cast<uint64_t>(gaps.load()), counters.ringFullDrops);
    EXPECT_EQ(counters.framesArrived, counters.capturedFrames + counters.ringFullDrops);
}

}  // namespace
}  // namespace simtest
