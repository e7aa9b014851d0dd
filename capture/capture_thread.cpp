// The capture thread: moves captured DV frames from the card's ring into the input
// streams.
//
// Started by the first Arm of an input stream (VideoIn, VideoConfidence or AudioIn)
// through StartCaptureThreadOnce; ended by the Terminate that leaves no input stream
// prepared, which sets m_bStopCaptureThread and waits for "CaptureThreadDone". While
// it lives it owns the card's capture mode and frame access, the CaptureRun state and
// the writing side of the input rings; it follows the streams by reading their states.
#include "capture/capture_run.h"

#include "KDXCORE.h"
#include "capture/DV1394AudioInput.h"
#include "capture/DV1394VideoInput.h"
#include "hostcore/ThreadContext.h"

#include <cstdio>

namespace {

[[noreturn]] void RunCaptureThread(CDV1394* device) {
    const bool error = device->DVCaptureThread();
    device->EndCaptureThread(error);
    // From here on the device may already be gone: touch nothing of it.
    ThreadContext::Unregister();
    _endthread();
}

// Entry of the thread a video Arm starts: video frames must not wait.
void CaptureThreadTimeCritical(void* device) {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    RunCaptureThread(static_cast<CDV1394*>(device));
}

// Entry of the thread ArmAudioIn starts: the caller's priority is enough for audio.
void CaptureThreadNormalPriority(void* device) {
    RunCaptureThread(static_cast<CDV1394*>(device));
}

}  // namespace

bool CDV1394::StartCaptureThreadOnce(bool timeCritical) {
    bool started = true;
    // Held while the thread starts, so that two Arms cannot both start one; the
    // thread itself takes this lock only at its very end, after "started".
    EnterCriticalSection(&m_csCaptureThreadStart);
    if (!m_bCaptureThreadRunning) {
        const uintptr_t thread =
            _beginthread(timeCritical ? CaptureThreadTimeCritical : CaptureThreadNormalPriority, 0, this);
        if (thread == static_cast<uintptr_t>(-1)) {
            started = false;
        } else {
            // Set once the card entered capture mode, or refused to.
            WaitForSingleObject(m_hCaptureThreadStarted, INFINITE);
            m_bCaptureThreadRunning = true;
        }
    }
    LeaveCriticalSection(&m_csCaptureThreadStart);
    return started;
}

bool CDV1394::EndCaptureThreadIfUnused() {
    if (m_bVideoInPrepared || m_bVideoConfidencePrepared || m_bAudioInPrepared || !m_bCaptureThreadRunning)
        return false;
    StopCaptureThread();
    return true;
}

bool CDV1394::DVCaptureThread() {
    ThreadContext::Register();
    CaptureRun run;
    if (!InitKordexCapture()) {
        std::snprintf(m_szLastError, sizeof m_szLastError, "%s", kInputDeviceError);
        // Arm waits for this event; it must come even when the card refused.
        SetEvent(m_hCaptureThreadStarted);
        return true;
    }
    m_nCaptureFramesAvailable = 0;
    m_nCaptureFramesTaken = 0;
    m_nCaptureFrameBase = 0;
    m_nCaptureFrameBase = CapturedFrameCounter();
    m_bStartReached = false;
    m_bTimecodeFromFrame = false;
    // Only now may Arm return: every frame the card captures from here on is counted
    // from the base just read.
    SetEvent(m_hCaptureThreadStarted);

    while (!m_bStopCaptureThread) {
        FollowInputStreams(run);
        if (!WaitForCapturedFrame()) break;

        m_dwLastFrameTick = GetTickCount();
        if (m_pAudioIn != nullptr && m_pAudioIn->GetState() == VDMRunning && m_pAudioIn->IsMeasureIdle())
            m_pAudioIn->StartMeasurement(m_nCaptureFramesAvailable - run.counterAtActivation + 1);
        if (m_bStopCaptureThread) break;
        if (NumFramesInCaptureQueue() > kCaptureBacklogLimit) NotifyCaptureOverrun();

        BYTE* frame = PdvGetCapturedFrameAddr(m_nCaptureFrameBase + m_nCaptureFramesTaken);
        if (m_bStopCaptureThread) break;
        if (frame == nullptr) {
            // The card has no frame there after all: consume the index, and tell the
            // host that something went wrong if it is taking data.
            if (m_pVideoIn != nullptr && m_pVideoIn->GetState() == VDMRunning) m_pVideoIn->CountError();
            if (m_pVideoConfidence != nullptr && m_pVideoConfidence->GetState() == VDMRunning)
                m_pVideoConfidence->CountError();
            if (m_pAudioIn != nullptr && m_pAudioIn->GetState() == VDMRunning) m_pAudioIn->CountError();
        } else {
            // Every frame's timecode is read, also while nothing is delivered: deck
            // timecode queries are answered from it.
            m_dwLastTCTick = GetTickCount();
            DecodeTimecode(frame);
            ApplyStartPointRule(run);
            if (m_bStartReached && run.skip <= 0) DeliverCapturedFrame(run, frame);
        }
        ConsumeCapturedFrame(run);
    }
    return EndKordexCapture();
}

