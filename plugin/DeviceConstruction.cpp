// Making the device: its queues, locks, starting values, default formats and events.
// Nothing here touches the card; the session opens on first use.
#include "device/CDV1394.h"
#include "device/DefaultFormat.h"
#include "queues/DV1394AudioInput.h"
#include "queues/DV1394AudioOutput.h"
#include "queues/DV1394VideoInput.h"
#include "queues/DV1394VideoOutput.h"

#include <new>

using namespace dv1394;

CRITICAL_SECTION CDV1394::m_csCaptureThreadTimecode;
CRITICAL_SECTION CDV1394::m_csCaptureThreadStart;
CRITICAL_SECTION CDV1394::m_csRecordThreadStart;
CRITICAL_SECTION CDV1394::m_csDevicePresentCall;
CRITICAL_SECTION CDV1394::m_csTimeCodeDiscontinuity;

namespace {

// "No timecode": the smallest frame count, with an all-zero description.
timecode_t EmptyTimecode() {
    const timecodeDesc_t none{};
    return TCCreateDur(kTCEmptyFrameCount, &none);
}

}  // namespace

// The base and the embedded m_DV25Timecode exist before the body runs; the initialisers
// give every member its starting value (0 where the member's owner sets it later).
CDV1394::CDV1394()
    : m_pVideoIn(nullptr),
      m_pVideoConfidence(nullptr),
      m_pVideoOut(nullptr),
      m_pAudioIn(nullptr),
      m_pAudioOut(nullptr),
      m_nCaptureFramesAvailable(0),
      m_nCaptureFramesTaken(0),
      m_nCaptureFrameBase(0),
      m_nPlaybackFrameBase(0),
      m_nPlaybackFrameNow(0),
      m_nFramesSentToDriver(0),
      m_nFramesInDriver(0),
      m_tcStart(EmptyTimecode()),
      m_tcRecord(EmptyTimecode()),
      m_bStartTimecodeSet(false),
      m_bStartTimecodeUsed(false),
      m_Discontinuity{0, EmptyTimecode(), EmptyTimecode()},
      m_bStartReached(false),
      m_bStartMissed(false),
      m_dwLastTCTick(0),
      m_tcCurrent(EmptyTimecode()),
      m_tcFirstDecoded(EmptyTimecode()),
      m_tcExpected(EmptyTimecode()),
      m_tcContinuityMark{},
      m_bTimecodeFromFrame(false),
      m_bContinuityPending(false),
      m_nTCFramesSinceCheck(1),
      // Half the tick range ago: reads as "no frame for ages", so no signal.
      m_dwLastFrameTick(GetTickCount() - 0x80000000u),
      m_nFrameDelay(5),
      m_nFrameDelayTimed(8),
      m_dwFourCC(0x44562f43),  // 'DV/C'
      m_nControl1000B(0),
      m_nControl30001(120000),
      m_szLastError{},
      m_nTCFrameRate(30),
      m_bTCDropFrame(1),
      m_hKordex(0),
      m_bDDCInitialized(0),
      m_bDeviceInitialized(0),
      m_bAVWritable(0),
      m_bSeekPending(0),
      m_bLibrarySeekOnly(0),
      m_nEditMode(EditModeNone),
      m_tcDesc(TCCreateDesc(1, 30)),
      m_tcPreroll(EmptyTimecode()),
      m_tcIn(EmptyTimecode()),
      m_nRecordPlayDelay(0),
      m_nRecordStopDelay(0),
      m_nATNFrameOffset(0),
      m_bHasSMPTETimecode(0),
      m_bVideoInPrepared(false),
      m_bVideoConfidencePrepared(false),
      m_bAudioInPrepared(false),
      m_bVideoOutPrepared(false),
      m_bAudioOutPrepared(false),
      m_bCaptureThreadRunning(false),
      m_bRecordThreadRunning(false),
      m_bStopCaptureThread(false),
      m_hCaptureThreadStarted(nullptr),
      m_hRecordThreadStarted(nullptr),
      m_hCaptureThreadDone(nullptr),
      m_hRecordThreadDone(nullptr),
      m_eVideoFormat(DIO_NoVideoFormat),
      m_bSignalPresent(false),
      m_eAudioFormatIn(DIO_NoAudioFormat),
      m_eAudioFormatOut(DIO_NoAudioFormat),
      m_pBlackFrame(nullptr),
      m_pSilentReshuffler(nullptr),
      m_pSilentChannels(nullptr),
      m_pCaptureFormat(nullptr),
      m_pPrintFormat(nullptr),
      m_pDeviceFormat(nullptr),
      m_bExtraFrameQueued(false),
      m_pOutputFrameBuffer(nullptr),
      m_nNumOutputFrames(0),
      m_bSendingToCamera(false),
      m_hRecordEvents{},
      m_nAudioOutCommand(EventNone),
      m_nVideoOutCommand(EventNone),
      m_nOutputDevices(0),
      m_bTraceDeckControl(false),
      m_bTraceCapture(false),
      m_bTracePlayback(false),
      m_nPreloadedFrames(0),
      m_nCommandsPosted(0),
      m_nAudioOutCommandTicket(0),
      m_nVideoOutCommandTicket(0),
      m_nCommandAnswered(0),
      m_nCommandRunning(0),
      m_bAcknowledgeDue(false),
      m_bRunningCommand(false),
      m_bRecordThreadLaunched(false) {
    // A queue that cannot be allocated stays null; the device is still usable for the
    // rest, and the stream operations check their queue.
    m_pVideoIn = new (std::nothrow) DV1394VideoInput;
    m_pVideoConfidence = new (std::nothrow) DV1394VideoInput;
    m_pVideoOut = new (std::nothrow) DV1394VideoOutput;
    m_pAudioIn = new (std::nothrow) DV1394AudioInput;
    m_pAudioOut = new (std::nothrow) DV1394AudioOutput;

    InitializeCriticalSection(&m_csCaptureThreadTimecode);
    InitializeCriticalSection(&m_csCaptureThreadStart);
    InitializeCriticalSection(&m_csRecordThreadStart);
    InitializeCriticalSection(&m_csDevicePresentCall);
    InitializeCriticalSection(&m_csTimeCodeDiscontinuity);

    m_pCaptureFormat = CreateDefaultFormat();
    m_pPrintFormat = CreateDefaultFormat();
    m_pDeviceFormat = CreateDefaultFormat();

    // The record thread's events: end, AudioOut command, VideoOut command, done. All
    // manual-reset and clear, so nothing is pending before the thread exists.
    for (HANDLE& event : m_hRecordEvents) event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_hRecordThreadStarted = CreateEventA(nullptr, TRUE, FALSE, "RecordThreadStarted");
    m_hRecordThreadDone = CreateEventA(nullptr, TRUE, FALSE, "RecordThreadDone");
    // The capture thread's two events are made by the first input Prepare.

    // Dimension the device for the default formats. Whether the standard "changed" from
    // none is of no interest here.
    bool videoChanged = false;
    UpdateFormats(m_pCaptureFormat, m_pPrintFormat, &videoChanged);
    UpdateFormat(m_pDeviceFormat, &videoChanged);

    // The continuity check starts from a fixed reference: frame 73200 at 30 fps.
    m_tcContinuityMark = timecode_t{};
    m_tcContinuityMark.desc.frameRate = 30;
    m_tcContinuityMark.frameCount = 73200;
}
