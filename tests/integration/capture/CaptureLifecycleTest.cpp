// The capture thread's life: which card calls bring the card into capture mode from
// each state it may be in (with their trace lines), what a card refusing capture
// leaves behind, and a device deleted while it captures.
#include "CaptureFixture.h"
#include "hostcore/ThreadContext.h"
#include "sim/SimControl.h"

namespace capture_test {
namespace {

// Card calls of the capture and playback modes, in order, since the journal entry `after`.
std::vector<std::string> ModeCallsSince(uint64_t after) {
    static const char* const kModeCalls[] = {"PdvGetDriverState", "PdvBeginCapture", "PdvStartCapture",
                                             "PdvStopCapture",    "PdvEndCapture",   "PdvBeginPlayback",
                                             "PdvStartPlayback",  "PdvStopPlayback", "PdvEndPlayback"};
    std::vector<std::string> calls;
    for (const cardsim::JournalEntry& entry : cardsim::JournalSince(after))
        for (const char* name : kModeCalls)
            if (entry.function == name) calls.push_back(entry.function);
    return calls;
}

// The card-call trace lines, without the polling of the frame counter.
std::vector<std::string> TraceWithoutPolling(const std::vector<std::string>& entries) {
    std::vector<std::string> lines;
    for (const std::string& line : entries)
        if (line.rfind("Pdv", 0) == 0 && line != "PdvGetCapturedFrame\n") lines.push_back(line);
    return lines;
}

class CaptureLifecycle : public CaptureFixture {
protected:
    void SetUp() override {
        CaptureFixture::SetUp();
        cardsim::UseManualClock(true);  // frames arrive only through PassFrames
        OpenSession();
    }
};

struct CardStateCase {
    const char* name;
    std::vector<BOOL (*)()> enter;            // the calls that bring the card into the state
    LONG state;                               // the card's mode when VideoIn is armed
    std::vector<std::string> leaveCalls;      // the calls that bring it to idle
    std::vector<std::string> leaveTraceLines; // and their trace
};

class CaptureFromCardState : public CaptureLifecycle, public ::testing::WithParamInterface<CardStateCase> {};

TEST_P(CaptureFromCardState, ArmBringsTheCardIntoCaptureModeAndTerminateTakesItOut) {
    const CardStateCase& mode = GetParam();
    for (BOOL (*call)() : mode.enter) ASSERT_TRUE(call());
    ASSERT_EQ(PdvGetDriverState(), mode.state);
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK);
    LONG captureTrace = 2;
    ASSERT_EQ(device_->SetControl(kControlTraceSwitches, &captureTrace), 1);
    Prepare(kVideoIn, 4);
    const uint64_t mark = cardsim::JournalMark();
    log_.Clear();
    Do({Step::Arm}, kVideoIn);
    EXPECT_EQ(cardsim::GetCardStatus().driverState, PDV_STATE_CAPTURING);

    std::vector<std::string> calls = {"PdvGetDriverState"};
    calls.insert(calls.end(), mode.leaveCalls.begin(), mode.leaveCalls.end());
    calls.insert(calls.end(), {"PdvBeginCapture", "PdvStartCapture"});
    EXPECT_EQ(ModeCallsSince(mark), calls);
    // The trace: one line after each card call (the calls that leave a mode share one).
    std::vector<std::string> lines = {"PdvGetDriverState\n"};
    lines.insert(lines.end(), mode.leaveTraceLines.begin(), mode.leaveTraceLines.end());
    lines.insert(lines.end(), {"PdvBeginCapture\n", "PdvStartCapture\n"});
    EXPECT_EQ(TraceWithoutPolling(log_.Entries()), lines);
    EXPECT_GE(log_.Count("PdvGetCapturedFrame\n"), 1u) << "the frame base and the polling are traced";
    EXPECT_TRUE(LastError().empty());

    // Two frames: each is looked up, then released, both traced.
    Do({Step::Start}, kVideoIn);
    FeedFrames(2);
    EXPECT_EQ(log_.Count("PdvSetCapturedFrame\n"), 2u);

