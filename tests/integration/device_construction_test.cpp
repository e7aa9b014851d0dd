// A newly made device: its members, queues, formats, events and locks, and that it
// touches nothing outside itself while being made.
#include "member_checks.h"
#include "plugin_test_access.h"

#include "capture/default_format.h"
#include "hostcore/ThreadContext.h"
#include "win32_debug_sink.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

using A = PluginTestAccess;

#define EXPECT_MEMBER_TYPE(Class, member, Type)                                                       \
    static_assert(kHasDocumentedType<std::remove_reference_t<decltype(A::member(std::declval<Class&>()))>, \
                                     Type>,                                                           \
                  #member " keeps its documented type")

EXPECT_MEMBER_TYPE(CDV1394, m_pVideoIn, DV1394VideoInput*);
EXPECT_MEMBER_TYPE(CDV1394, m_pVideoConfidence, DV1394VideoInput*);
EXPECT_MEMBER_TYPE(CDV1394, m_pVideoOut, DV1394VideoOutput*);
EXPECT_MEMBER_TYPE(CDV1394, m_pAudioIn, DV1394AudioInput*);
EXPECT_MEMBER_TYPE(CDV1394, m_pAudioOut, DV1394AudioOutput*);
EXPECT_MEMBER_TYPE(CDV1394, m_nCaptureFramesAvailable, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_nCaptureFramesTaken, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_nCaptureFrameBase, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_nPlaybackFrameBase, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_nPlaybackFrameNow, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_nFramesSentToDriver, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_nFramesInDriver, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_tcStart, timecode_t);
EXPECT_MEMBER_TYPE(CDV1394, m_tcRecord, timecode_t);
EXPECT_MEMBER_TYPE(CDV1394, m_bStartTimecodeSet, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_bStartTimecodeUsed, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_Discontinuity, TimecodeDiscontinuity);
EXPECT_MEMBER_TYPE(CDV1394, m_DV25Timecode, DV25Timecode);
EXPECT_MEMBER_TYPE(CDV1394, m_bStartReached, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_bStartMissed, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_dwLastTCTick, DWORD);
EXPECT_MEMBER_TYPE(CDV1394, m_tcCurrent, timecode_t);
EXPECT_MEMBER_TYPE(CDV1394, m_tcFirstDecoded, timecode_t);
EXPECT_MEMBER_TYPE(CDV1394, m_tcExpected, timecode_t);
EXPECT_MEMBER_TYPE(CDV1394, m_tcContinuityMark, timecode_t);
EXPECT_MEMBER_TYPE(CDV1394, m_bTimecodeFromFrame, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_bContinuityPending, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_nTCFramesSinceCheck, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_dwLastFrameTick, DWORD);
EXPECT_MEMBER_TYPE(CDV1394, m_nFrameDelay, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_nFrameDelayTimed, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_dwFourCC, DWORD);
EXPECT_MEMBER_TYPE(CDV1394, m_nControl1000B, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_nControl30001, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_szLastError, char[256]);
EXPECT_MEMBER_TYPE(CDV1394, m_nTCFrameRate, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_bTCDropFrame, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_hKordex, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_bDDCInitialized, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_bDeviceInitialized, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_bAVWritable, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_bSeekPending, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_bLibrarySeekOnly, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_nEditMode, DeviceEditMode_t);
EXPECT_MEMBER_TYPE(CDV1394, m_tcDesc, timecodeDesc_t);
EXPECT_MEMBER_TYPE(CDV1394, m_tcPreroll, timecode_t);
EXPECT_MEMBER_TYPE(CDV1394, m_tcIn, timecode_t);
EXPECT_MEMBER_TYPE(CDV1394, m_nRecordPlayDelay, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_nRecordStopDelay, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_nATNFrameOffset, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_bHasSMPTETimecode, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_bVideoInPrepared, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_bVideoConfidencePrepared, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_bAudioInPrepared, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_bVideoOutPrepared, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_bAudioOutPrepared, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_bCaptureThreadRunning, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_bRecordThreadRunning, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_bStopCaptureThread, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_hCaptureThreadStarted, HANDLE);
EXPECT_MEMBER_TYPE(CDV1394, m_hRecordThreadStarted, HANDLE);
EXPECT_MEMBER_TYPE(CDV1394, m_hCaptureThreadDone, HANDLE);
EXPECT_MEMBER_TYPE(CDV1394, m_hRecordThreadDone, HANDLE);
EXPECT_MEMBER_TYPE(CDV1394, m_eVideoFormat, DIO_VideoFormat);
EXPECT_MEMBER_TYPE(CDV1394, m_bSignalPresent, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_eAudioFormatIn, DIO_AudioFormat);
EXPECT_MEMBER_TYPE(CDV1394, m_eAudioFormatOut, DIO_AudioFormat);
EXPECT_MEMBER_TYPE(CDV1394, m_pBlackFrame, BYTE*);
EXPECT_MEMBER_TYPE(CDV1394, m_pSilentReshuffler, DV25audioReshuffler*);
EXPECT_MEMBER_TYPE(CDV1394, m_pSilentChannels, BitMask*);
EXPECT_MEMBER_TYPE(CDV1394, m_pCaptureFormat, DIOFormat*);
EXPECT_MEMBER_TYPE(CDV1394, m_pPrintFormat, DIOFormat*);
EXPECT_MEMBER_TYPE(CDV1394, m_pDeviceFormat, DIOFormat*);
EXPECT_MEMBER_TYPE(CDV1394, m_bExtraFrameQueued, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_pOutputFrameBuffer, BYTE*);
EXPECT_MEMBER_TYPE(CDV1394, m_nNumOutputFrames, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_bSendingToCamera, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_hRecordEvents, HANDLE[4]);
EXPECT_MEMBER_TYPE(CDV1394, m_nAudioOutCommand, CDV1394_Event);
EXPECT_MEMBER_TYPE(CDV1394, m_nVideoOutCommand, CDV1394_Event);
EXPECT_MEMBER_TYPE(CDV1394, m_nOutputDevices, LONG);
EXPECT_MEMBER_TYPE(CDV1394, m_bTraceDeckControl, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_bTraceCapture, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_bTracePlayback, bool);
EXPECT_MEMBER_TYPE(CDV1394, m_nPreloadedFrames, LONG);

void ExpectEmpty(const timecode_t& tc, const char* name) {
    EXPECT_EQ(tc.frameCount, static_cast<LONG>(0x80000000u)) << name;
    EXPECT_EQ(tc.desc.dropFrame, 0u) << name;
    EXPECT_EQ(tc.desc.frameRate, 0u) << name;
    EXPECT_EQ(tc.desc.reserved, 0u) << name;
}

bool IsSignalled(HANDLE event) {
    return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

// The keywords of a format, in order, as "KEY=value" texts.
std::vector<std::string> KeywordsOf(DIOFormat* format) {
    std::vector<std::string> keywords;
    for (int i = 0; i < format->NumParameters(); ++i) {
        LONG key = 0;
        char value[32] = {};
        if (format->GetNthParameter(i, &key, value) == 0) break;
        std::string text;
        for (int shift = 24; shift >= 0; shift -= 8) text += static_cast<char>((key >> shift) & 0xFF);
        keywords.push_back(text + "=" + value);
    }
    return keywords;
}

TEST(DeviceConstruction, MembersAreDeclaredInTheHostOrder) {
    std::unique_ptr<CDV1394> device(new CDV1394);
    MemberAddressList members;
#define COLLECT(member) members.emplace_back(#member, reinterpret_cast<std::uintptr_t>(&A::member(*device)));
    CDV1394_MEMBERS(COLLECT)
#undef COLLECT
    EXPECT_EQ(members.size(), 85u);
    ExpectDeclarationOrder(members);
}

TEST(DeviceConstruction, MembersStartWithTheirDocumentedValues) {
    win32::DebugCapture log;
    const DWORD before = GetTickCount();
    std::unique_ptr<CDV1394> device(new CDV1394);
    CDV1394& d = *device;
    // Making the device writes nothing and starts nothing.
    EXPECT_TRUE(log.Entries().empty());
    EXPECT_EQ(ThreadContext::RegisteredCount(), 0u);

    for (const auto& tc : {A::m_tcStart(d), A::m_tcRecord(d), A::m_tcCurrent(d), A::m_tcFirstDecoded(d),
                           A::m_tcExpected(d), A::m_tcPreroll(d), A::m_tcIn(d)})
        ExpectEmpty(tc, "a timecode the constructor leaves empty");
    EXPECT_EQ(A::m_Discontinuity(d).nCount, 0);
    ExpectEmpty(A::m_Discontinuity(d).tcBefore, "m_Discontinuity.tcBefore");
    ExpectEmpty(A::m_Discontinuity(d).tcAfter, "m_Discontinuity.tcAfter");

    const timecode_t mark = A::m_tcContinuityMark(d);
    EXPECT_EQ(mark.desc.dropFrame, 0u);
    EXPECT_EQ(mark.desc.frameRate, 30u);
    EXPECT_EQ(mark.desc.reserved, 0u);
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

    EXPECT_EQ(ValueOf(A::m_nAudioOutCommand(d)), EventNone);
    EXPECT_EQ(ValueOf(A::m_nVideoOutCommand(d)), EventNone);
}

TEST(DeviceConstruction, QueuesExistAndEveryStreamIsIdle) {
    std::unique_ptr<CDV1394> device(new CDV1394);
    CDV1394& d = *device;
    ASSERT_NE(A::m_pVideoIn(d), nullptr);
    ASSERT_NE(A::m_pVideoConfidence(d), nullptr);
    ASSERT_NE(A::m_pVideoOut(d), nullptr);
    ASSERT_NE(A::m_pAudioIn(d), nullptr);
    ASSERT_NE(A::m_pAudioOut(d), nullptr);
    EXPECT_NE(A::m_pVideoIn(d), A::m_pVideoConfidence(d));

    DigitalDevice* host = device.get();
    EXPECT_EQ(host->VideoInGetState(), VDMIdle);
    EXPECT_EQ(host->VideoConfidenceGetState(), VDMIdle);
    EXPECT_EQ(host->VideoOutGetState(), VDMIdle);
    EXPECT_EQ(host->AudioInGetState(), VDMIdle);
    EXPECT_EQ(host->AudioOutGetState(), VDMIdle);

    // Each state slot reports its own stream's queue.
    A::m_pVideoIn(d)->SetState(VDMPrepared);
    A::m_pVideoConfidence(d)->SetState(VDMArmed);
    A::m_pVideoOut(d)->SetState(VDMRunning);
    A::m_pAudioIn(d)->SetState(VDMAborted);
    A::m_pAudioOut(d)->SetState(VDMArmed);
    EXPECT_EQ(host->VideoInGetState(), VDMPrepared);
    EXPECT_EQ(host->VideoConfidenceGetState(), VDMArmed);
    EXPECT_EQ(host->VideoOutGetState(), VDMRunning);
    EXPECT_EQ(host->AudioInGetState(), VDMAborted);
    EXPECT_EQ(host->AudioOutGetState(), VDMArmed);
}

TEST(DeviceConstruction, ThreeSeparateDefaultFormats) {
    std::unique_ptr<CDV1394> device(new CDV1394);
    CDV1394& d = *device;
    DIOFormat* formats[] = {A::m_pCaptureFormat(d), A::m_pPrintFormat(d), A::m_pDeviceFormat(d)};
    const std::vector<std::string> expected = {"VSIG=NTSC", "VCMP=DV25", "ASRT=48000", "ASSZ=16"};
    for (DIOFormat* format : formats) {
        ASSERT_NE(format, nullptr);
        EXPECT_EQ(KeywordsOf(format), expected);
        EXPECT_EQ(format->MaxParameters(), 3);
        EXPECT_EQ(format->GetFormatChange(), 0);
        EXPECT_EQ(format->GetFormatChangeBreak(), 0);
    }
    EXPECT_NE(formats[0], formats[1]);
    EXPECT_NE(formats[1], formats[2]);
    EXPECT_NE(formats[0], formats[2]);

    // Changing one leaves the others alone: they are separate objects, not one shared.
    ASSERT_NE(formats[2]->SetKeywordParameter(kKeywordVideoSignal, "PAL"), 0);
    char value[32] = {};
    ASSERT_NE(formats[0]->GetKeywordParameter(kKeywordVideoSignal, value), 0);
    EXPECT_STREQ(value, "NTSC");
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

    // The two named events are the ones any other part of the process opens by name.
    HANDLE started = CreateEventA(nullptr, TRUE, FALSE, "RecordThreadStarted");
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, "RecordThreadDone");
    EXPECT_EQ(started, A::m_hRecordThreadStarted(d));
    EXPECT_EQ(done, A::m_hRecordThreadDone(d));
    EXPECT_NE(started, done);
    EXPECT_FALSE(IsSignalled(started));
    EXPECT_FALSE(IsSignalled(done));
    CloseHandle(started);
    CloseHandle(done);

    EXPECT_EQ(A::m_hCaptureThreadStarted(d), nullptr);
    EXPECT_EQ(A::m_hCaptureThreadDone(d), nullptr);
}

TEST(DeviceConstruction, TheFiveLocksLiveAsLongAsTheDevice) {
    CRITICAL_SECTION* locks[] = {&CDV1394::m_csCaptureThreadTimecode, &CDV1394::m_csCaptureThreadStart,
                                 &CDV1394::m_csRecordThreadStart, &CDV1394::m_csDevicePresentCall,
                                 &CDV1394::m_csTimeCodeDiscontinuity};
    auto* device = new CDV1394;
    for (CRITICAL_SECTION* lock : locks) {
        ASSERT_NE(lock->impl, nullptr);
        ASSERT_TRUE(TryEnterCriticalSection(lock));
        LeaveCriticalSection(lock);
    }
    for (size_t i = 0; i < 5; ++i)
        for (size_t j = 0; j < i; ++j) EXPECT_NE(locks[i]->impl, locks[j]->impl);
    delete device;
    for (CRITICAL_SECTION* lock : locks) EXPECT_EQ(lock->impl, nullptr);
}

}  // namespace
