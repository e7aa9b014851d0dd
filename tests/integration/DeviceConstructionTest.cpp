// A newly made device: its members, queues, formats, events and locks, and that it
// touches nothing outside itself while being made.
#include "FormatReadback.h"
#include "MemberChecks.h"
#include "PluginTestAccess.h"

#include "device/DefaultFormat.h"
#include "hostcore/ThreadContext.h"
#include "Win32DebugSink.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace dv1394;

namespace {

using A = PluginTestAccess;

#define T(member) MEMBER_TYPE(CDV1394, member)
static_assert(kAllHaveDocumentedType<DV1394VideoInput*, T(m_pVideoIn), T(m_pVideoConfidence)> &&
              kAllHaveDocumentedType<DV1394VideoOutput*, T(m_pVideoOut)> &&
              kAllHaveDocumentedType<DV1394AudioInput*, T(m_pAudioIn)> &&
              kAllHaveDocumentedType<DV1394AudioOutput*, T(m_pAudioOut)>);
static_assert(kAllHaveDocumentedType<LONG, T(m_nCaptureFramesAvailable), T(m_nCaptureFramesTaken),
                                     T(m_nCaptureFrameBase), T(m_nPlaybackFrameBase), T(m_nPlaybackFrameNow),
                                     T(m_nFramesSentToDriver), T(m_nFramesInDriver), T(m_nTCFramesSinceCheck),
                                     T(m_nFrameDelay), T(m_nFrameDelayTimed), T(m_nControl1000B),
                                     T(m_nControl30001), T(m_nTCFrameRate), T(m_bTCDropFrame), T(m_hKordex),
                                     T(m_bDDCInitialized), T(m_bDeviceInitialized), T(m_bAVWritable),
                                     T(m_bSeekPending), T(m_bLibrarySeekOnly), T(m_nRecordPlayDelay),
                                     T(m_nRecordStopDelay), T(m_nATNFrameOffset), T(m_bHasSMPTETimecode),
                                     T(m_nNumOutputFrames), T(m_nOutputDevices), T(m_nPreloadedFrames)>);
static_assert(kAllHaveDocumentedType<timecode_t, T(m_tcStart), T(m_tcRecord), T(m_tcCurrent), T(m_tcFirstDecoded),
                                     T(m_tcExpected), T(m_tcContinuityMark), T(m_tcPreroll), T(m_tcIn)>);
static_assert(kAllHaveDocumentedType<bool, T(m_bStartTimecodeSet), T(m_bStartTimecodeUsed), T(m_bStartReached),
                                     T(m_bStartMissed), T(m_bTimecodeFromFrame), T(m_bContinuityPending),
                                     T(m_bVideoInPrepared), T(m_bVideoConfidencePrepared), T(m_bAudioInPrepared),
                                     T(m_bVideoOutPrepared), T(m_bAudioOutPrepared), T(m_bCaptureThreadRunning),
                                     T(m_bRecordThreadRunning), T(m_bStopCaptureThread), T(m_bSignalPresent),
                                     T(m_bExtraFrameQueued), T(m_bSendingToCamera), T(m_bTraceDeckControl),
                                     T(m_bTraceCapture), T(m_bTracePlayback)>);
static_assert(kAllHaveDocumentedType<DWORD, T(m_dwLastTCTick), T(m_dwLastFrameTick), T(m_dwFourCC)> &&
              kAllHaveDocumentedType<HANDLE, T(m_hCaptureThreadStarted), T(m_hRecordThreadStarted),
                                     T(m_hCaptureThreadDone), T(m_hRecordThreadDone)> &&
              kAllHaveDocumentedType<HANDLE[4], T(m_hRecordEvents)> &&
              kAllHaveDocumentedType<char[256], T(m_szLastError)>);
static_assert(kAllHaveDocumentedType<TimecodeDiscontinuity, T(m_Discontinuity)> &&
              kAllHaveDocumentedType<DV25Timecode, T(m_DV25Timecode)> &&
              kAllHaveDocumentedType<DeviceEditMode_t, T(m_nEditMode)> &&
              kAllHaveDocumentedType<timecodeDesc_t, T(m_tcDesc)> &&
              kAllHaveDocumentedType<CDV1394_Event, T(m_nAudioOutCommand), T(m_nVideoOutCommand)>);
static_assert(kAllHaveDocumentedType<DIO_VideoFormat, T(m_eVideoFormat)> &&
              kAllHaveDocumentedType<DIO_AudioFormat, T(m_eAudioFormatIn), T(m_eAudioFormatOut)> &&
              kAllHaveDocumentedType<BYTE*, T(m_pBlackFrame), T(m_pOutputFrameBuffer)> &&
              kAllHaveDocumentedType<DV25audioReshuffler*, T(m_pSilentReshuffler)> &&
              kAllHaveDocumentedType<BitMask*, T(m_pSilentChannels)> &&
              kAllHaveDocumentedType<DIOFormat*, T(m_pCaptureFormat), T(m_pPrintFormat), T(m_pDeviceFormat)>);
#undef T

void ExpectEmpty(const timecode_t& tc, const char* name) {
    const timecode_t empty{{0, 0, 0}, static_cast<LONG>(0x80000000u)};
    EXPECT_EQ(0, std::memcmp(&tc, &empty, sizeof tc)) << name;
}

bool IsSignalled(HANDLE event) {
    return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

TEST(DeviceConstruction, MembersInTheHostOrderWithTheirDocumentedValues) {
    win32::DebugCapture log;
    const DWORD before = GetTickCount();
    std::unique_ptr<CDV1394> device(new CDV1394);
    CDV1394& d = *device;
    // Making the device writes nothing and starts nothing.
    EXPECT_TRUE(log.Entries().empty());
    EXPECT_EQ(ThreadContext::RegisteredCount(), 0u);

    MemberAddressList members;
#define COLLECT(member) members.emplace_back(#member, reinterpret_cast<std::uintptr_t>(&A::member(d)));
    CDV1394_MEMBERS(COLLECT)
#undef COLLECT
    EXPECT_EQ(members.size(), 85u);
    ExpectDeclarationOrder(members);

    for (const auto& tc : {A::m_tcStart(d), A::m_tcRecord(d), A::m_tcCurrent(d), A::m_tcFirstDecoded(d),
                           A::m_tcExpected(d), A::m_tcPreroll(d), A::m_tcIn(d), A::m_Discontinuity(d).tcBefore,
                           A::m_Discontinuity(d).tcAfter})
        ExpectEmpty(tc, "a timecode the constructor leaves empty");
    EXPECT_EQ(A::m_Discontinuity(d).nCount, 0);

    const timecodeDesc_t ndf30{0, 30, 0};
    const timecode_t mark = A::m_tcContinuityMark(d);
    EXPECT_EQ(0, std::memcmp(&mark.desc, &ndf30, sizeof ndf30));
    EXPECT_EQ(mark.frameCount, 73200);

    const timecodeDesc_t desc = A::m_tcDesc(d);
    const timecodeDesc_t expectedDesc = TCCreateDesc(1, 30);
    EXPECT_EQ(0, std::memcmp(&desc, &expectedDesc, sizeof desc));
    EXPECT_EQ(desc.dropFrame & 1u, 1u);
    EXPECT_EQ(ValueOf(A::m_nTCFrameRate(d)), 30);
    EXPECT_EQ(ValueOf(A::m_bTCDropFrame(d)), 1);
    EXPECT_EQ(ValueOf(A::m_nEditMode(d)), EditModeNone);
    EXPECT_EQ(ValueOf(A::m_nTCFramesSinceCheck(d)), 1);
    EXPECT_EQ(ValueOf(A::m_nFrameDelay(d)), 5);
    EXPECT_EQ(ValueOf(A::m_nFrameDelayTimed(d)), 8);
    EXPECT_EQ(ValueOf(A::m_dwFourCC(d)), 0x44562f43u);
    EXPECT_EQ(ValueOf(A::m_nControl1000B(d)), 0);
    EXPECT_EQ(ValueOf(A::m_nControl30001(d)), 120000);
    EXPECT_EQ(A::m_szLastError(d)[0], '\0');
    EXPECT_EQ(ValueOf(A::m_nAudioOutCommand(d)), EventNone);
    EXPECT_EQ(ValueOf(A::m_nVideoOutCommand(d)), EventNone);

    // The last frame is half the tick range old: no signal.
    const DWORD age = before - ValueOf(A::m_dwLastFrameTick(d));
    EXPECT_GE(age, 0x80000000u - 60000u);
    EXPECT_LE(age, 0x80000000u);
    EXPECT_EQ(ValueOf(A::m_dwLastTCTick(d)), 0u);

    for (LONG value : {ValueOf(A::m_nCaptureFramesAvailable(d)), ValueOf(A::m_nCaptureFramesTaken(d)),
                       ValueOf(A::m_nCaptureFrameBase(d)), ValueOf(A::m_nPlaybackFrameBase(d)),
                       ValueOf(A::m_nPlaybackFrameNow(d)), ValueOf(A::m_nFramesSentToDriver(d)),
                       ValueOf(A::m_nFramesInDriver(d)), ValueOf(A::m_hKordex(d)), ValueOf(A::m_bDDCInitialized(d)),
                       ValueOf(A::m_bDeviceInitialized(d)), ValueOf(A::m_bAVWritable(d)),
                       ValueOf(A::m_bSeekPending(d)), ValueOf(A::m_bLibrarySeekOnly(d)),
                       ValueOf(A::m_nRecordPlayDelay(d)), ValueOf(A::m_nRecordStopDelay(d)),
                       ValueOf(A::m_nATNFrameOffset(d)), ValueOf(A::m_bHasSMPTETimecode(d)),
                       ValueOf(A::m_nNumOutputFrames(d)), ValueOf(A::m_nOutputDevices(d)),
                       ValueOf(A::m_nPreloadedFrames(d))})
        EXPECT_EQ(value, 0);

    for (bool flag : {ValueOf(A::m_bStartTimecodeSet(d)), ValueOf(A::m_bStartTimecodeUsed(d)),
                      ValueOf(A::m_bStartReached(d)), ValueOf(A::m_bStartMissed(d)),
                      ValueOf(A::m_bTimecodeFromFrame(d)), ValueOf(A::m_bContinuityPending(d)),
                      ValueOf(A::m_bVideoInPrepared(d)), ValueOf(A::m_bVideoConfidencePrepared(d)),
                      ValueOf(A::m_bAudioInPrepared(d)), ValueOf(A::m_bVideoOutPrepared(d)),
                      ValueOf(A::m_bAudioOutPrepared(d)), ValueOf(A::m_bCaptureThreadRunning(d)),
                      ValueOf(A::m_bRecordThreadRunning(d)), ValueOf(A::m_bStopCaptureThread(d)),
                      ValueOf(A::m_bSignalPresent(d)), ValueOf(A::m_bExtraFrameQueued(d)),
                      ValueOf(A::m_bSendingToCamera(d)), ValueOf(A::m_bTraceDeckControl(d)),
                      ValueOf(A::m_bTraceCapture(d)), ValueOf(A::m_bTracePlayback(d))})
        EXPECT_FALSE(flag);
}

TEST(DeviceConstruction, FiveQueuesAndThreeSeparateDefaultFormats) {
    std::unique_ptr<CDV1394> device(new CDV1394);
    CDV1394& d = *device;
    // Which queue each state slot reports is checked by slot number in SlotOrder.
    EXPECT_TRUE(A::m_pVideoIn(d) && A::m_pVideoConfidence(d) && A::m_pVideoOut(d) && A::m_pAudioIn(d) &&
                A::m_pAudioOut(d));
    EXPECT_NE(A::m_pVideoIn(d), A::m_pVideoConfidence(d));

    DIOFormat* formats[] = {A::m_pCaptureFormat(d), A::m_pPrintFormat(d), A::m_pDeviceFormat(d)};
    const std::vector<std::string> expected = {"VSIG=NTSC", "VCMP=DV25", "ASRT=48000", "ASSZ=16"};
    for (DIOFormat* format : formats) {
        ASSERT_NE(format, nullptr);
        EXPECT_EQ(KeywordsOf(format), expected);
        EXPECT_EQ(format->MaxParameters(), 3);
        EXPECT_EQ(format->GetFormatChange(), 0);
        EXPECT_EQ(format->GetFormatChangeBreak(), 0);
    }
    // Changing one leaves the others alone: they are separate objects, not one shared.
    ASSERT_NE(formats[2]->SetKeywordParameter(kKeywordVideoSignal, "PAL"), 0);
    ASSERT_NE(formats[1]->SetKeywordParameter(kKeywordVideoSignal, "PAL"), 0);
    char value[32] = {};
    ASSERT_NE(formats[0]->GetKeywordParameter(kKeywordVideoSignal, value), 0);
    EXPECT_STREQ(value, "NTSC");
    ASSERT_NE(formats[2]->SetKeywordParameter(kKeywordVideoSignal, "NTSC"), 0);
    ASSERT_NE(formats[1]->GetKeywordParameter(kKeywordVideoSignal, value), 0);
    EXPECT_STREQ(value, "PAL");
}

TEST(DeviceConstruction, RecordThreadEventsAreClearAndTheCaptureEventsWaitForPrepare) {
    std::unique_ptr<CDV1394> device(new CDV1394);
    CDV1394& d = *device;
    HANDLE* events = A::m_hRecordEvents(d);
    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(events[i], nullptr) << "record event " << i;
        EXPECT_FALSE(IsSignalled(events[i])) << "record event " << i;
        for (int j = 0; j < i; ++j) EXPECT_NE(events[i], events[j]);
    }
    // Manual reset: a set event stays set for every waiter until reset.
    SetEvent(events[3]);
    EXPECT_TRUE(IsSignalled(events[3]));
    EXPECT_TRUE(IsSignalled(events[3]));
    ResetEvent(events[3]);

    // The two named events are the ones any other part of the process opens by name
    // (through a handle of its own on Windows): setting one by name shows on the device's.
    HANDLE started = CreateEventA(nullptr, TRUE, FALSE, "RecordThreadStarted");
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, "RecordThreadDone");
    EXPECT_FALSE(IsSignalled(started));
    EXPECT_FALSE(IsSignalled(done));
    SetEvent(started);
    EXPECT_TRUE(IsSignalled(A::m_hRecordThreadStarted(d)));
    EXPECT_FALSE(IsSignalled(A::m_hRecordThreadDone(d)));
    ResetEvent(started);
    SetEvent(done);
    EXPECT_TRUE(IsSignalled(A::m_hRecordThreadDone(d)));
    EXPECT_FALSE(IsSignalled(A::m_hRecordThreadStarted(d)));
    ResetEvent(done);
    CloseHandle(started);
    CloseHandle(done);