    const uint64_t endMark = cardsim::JournalMark();
    log_.Clear();
    ASSERT_EQ(device_->TerminateVideoIn(), 1);
    // Terminate returned only after the thread took the card out of capture mode.
    EXPECT_EQ(ModeCallsSince(endMark), (std::vector<std::string>{"PdvGetDriverState", "PdvStopCapture", "PdvEndCapture"}));
    EXPECT_EQ(TraceWithoutPolling(log_.Entries()),
              (std::vector<std::string>{"PdvGetDriverState\n", "PdvStopCapture\n", "PdvEndCapture\n"}));
    EXPECT_EQ(cardsim::GetCardStatus().driverState, PDV_STATE_IDLE);
}

INSTANTIATE_TEST_SUITE_P(
    States, CaptureFromCardState,
    ::testing::Values(
        CardStateCase{"Idle", {}, PDV_STATE_IDLE, {}, {}},
        CardStateCase{"CaptureOpen", {PdvBeginCapture}, PDV_STATE_CAPTURE_OPEN, {"PdvEndCapture"}, {"PdvEndCapture\n"}},
        // Capturing is left as the playback side leaves it: stop playback (which the
        // card refuses here), then end capture.
        CardStateCase{"Capturing", {PdvBeginCapture, PdvStartCapture}, PDV_STATE_CAPTURING,
                      {"PdvStopPlayback", "PdvEndCapture"}, {"PdvStopPlayback\nPdvEndCapture\n"}},
        CardStateCase{"PlaybackOpen", {PdvBeginPlayback}, PDV_STATE_PLAYBACK_OPEN, {"PdvEndPlayback"},
                      {"PdvEndPlayback\n"}},
        CardStateCase{"Playing", {PdvBeginPlayback, PdvStartPlayback}, PDV_STATE_PLAYING,
                      {"PdvStopPlayback", "PdvEndPlayback"}, {"PdvStopPlayback\nPdvEndPlayback\n"}}),
    [](const ::testing::TestParamInfo<CardStateCase>& info) { return std::string(info.param.name); });

TEST_F(CaptureLifecycle, ACardThatRefusesCaptureLeavesAnErrorOnEveryInputQueueAndStartStillSucceeds) {
    cardsim::RefuseCaptureStart(KDX_E_DEV_REJECT_SRV);
    Prepare(kAllStreams, 4);
    Do({Step::Arm}, kVideoIn);
    EXPECT_EQ(LastError(), "DV input device error");
    // The thread has ended at once; its end counts one error on each input queue.
    ASSERT_TRUE(WaitUntil([&] { return ControlLong(kControlErrorCount) == 2; })) << "VideoIn and AudioIn errors";
    // The streams carry on as if the thread ran: Arm and Start succeed, nothing arrives.
    const uint64_t mark = cardsim::JournalMark();
    Do({Step::Arm}, kVideoConfidence | kAudioIn);
    EXPECT_TRUE(ModeCallsSince(mark).empty()) << "no second thread";
    Do({Step::Start}, kAllStreams);
    EXPECT_EQ(device_->VideoInGetState(), VDMRunning);
    Do({Step::Terminate}, kAllStreams);
}

// Teardown stops a running capture thread before it frees what the thread writes into
// (the address sanitizer watches) and closes the card.
TEST_F(CaptureLifecycle, DeletingTheDeviceWhileItCapturesEndsTheThreadFirst) {
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK);
    Prepare(kAllStreams, 8);
    Do({Step::Arm, Step::Start}, kAllStreams);
    FeedFrames(12);
    ASSERT_GT(device_->VideoInCurrentFrame(), 0);
    const size_t threads = ThreadContext::RegisteredCount();
    Bounded("deleting a capturing device", [this] { delete device_; });
    device_ = nullptr;
    EXPECT_FALSE(cardsim::GetCardStatus().open);
    EXPECT_TRUE(WaitUntil([&] { return ThreadContext::RegisteredCount() == threads - 2; }, 5))
        << "the capture and record threads end";
}

}  // namespace
}  // namespace capture_test
