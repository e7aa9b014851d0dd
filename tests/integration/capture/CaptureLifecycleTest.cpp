// The capture thread's life: which card calls bring the card into capture mode from
// each state it may be in (with their trace lines), what a card refusing capture
// leaves behind, pausing and restarting a capture, and which Terminate ends the thread.
#include "CaptureFixture.h"
#include "HostTaker.h"
#include "TestTapes.h"

#include "PluginTestAccess.h"
#include "sim/SimControl.h"

#include <algorithm>

namespace capture_test {
namespace {

constexpr LONG kNtscFrame = kDVFrameSizeNTSC;
using Access = PluginTestAccess;

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
        FreezeClock();
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
    SetTrace(2);  // capture
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
    EXPECT_FALSE(Access::m_bCaptureThreadRunning(*device_).load());
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
    ASSERT_TRUE(WaitFor([&] { return ControlLong(kControlErrorCount) == 2; })) << "VideoIn and AudioIn errors";
    EXPECT_EQ(Access::m_nErrors(*Access::m_pVideoIn(*device_)).load(), 1);
    EXPECT_EQ(Access::m_nErrors(*Access::m_pVideoConfidence(*device_)).load(), 1);
    EXPECT_EQ(Access::m_nErrors(*Access::m_pAudioIn(*device_)).load(), 1);

    // The streams carry on as if the thread ran: Arm and Start succeed, nothing arrives.
    const uint64_t mark = cardsim::JournalMark();
    Do({Step::Arm}, kVideoConfidence | kAudioIn);
    EXPECT_TRUE(ModeCallsSince(mark).empty()) << "no second thread";
    Do({Step::Start}, kAllStreams);
    EXPECT_EQ(device_->VideoInGetState(), VDMRunning);
    Do({Step::Terminate}, kAllStreams);
    EXPECT_FALSE(Access::m_bCaptureThreadRunning(*device_).load());
}

TEST_F(CaptureLifecycle, ACardInAnUnknownStateIsNotTouched) {
    cardsim::ForceDriverState(0x300);
    Prepare(kVideoIn, 4);
    const uint64_t mark = cardsim::JournalMark();
    ASSERT_EQ(device_->ArmVideoIn(), 1);
    EXPECT_EQ(LastError(), "DV input device error");
    EXPECT_EQ(ModeCallsSince(mark), std::vector<std::string>{"PdvGetDriverState"});
    ASSERT_TRUE(WaitFor([&] { return Access::m_nErrors(*Access::m_pVideoIn(*device_)).load() == 1; }));
    EXPECT_EQ(device_->StartVideoIn(), 1);
}

TEST_F(CaptureLifecycle, PausingEveryInputStreamAndStartingAgainBeginsAFreshCapture) {
    // Two jumps in a row early on leave a break in the record of the first capture.
    cardsim::AddTimecodeBreak(112, 300);
    cardsim::AddTimecodeBreak(113, 300);
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK);
    Prepare(kVideoIn | kAudioIn, 30, Channels(2, {0}));
    Do({Step::Arm, Step::Start}, kVideoIn | kAudioIn);
    FeedFrames(20);  // 100 to 119; 107 on delivered
    EXPECT_EQ(device_->VideoInCurrentFrame(), 13);
    EXPECT_EQ(BreakRecord().nCount, 1);

    Do({Step::Pause}, kVideoIn | kAudioIn);
    FeedFrames(5);  // 120 to 124: taken from the card, not delivered
    EXPECT_EQ(device_->GetVideoInRingBufferWritePosition(), 13u * kNtscFrame);

    ASSERT_TRUE(WaitForIdlePoll());
    Do({Step::Start}, kVideoIn | kAudioIn);
    FeedFrames(15);  // 125 sees the start, 126 to 131 dropped, 132 to 139 delivered
    EXPECT_EQ(device_->VideoInCurrentFrame(), 8) << "the frame count starts again";
    EXPECT_EQ(BreakRecord().nCount, 0) << "so does the break record";
    EXPECT_EQ(Access::m_nFramesDeshuffled(*Access::m_pAudioIn(*device_)).load(), 8) << "the audio statistics start again";

