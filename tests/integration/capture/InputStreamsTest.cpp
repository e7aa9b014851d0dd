// The input stream slots on their own: ring set-up and negotiation, the state machine,
// the take protocol at a format change, and what bad host input gets.
#include "CaptureFixture.h"
#include "HostTaker.h"

#include "queues/DV1394AudioInput.h"
#include "queues/DV1394VideoInput.h"
#include "device/DefaultFormat.h"
#include "PluginTestAccess.h"

#include <chrono>
#include <cstdint>
#include <cstring>

using namespace dv1394;

namespace capture_test {
namespace {

using Access = PluginTestAccess;
constexpr LONG kNtscFrame = kDVFrameSizeNTSC;

using Call = unsigned char (CDV1394::*)();
constexpr int kAnyState = -1;

class InputStreams : public CaptureFixture {
protected:
    DV1394VideoInput& VideoQueue() { return *Access::m_pVideoIn(*device_); }
    DV1394AudioInput& AudioQueue() { return *Access::m_pAudioIn(*device_); }

    // Calls of a stream's life cycle in order, each with its result and the state the
    // stream is in after it (read through `state`, unless kAnyState).
    struct Expected {
        Call call;
        int result;
        int after = kAnyState;
    };
    void ExpectCalls(VDMDeviceState (CDV1394::*state)(), std::initializer_list<Expected> calls) {
        int i = 0;
        for (const Expected& c : calls) {
            EXPECT_EQ((device_->*c.call)(), c.result) << "call " << i;
            if (c.after != kAnyState) {
                EXPECT_EQ((device_->*state)(), c.after) << "after call " << i;
            }
            ++i;
        }
    }
};

TEST_F(InputStreams, VideoRingsArePageAlignedWholeGranulesOfTheNegotiatedSizes) {
    EXPECT_EQ(device_->NegotiateVideoInPageSize(4096), 4096);
    EXPECT_EQ(device_->NegotiateVideoInBlockSize(4096), 4096);
    ASSERT_EQ(device_->SetVideoInRingBufferSize(1200000), 1);
    EXPECT_EQ(Access::m_nAllocSize(VideoQueue()), 1204096);
    // The system hands out page-aligned blocks: all but the last partial granule is usable.
    EXPECT_EQ(device_->GetVideoInRingBufferSize(), 1200128);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(Access::m_pBuffer(VideoQueue())) % 4096, 0u);

    // Sizes that are not powers of two are rounded up to one before they align anything.
    EXPECT_EQ(device_->NegotiateVideoConfidencePageSize(3000), 3000);
    EXPECT_EQ(device_->NegotiateVideoConfidenceBlockSize(100), 100);
    ASSERT_EQ(device_->SetVideoConfidenceRingBufferSize(500000), 1);
    EXPECT_EQ(Access::m_nGranularity(*Access::m_pVideoConfidence(*device_)), 4096);
    EXPECT_EQ(device_->GetVideoConfidenceRingBufferSize(), (500000 + 4096) / 4096 * 4096);

    // Below 1 becomes 1 when negotiated, and the default when a ring is made.
    EXPECT_EQ(device_->NegotiateVideoInPageSize(0), 1);
    EXPECT_EQ(Access::m_nPageSize(VideoQueue()), 1);
    EXPECT_EQ(device_->NegotiateVideoInBlockSize(-7), 1);
    ASSERT_EQ(device_->SetVideoInRingBufferSize(120000), 1);
    EXPECT_EQ(device_->GetVideoInRingBufferSize(), 120001) << "granules of one byte: the whole block";

