// Everything at once, on the running clock: the capture thread, one host thread taking
// video, another taking audio, and a third calling deck and control operations. Run
// under ThreadSanitizer this is the check that the threads share nothing unguarded;
// the tape's timecode breaks every second, so the capture thread writes the break
// record while the host reads it.
#include "CaptureFixture.h"
#include "HostTaker.h"
#include "TestTapes.h"

#include "sim/SimControl.h"

#include <atomic>
#include <thread>

namespace capture_test {
namespace {

constexpr LONG kNtscFrame = kDVFrameSizeNTSC;

using CaptureThreads = CaptureFixture;

TEST_F(CaptureThreads, CaptureHostTakersAndDeckQueriesRunTogether) {
    OpenSession();
    ASSERT_TRUE(cardsim::SetSpeed(3));
    // Two jumps in a row make a break; the material runs on again after each pair.
    for (int64_t position = 60; position < 1200; position += 30) {
        cardsim::AddTimecodeBreak(position, 1000);
        cardsim::AddTimecodeBreak(position + 1, 1000);
    }
    std::atomic<LONG> breaksSeen{0};
    Prepare(kAllStreams, 30);
    SetStartTimecode(40);  // a start point the deck reaches a moment after it starts
    Do({Step::Arm}, kAllStreams);

    StreamTaker video = StreamTaker::VideoIn(device_, kNtscFrame, 1);
    StreamTaker monitor = StreamTaker::VideoConfidence(device_, kNtscFrame / 2, 2);
    StreamTaker left = StreamTaker::AudioIn(device_, 0, 3000, 3);
    StreamTaker right = StreamTaker::AudioIn(device_, 1, 1000, 4);
    std::atomic<bool> stopDeckCalls{false};
    std::atomic<int> capturedAnswers{0};
    {
        HostThread videoHost({&video, &monitor});
        HostThread audioHost({&left, &right});
        std::thread deckCalls([&] {
            while (!stopDeckCalls) {
                timecode_t timecode{};
                if (device_->DeviceReceiveAsyncTC(&timecode) == DDC_NoError) ++capturedAnswers;
                device_->DeviceGetTimecode(&timecode);
                TransportState_t state{};
                device_->DeviceGetState(&state);
                TimecodeDiscontinuity record{};
                device_->GetControl(kControlTimecodeBreak, &record);
                if (record.nCount > breaksSeen) breaksSeen = record.nCount;
                LONG values[4] = {};
                for (LONG id : {kControlStartMissed, kControlAudioInMeasurement, kControlAudioInOverruns,
                                kControlVideoInOverruns, kControlErrorCount, kControlSignalPresent})
                    device_->GetControl(id, values);
                LONG trace = capturedAnswers % 2 == 0 ? 3 : 1;  // capture tracing on and off
                device_->SetControl(kControlTraceSwitches, &trace);
            }
        });
        Do({Step::Start}, kAllStreams);
        cardsim::ParkDeck(0, DDC_STATE_PLAYBACK);
        EXPECT_TRUE(WaitUntil([&] { return cardsim::GetCardCounters().capturedFrames >= 150; }, 60))
            << "the card captured " << cardsim::GetCardCounters().capturedFrames << " frames";
        // A pause and a new start of every stream while it all goes on.
        Do({Step::Pause}, kAllStreams);
        Sleep(50);
        SetStartTimecode(kTCEmptyFrameCount);  // long passed: this time start at once
        Do({Step::Start}, kAllStreams);
        const LONG resumedAt = cardsim::GetCardCounters().capturedFrames;
        EXPECT_TRUE(WaitUntil([&] { return cardsim::GetCardCounters().capturedFrames >= resumedAt + 90; }, 60));
        stopDeckCalls = true;
        deckCalls.join();
        videoHost.StopAndDrain();
        audioHost.StopAndDrain();
    }
    Do({Step::Terminate}, kAllStreams);

    // Whatever a loaded machine made the card drop, what arrived is whole tape frames
    // in tape order, each at most once, and both audio channels kept step.
    ASSERT_EQ(video.Bytes().size() % kNtscFrame, 0u);
    const size_t frames = video.Bytes().size() / kNtscFrame;
    EXPECT_GT(frames, 0u);
    int64_t position = 39;
    for (size_t i = 0; i < frames; ++i) {
        const uint8_t* taken = video.Bytes().data() + i * kNtscFrame;
        int64_t p = position + 1;
        while (p < position + 200) {
            const Frame frame = TapeFrame(p);
            if (std::equal(frame.begin(), frame.end(), taken)) break;
            ++p;
        }
        ASSERT_LT(p, position + 200) << "delivered frame " << i << " is no later tape frame";
        if (i == 0) {
            EXPECT_EQ(p, 40) << "delivery began at the start timecode";
        }
        position = p;
    }
    EXPECT_EQ(left.Bytes().size(), right.Bytes().size());
    EXPECT_EQ(ControlLong(kControlErrorCount), 0);
    EXPECT_GT(breaksSeen.load(), 0) << "the host read no break record while the tape broke";
}

}  // namespace
}  // namespace capture_test