    std::vector<int64_t> delivered = Span(107, 13);
    for (int64_t p : Span(132, 8)) delivered.push_back(p);
    const std::vector<uint8_t> frames = TapeBytes(delivered);
    const StreamTaker video = StreamTaker::VideoIn(device_, 300000, 1).Take();
    EXPECT_TRUE(video.Bytes() == frames) << "frame " << FirstDifference(video.Bytes(), frames) / kNtscFrame;
    EXPECT_TRUE(StreamTaker::AudioIn(device_, 0, 4000, 2).Take().Samples() == TapeAudio(delivered, Channels(1, {0}))[0]);
}

TEST_F(CaptureLifecycle, OnlyTheTerminateThatLeavesNoInputStreamPreparedEndsTheThread) {
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK);
    Prepare(kVideoIn | kAudioIn, 20);
    Do({Step::Arm, Step::Start}, kVideoIn | kAudioIn);
    FeedFrames(10);

    // VideoIn goes; AudioIn is still prepared, so the thread goes on taking frames.
    uint64_t mark = cardsim::JournalMark();
    ASSERT_EQ(device_->TerminateVideoIn(), 1);
    EXPECT_EQ(device_->VideoInGetState(), VDMIdle);
    EXPECT_TRUE(ModeCallsSince(mark).empty());
    EXPECT_TRUE(Access::m_bCaptureThreadRunning(*device_).load());
    const ULONG audioBefore = device_->GetAudioInRingBufferWritePosition(0);
    FeedFrames(10);
    EXPECT_GT(device_->GetAudioInRingBufferWritePosition(0), audioBefore) << "AudioIn still receives";
    EXPECT_EQ(device_->VideoInCurrentFrame(), 3) << "VideoIn does not";

    // AudioIn goes too: Terminate returns once the thread has ended capture and gone.
    mark = cardsim::JournalMark();
    ASSERT_EQ(device_->TerminateAudioIn(), 1);
    EXPECT_EQ(ModeCallsSince(mark), (std::vector<std::string>{"PdvGetDriverState", "PdvStopCapture", "PdvEndCapture"}));
    EXPECT_FALSE(Access::m_bCaptureThreadRunning(*device_).load());
    EXPECT_FALSE(Access::m_bStopCaptureThread(*device_).load());
    EXPECT_EQ(WaitForSingleObject(Access::m_hCaptureThreadDone(*device_), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the done event is ready for the next thread";
    EXPECT_EQ(WaitForSingleObject(Access::m_hCaptureThreadStarted(*device_), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    // The audio rings went with the thread.
    EXPECT_EQ(device_->GetAudioInRingBufferWritePosition(0), 0u);
    void* data = reinterpret_cast<void*>(1);
    DIOFormat* format = nullptr;
    EXPECT_EQ(device_->ReqAudioInTakePtr(100, &data, &format, 0), 0);
    EXPECT_EQ(data, nullptr);

    // Nothing polls the card any more.
    mark = cardsim::JournalMark();
    cardsim::AdvanceClock(100000);
    Sleep(50);
    for (const cardsim::JournalEntry& entry : cardsim::JournalSince(mark))
        EXPECT_NE(entry.function, "PdvGetCapturedFrame");

    // A new Arm starts a new thread, from a fresh capture mode.
    Prepare(kVideoIn, 4);
    mark = cardsim::JournalMark();
    ASSERT_EQ(device_->ArmVideoIn(), 1);
    EXPECT_EQ(ModeCallsSince(mark), (std::vector<std::string>{"PdvGetDriverState", "PdvBeginCapture", "PdvStartCapture"}));
    ASSERT_EQ(device_->TerminateVideoIn(), 1);
}

}  // namespace
}  // namespace capture_test