    EXPECT_EQ(A::m_hCaptureThreadStarted(d), nullptr);
    EXPECT_EQ(A::m_hCaptureThreadDone(d), nullptr);
}

TEST(DeviceConstruction, TheFiveLocksAreLiveAndDistinct) {
    CRITICAL_SECTION* locks[] = {&CDV1394::m_csCaptureThreadTimecode, &CDV1394::m_csCaptureThreadStart,
                                 &CDV1394::m_csRecordThreadStart, &CDV1394::m_csDevicePresentCall,
                                 &CDV1394::m_csTimeCodeDiscontinuity};
    auto* device = new CDV1394;
    // While this thread holds one lock, another thread gets every other one but not it.
    for (size_t i = 0; i < 5; ++i) {
        EnterCriticalSection(locks[i]);
        std::vector<bool> entered(5);
        std::thread([&] {
            for (size_t j = 0; j < 5; ++j) {
                entered[j] = TryEnterCriticalSection(locks[j]) != FALSE;
                if (entered[j]) LeaveCriticalSection(locks[j]);
            }
        }).join();
        LeaveCriticalSection(locks[i]);
        for (size_t j = 0; j < 5; ++j) EXPECT_EQ(entered[j], j != i) << i << " held, " << j << " tried";
    }
    delete device;
}

}  // namespace