    // Sizes a ring cannot have are refused and leave the ring as it was.
    EXPECT_EQ(device_->SetVideoInRingBufferSize(0), 0);
    EXPECT_EQ(device_->SetVideoInRingBufferSize(-120000), 0);
    EXPECT_EQ(device_->SetVideoInRingBufferSize((1 << 30) + 1), 0);
    EXPECT_EQ(device_->GetVideoInRingBufferSize(), 120001);
    EXPECT_NE(Access::m_pFifo(VideoQueue()), nullptr);
}

TEST_F(InputStreams, VideoStreamsFollowTheHostLifeCycle) {
    OpenSession();
    constexpr auto kState = &CDV1394::VideoInGetState;
    // No ring yet: nothing to prepare, arm or abort.
    ExpectCalls(kState, {{&CDV1394::PrepareVideoIn, 0}, {&CDV1394::PrepareVideoConfidence, 0},
                         {&CDV1394::ArmVideoIn, 0}, {&CDV1394::AbortVideoIn, 0}});
    Prepare(kVideoIn, 4);
    EXPECT_EQ(device_->VideoInGetState(), VDMPrepared);
    // Not armed: no Start or Pause; armed once; not running: no Pause.
    ExpectCalls(kState, {{&CDV1394::StartVideoIn, 0}, {&CDV1394::PauseVideoIn, 0},
                         {&CDV1394::ArmVideoIn, 1, VDMArmed}, {&CDV1394::ArmVideoIn, 0}, {&CDV1394::PauseVideoIn, 0}});

    // Prepare of an armed stream fails, but still starts the bookkeeping of a new
    // capture: the counters and the start timecode.
    SetStartTimecode(1234);
    LONG overruns = 5;
    ASSERT_TRUE(VideoQueue().SetParameter(kControlVideoInOverruns, &overruns));
    EXPECT_EQ(device_->PrepareVideoIn(), 0);
    EXPECT_EQ(ControlLong(kControlVideoInOverruns), 0);
    timecode_t start{};
    ASSERT_EQ(device_->GetControl(kControlStartTimecode, &start), 1);
    EXPECT_TRUE(TCIsEmpty(start));
    EXPECT_EQ(device_->SetVideoInRingBufferSize(10 * kNtscFrame), 0) << "the capture thread may write into it";

    // An aborted stream can be prepared again; Terminate always succeeds.
    ExpectCalls(kState, {{&CDV1394::StartVideoIn, 1, VDMRunning}, {&CDV1394::PauseVideoIn, 1, VDMArmed},
                         {&CDV1394::StartVideoIn, 1}, {&CDV1394::AbortVideoIn, 1, VDMAborted},
                         {&CDV1394::AbortVideoIn, 0}, {&CDV1394::PrepareVideoIn, 1},
                         {&CDV1394::TerminateVideoIn, 1, VDMIdle}, {&CDV1394::TerminateVideoIn, 1}});
    EXPECT_GT(device_->GetVideoInRingBufferSize(), 0) << "the ring stays for the next capture";

    // Start and Pause need the capture thread.
    Prepare(kVideoConfidence, 3);
    ExpectCalls(&CDV1394::VideoConfidenceGetState,
                {{&CDV1394::ArmVideoConfidence, 1, VDMArmed}, {&CDV1394::StartVideoConfidence, 1, VDMRunning},
                 {&CDV1394::PauseVideoConfidence, 1}, {&CDV1394::AbortVideoConfidence, 1},
                 {&CDV1394::TerminateVideoConfidence, 1, VDMIdle}});
    Access::m_pVideoConfidence(*device_)->SetState(VDMArmed);
    EXPECT_EQ(device_->StartVideoConfidence(), 0) << "the thread has ended";
    Access::m_pVideoConfidence(*device_)->SetState(VDMIdle);

    EXPECT_EQ(device_->VideoInReadFrameIndex(nullptr, 5), 0);
    device_->VideoInSetCurrentFrame(99);
    EXPECT_EQ(device_->VideoInCurrentFrame(), 0);
}

TEST_F(InputStreams, AwaitStateSleepsOnceForTheTimeOutInMicroseconds) {
    OpenSession();
    Prepare(kVideoIn, 2);
    ASSERT_EQ(device_->ArmVideoIn(), 1);
    EXPECT_EQ(device_->VideoInAwaitState(VDMArmed, 5000000), 1) << "already there: no sleep";
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(device_->VideoInAwaitState(VDMRunning, 120000), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(120)) << "microseconds, slept once";
    EXPECT_EQ(device_->VideoInAwaitState(VDMRunning, -5000000), 0) << "a negative time-out does not sleep";
    EXPECT_EQ(device_->AudioInAwaitState(VDMIdle, 0), 1);
    EXPECT_EQ(device_->VideoConfidenceAwaitState(VDMPrepared, 999), 0);
}

TEST_F(InputStreams, TheTakeProtocolNeverCrossesAFormatChange) {
    ASSERT_EQ(device_->SetVideoInRingBufferSize(12 * kNtscFrame), 1);
    DV1394VideoInput& queue = VideoQueue();
    ASSERT_EQ(queue.GetFrameSize(), kNtscFrame);
    std::vector<uint8_t> frame(kDVFrameSizePAL);
    const auto write = [&](int count, uint8_t fill) {
        for (int i = 0; i < count; ++i) {
            std::fill(frame.begin(), frame.end(), static_cast<uint8_t>(fill + i));
            ASSERT_TRUE(queue.WriteFrame(frame.data()));
        }
    };
    void* data = nullptr;
    DIOFormat* format = nullptr;
    const auto rateOf = [](DIOFormat* record) {
        char rate[20] = "none";
        if (record != nullptr) record->GetKeywordParameter(kKeywordAudioSampleRate, rate);
        return std::string(rate);
    };
    // A record is handed out only with bytes behind it: until then it may be half filled.
    queue.RecordFormatChange(DIO_Audio48000, DIO_NTSC, false);
    EXPECT_EQ(device_->ReqVideoInTakePtr(kNtscFrame, &data, &format), 0);
    EXPECT_EQ(format, nullptr);

    // Three frames of 48 kHz material, then two of 32 kHz.
    write(3, 10);
    queue.RecordFormatChange(DIO_Audio32000, DIO_NTSC, false);
    write(2, 20);
    EXPECT_EQ(device_->GetVideoInRingBufferWritePosition(), 5u * kNtscFrame);

    LONG n = device_->ReqVideoInTakePtr(10 * kNtscFrame, &data, &format);
    EXPECT_EQ(n, 3 * kNtscFrame) << "cut at the change";
    EXPECT_EQ(rateOf(format), "48000");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(static_cast<uint8_t*>(data)[3 * kNtscFrame - 1], 12);

    // Acknowledging past the change would skip it: refused and counted.
    device_->AckVideoInTakePtr(4 * kNtscFrame);
    EXPECT_EQ(device_->GetVideoInRingBufferReadPosition(), 0u);
    EXPECT_EQ(ControlLong(kControlVideoInOverruns), 1);
    device_->AckVideoInTakePtr(3 * kNtscFrame);
    EXPECT_EQ(device_->GetVideoInRingBufferReadPosition(), 3u * kNtscFrame);

    // At the change: no bytes, the new format; the next request continues in it.
    n = device_->ReqVideoInTakePtr(kNtscFrame, &data, &format);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(data, nullptr);
    ASSERT_EQ(rateOf(format), "32000");
    EXPECT_TRUE(format->GetFormatChange());
    DIOFormat* changed = format;
    n = device_->ReqVideoInTakePtr(10 * kNtscFrame, &data, &format);
    EXPECT_EQ(n, 2 * kNtscFrame);
    EXPECT_EQ(format, changed);
    EXPECT_EQ(static_cast<uint8_t*>(data)[0], 20);
    device_->AckVideoInTakePtr(n);

    // A restart of the capture thread while the host still holds a frame of 32 kHz to
    // take: that frame keeps its format, and the new material is a break after it.
    write(1, 30);
    queue.ResetFramesWritten();
    queue.RecordFormatChange(DIO_Audio48000, DIO_NTSC, true);
    write(1, 40);
    n = device_->ReqVideoInTakePtr(10 * kNtscFrame, &data, &format);
    EXPECT_EQ(n, kNtscFrame);
    EXPECT_EQ(format, changed);
    device_->AckVideoInTakePtr(n);
    EXPECT_EQ(device_->ReqVideoInTakePtr(kNtscFrame, &data, &format), 0);
    ASSERT_NE(format, changed);
    ASSERT_EQ(rateOf(format), "48000");
    EXPECT_TRUE(format->GetFormatChange());
    EXPECT_TRUE(format->GetFormatChangeBreak());
    EXPECT_EQ(ControlLong(kControlErrorCount), 0);

    // The monitor's list is never written: every take has no format and no change.
    ASSERT_EQ(device_->SetVideoConfidenceRingBufferSize(4 * kNtscFrame), 1);
    ASSERT_TRUE(Access::m_pVideoConfidence(*device_)->WriteFrame(frame.data()));
    format = reinterpret_cast<DIOFormat*>(&frame);
    EXPECT_EQ(device_->ReqVideoConfidenceTakePtr(2 * kNtscFrame, &data, &format), kNtscFrame);
    EXPECT_EQ(format, nullptr);

    // A frame is written whole or not at all.
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(Access::m_pVideoConfidence(*device_)->WriteFrame(frame.data()));
    EXPECT_FALSE(Access::m_pVideoConfidence(*device_)->WriteFrame(frame.data()));
    EXPECT_EQ(device_->GetVideoConfidenceRingBufferWritePosition(), 4u * kNtscFrame);
}

TEST_F(InputStreams, AudioChannelsAreTheMasksBitsAndEachHasItsOwnRing) {
    EXPECT_EQ(device_->NegotiateAudioInBlockSize(4096), 0);
    EXPECT_EQ(device_->NegotiateAudioInPageSize(777), 777);
    EXPECT_EQ(device_->PrepareAudioIn(Channels(4, {0, 1})), 0) << "no ring size yet";
    EXPECT_EQ(device_->SetAudioInRingBufferSize(0), 0);
    ASSERT_EQ(device_->SetAudioInRingBufferSize(4 * 3888), 1);
    EXPECT_EQ(device_->GetAudioInRingBufferSize(), 4 * 3888);

    ASSERT_EQ(device_->PrepareAudioIn(Channels(4, {0, 1})), 1);
    EXPECT_EQ(Access::m_nChannels(AudioQueue()).load(), 2);
    EXPECT_NE(Access::m_apFifo(AudioQueue())[0], nullptr);
    EXPECT_NE(Access::m_apFifo(AudioQueue())[1], nullptr);
    EXPECT_EQ(Access::m_apFifo(AudioQueue())[2], nullptr);
    ASSERT_EQ(device_->TerminateAudioIn(), 1);

    // Channels 2 and 5: their rings, and theirs only, serve the host.
    ASSERT_EQ(device_->PrepareAudioIn(Channels(8, {2, 5})), 1);
    EXPECT_EQ(Access::m_nChannels(AudioQueue()).load(), 2);
    DIOFifo* five = Access::m_apFifo(AudioQueue())[5];
    ASSERT_NE(five, nullptr);
    const uint8_t samples[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(five->WriteBytesInto(samples, 6, false));
    void* data = nullptr;
    DIOFormat* format = nullptr;
    EXPECT_EQ(device_->ReqAudioInTakePtr(100, &data, &format, 5), 6);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::memcmp(data, samples, 6), 0);
    device_->AckAudioInTakePtr(6, 5);
    EXPECT_EQ(device_->GetAudioInRingBufferReadPosition(5), 6u);
    EXPECT_EQ(device_->GetAudioInRingBufferWritePosition(5), 6u);
    // Channel 0 was selected before and still has its ring, but it is not the host's now.
    EXPECT_EQ(device_->ReqAudioInTakePtr(100, &data, &format, 0), 0);
    EXPECT_EQ(data, nullptr);
    for (int channel : {-1, 3, 127, 128, 100000}) {
        data = reinterpret_cast<void*>(1);
        EXPECT_EQ(device_->ReqAudioInTakePtr(100, &data, &format, channel), 0) << channel;
        EXPECT_EQ(data, nullptr) << channel;
        EXPECT_EQ(device_->GetAudioInRingBufferWritePosition(channel), 0u) << channel;
        device_->AckAudioInTakePtr(10, channel);
    }
    EXPECT_EQ(device_->ReqAudioInTakePtr(100, nullptr, &format, 5), 0);
    EXPECT_EQ(device_->ReqAudioInTakePtr(100, &data, nullptr, 5), 0);

    // A mask naming a channel beyond the 128 the queues hold is refused outright.
    EXPECT_EQ(device_->PrepareAudioIn(Channels(200, {1, 130})), 0);
    EXPECT_EQ(Access::m_apFifo(AudioQueue())[5], five) << "nothing changed";
}

TEST_F(InputStreams, AudioInLifeCycleAndItsMessages) {
    OpenSession();
    Prepare(kAudioIn, 8);
    EXPECT_EQ(device_->AudioInGetState(), VDMPrepared);
    log_.Clear();
    EXPECT_EQ(device_->PauseAudioIn(), 0);
    EXPECT_EQ(log_.Entries(), std::vector<std::string>{"Could not Pause AudioIn - Must be running first\n"});
    ASSERT_EQ(device_->ArmAudioIn(), 1);
    EXPECT_EQ(device_->AudioInGetState(), VDMArmed);

    // While armed the rings and the mask stay: a Prepare with another mask fails and
    // changes neither, but clears the overrun count (the error count is kept).
    DIOFifo* left = Access::m_apFifo(AudioQueue())[0];
    LONG count = 3;
    ASSERT_TRUE(AudioQueue().SetParameter(kControlAudioInOverruns, &count));
    ASSERT_TRUE(AudioQueue().SetParameter(kControlErrorCount, &count));
    EXPECT_EQ(device_->PrepareAudioIn(Channels(4, {2, 3})), 0);
    EXPECT_EQ(Access::m_apFifo(AudioQueue())[0], left);
    EXPECT_EQ(Access::m_nChannels(AudioQueue()).load(), 2);
    EXPECT_EQ(ControlLong(kControlAudioInOverruns), 0);
    EXPECT_EQ(Access::m_nErrors(AudioQueue()).load(), 3);

    ExpectCalls(&CDV1394::AudioInGetState, {{&CDV1394::StartAudioIn, 1, VDMRunning}, {&CDV1394::PauseAudioIn, 1},
                                            {&CDV1394::StartAudioIn, 1}, {&CDV1394::AbortAudioIn, 1, VDMAborted},
                                            {&CDV1394::TerminateAudioIn, 1, VDMIdle}});
    EXPECT_EQ(Access::m_apFifo(AudioQueue())[0], nullptr) << "the last input stream took the rings with it";

    // Pausing with the thread gone says so.
    AudioQueue().SetState(VDMRunning);
    log_.Clear();
    EXPECT_EQ(device_->PauseAudioIn(), 0);
    EXPECT_EQ(log_.Entries(), std::vector<std::string>{"Could not Pause Audio - Capture thread is not alive \n"});
    AudioQueue().SetState(VDMIdle);
}

}  // namespace
}  // namespace capture_test