void CDV1394::EndCaptureThread(bool error) {
    EnterCriticalSection(&m_csCaptureThreadStart);
    if (error) {
        if (m_pVideoIn != nullptr) m_pVideoIn->CountError();
        if (m_pVideoConfidence != nullptr) m_pVideoConfidence->CountError();
        if (m_pAudioIn != nullptr) m_pAudioIn->CountError();
    }
    SetEvent(m_hCaptureThreadDone);
    ResetEvent(m_hCaptureThreadStarted);
    LeaveCriticalSection(&m_csCaptureThreadStart);
}

void CDV1394::FollowInputStreams(CaptureRun& run) {
    const int will = WhichInputDevicesWillRun();
    const int are = WhichInputDevicesAreRunning();
    if (are == will && will != 0 && !run.active) {
        // Every prepared input stream runs: a capture starts, from a clean slate.
        run.active = true;
        if (m_pAudioIn != nullptr) m_pAudioIn->ResetStats();
        if (m_pVideoIn != nullptr) m_pVideoIn->ResetFramesWritten();
        if (m_pVideoConfidence != nullptr) m_pVideoConfidence->ResetFramesWritten();
        run.counterAtActivation = CapturedFrameCounter() - m_nCaptureFrameBase;
        m_bStartMissed = false;
        EnterCriticalSection(&m_csCaptureThreadTimecode);
        const timecode_t empty = TCCreateDur(kTCEmptyFrameCount, &m_tcDesc);
        m_tcCurrent = empty;
        m_tcFirstDecoded = empty;
        m_tcExpected = empty;
        run.start = m_tcStart;
        LeaveCriticalSection(&m_csCaptureThreadTimecode);
        run.framesWaited = 0;
        run.trackedAudio = DIO_NoAudioFormat;
        run.trackedVideo = DIO_NoVideoFormat;
        EnterCriticalSection(&m_csTimeCodeDiscontinuity);
        m_Discontinuity = TimecodeDiscontinuity{0, empty, empty};
        LeaveCriticalSection(&m_csTimeCodeDiscontinuity);
        m_bContinuityPending = false;
        m_nTCFramesSinceCheck = 1;
        if (!TCIsEmpty(run.start)) {
            // Delivery begins at the frame that carries the start timecode.
            m_bStartReached = false;
            run.skip = 0;
            run.lastTimecode = run.start;
        } else {
            m_bStartReached = true;
            run.lastTimecode = timecode_t{};
            if (run.skip == 0) run.skip = are == kAudioInputOnly ? kStartDropAudioOnly : kStartDropWithVideo;
        }
    } else if (are == 0 && run.active) {
        run.active = false;
        m_bStartReached = false;
    }
}

bool CDV1394::WaitForCapturedFrame() {
    for (;;) {
        if (m_bStopCaptureThread) return false;
        const LONG counter = CapturedFrameCounter();
        m_nCaptureFramesAvailable = counter - m_nCaptureFrameBase;
        // Only a counter that moved ahead means a new frame: a closed driver answers -1,
        // and a capture begun again by someone else restarts the counter.
        if (counter >= 0 && m_nCaptureFramesAvailable - m_nCaptureFramesTaken > 0) return true;
        Sleep(kCapturePollMs);
    }
}

void CDV1394::ConsumeCapturedFrame(CaptureRun& run) {
    ++m_nCaptureFramesTaken;
    PdvSetCapturedFrame(m_nCaptureFrameBase + m_nCaptureFramesTaken);
    TraceCapture("PdvSetCapturedFrame\n");
    DetermineTranscoderDelay(&run.skip, run.active);
    if (run.skip > 0) --run.skip;
}
