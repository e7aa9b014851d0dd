// A host thread that leaves Running and at once frees, resets or replaces what the
// capture thread writes into must wait for the write already under way. The test
// holds the capture thread inside one delivery (after it saw the stream running,
// before it writes), lets the host operation run, and releases the thread after a
// moment, expecting the operation still waiting then. Without the wait the write lands
// in freed memory (the address sanitizer stops there) or in the ring the host has
// just reset or replaced, which the host then finds not empty.
#include "CaptureFixture.h"

#include "interface/ControlIds.h"
#include "interface/FormatKeywords.h"
#include "queues/DeliveryGuard.h"
#include "sim/SimControl.h"

#include <atomic>
#include <functional>
#include <thread>

using namespace dv1394;

namespace capture_test {
namespace {

std::atomic<int> g_pausePoint{-1};  // the point to hold the thread at once, -1 none
std::atomic<bool> g_paused{false};
std::atomic<bool> g_released{false};

void HoldOnce(DeliveryGuard::Point point) {
    int wanted = static_cast<int>(point);
    if (!g_pausePoint.compare_exchange_strong(wanted, -1)) return;
    g_paused = true;
    while (!g_released) Sleep(1);
}

struct RaceCase {
    const char* name;
    int streams;                      // the streams that capture
    DeliveryGuard::Point point;       // where the capture thread is held
    std::function<bool(DigitalDevice*)> hostOperation;  // true when every step succeeded
    std::function<void(DigitalDevice*)> check;          // what the host sees afterwards
};

std::ostream& operator<<(std::ostream& out, const RaceCase& race) { return out << race.name; }

class DeliveryRaces : public CaptureFixture, public ::testing::WithParamInterface<RaceCase> {
protected:
    void SetUp() override {
        CaptureFixture::SetUp();
        cardsim::UseManualClock(true);  // frames arrive only through PassFrames
        OpenSession();
        DeliveryGuard::SetTestPause(HoldOnce);
    }
    void TearDown() override {
        g_released = true;
        DeliveryGuard::SetTestPause(nullptr);
        g_pausePoint = -1;
        CaptureFixture::TearDown();
    }
};

TEST_P(DeliveryRaces, AHostOperationWaitsForTheWriteUnderWay) {
    const RaceCase& race = GetParam();
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK);
    Prepare(race.streams, 4);
    Do({Step::Arm, Step::Start}, race.streams);
    g_paused = false;
    g_released = false;
    g_pausePoint = static_cast<int>(race.point);
    // Past the frames a start without a start timecode drops, to the first delivery.
    for (int i = 0; i < 20 && !g_paused; ++i) PassFrames(1);
    ASSERT_TRUE(WaitUntil([] { return g_paused.load(); })) << JournalTail(10);

    std::atomic<bool> done{false};
    bool succeeded = false;
    std::thread host([&] {
        succeeded = race.hostOperation(device_);
        done = true;
    });
    // The operation must still be waiting when the thread is let go.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(done.load()) << "returned while a write was under way";
    g_released = true;
    host.join();
    EXPECT_TRUE(succeeded);
    ASSERT_TRUE(WaitForIdlePoll());  // the held delivery is over
    race.check(device_);
}

const LONG kRing = 4 * kDVFrameSizeNTSC;

const RaceCase kRaces[] = {
    {"VideoInAbortedThenGivenANewRing", kVideoIn, DeliveryGuard::Point::Frame,
     [](DigitalDevice* d) { return d->AbortVideoIn() == 1 && d->SetVideoInRingBufferSize(kRing) == 1; },
     [](DigitalDevice* d) { EXPECT_EQ(d->GetVideoInRingBufferWritePosition(), 0u); }},
    {"VideoInTerminatedThenPreparedAgainWhileAudioInRuns", kVideoIn | kAudioIn, DeliveryGuard::Point::Frame,
     [](DigitalDevice* d) { return d->TerminateVideoIn() == 1 && d->PrepareVideoIn() == 1; },
     // The new session's ring starts empty: no frame of the old one.
     [](DigitalDevice* d) { EXPECT_EQ(d->GetVideoInRingBufferWritePosition(), 0u); }},
    {"AudioInTerminatedThenPreparedAgainWhileTheMonitorRuns", kVideoConfidence | kAudioIn,
     DeliveryGuard::Point::Audio,
     [](DigitalDevice* d) { return d->TerminateAudioIn() == 1 && d->PrepareAudioIn(Channels(2, {0, 1})) == 1; },
     [](DigitalDevice* d) { EXPECT_EQ(d->GetAudioInRingBufferWritePosition(0), 0u); }},
    {"SampleRateChangedAfterAnAbort", kAudioIn, DeliveryGuard::Point::Audio,
     [](DigitalDevice* d) {
         DIOFormat format(3);
         format.SetKeywordParameter(kKeywordVideoSignal, VideoSignalKeywordValue(DIO_NTSC));
         format.SetKeywordParameter(kKeywordAudioSampleRate, SampleRateKeywordValue(DIO_Audio32000));
         return d->AbortAudioIn() == 1 && d->SetControl(kControlDeviceFormat, &format) == 1;
     },
     [](DigitalDevice* d) { EXPECT_EQ(d->AudioInGetState(), VDMAborted); }},
};

INSTANTIATE_TEST_SUITE_P(Sequences, DeliveryRaces, ::testing::ValuesIn(kRaces),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace capture_test
