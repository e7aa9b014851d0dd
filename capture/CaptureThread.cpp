// The capture thread: moves captured DV frames from the card's ring into the input
// streams.
//
// Started by the first Arm of an input stream (VideoIn, VideoConfidence or AudioIn)
// through StartCaptureThreadOnce; ended by the Terminate that leaves no input stream
// prepared, which sets m_bStopCaptureThread and waits for "CaptureThreadDone". While
// it lives it owns the card's capture mode and frame access, the CaptureRun state and
// the writing side of the input rings; it follows the streams by reading their states.
//
// The file holds the whole thread: its loop, the card's capture mode, where delivery
// starts, and handing a frame to the streams.
#include "device/CDV1394.h"
#include "hostcore/ThreadContext.h"
#include "KDXCORE.h"
#include "queues/DV1394AudioInput.h"
#include "queues/DV1394VideoInput.h"


// How long the thread sleeps between two looks at the card's frame counter.
constexpr DWORD kCapturePollMs = 15;
// More frames than this captured and not yet taken: the host is not keeping up.
constexpr int kCaptureBacklogLimit = 28;
// Frames a start timecode is searched for before it counts as missed.
constexpr LONG kStartSearchFrames = 30;
// Frames dropped after a start without a start timecode, armed before the decrement of
// the frame that sees the start: audio alone, or with video.
constexpr int kStartDropAudioOnly = 6;
constexpr int kStartDropWithVideo = 7;
// WhichInputDevices* value of AudioIn alone.
constexpr int kAudioInputOnly = 2;

constexpr const char* kInputDeviceError = "DV input device error";

struct CDV1394::CaptureRun {
    bool active = false;  // every prepared input stream runs: frames may be delivered
    int skip = 0;         // frames still to drop after a start
    // Format of the last recognised frame; none after a start or an unreadable frame.
    DIO_AudioFormat trackedAudio = DIO_NoAudioFormat;
    DIO_VideoFormat trackedVideo = DIO_NoVideoFormat;
    // The reference the continuity check compares against: the start timecode, or the
    // zero timecode (all 16 bytes 0).
    timecode_t lastTimecode{};
    bool repeat = false;             // the delivered frame repeats the previous timecode
    LONG framesWaited = 0;           // frames with timecode seen while waiting for the start
    LONG counterAtActivation = 0;    // card frames (from the base) when the thread became active
    timecode_t start{{0, 0, 0}, kTCEmptyFrameCount};  // the host's start timecode, copied at activation
};

namespace {

bool Running(const DV1394VideoInput* queue) {
    return queue != nullptr && queue->GetState() == VDMRunning;
}

bool Running(const DV1394AudioInput* queue) {
    return queue != nullptr && queue->GetState() == VDMRunning;
}

// The frames dropped after a start without a start timecode, for the streams running.
int StartDropFrames(int runningInputs) {
    return runningInputs == kAudioInputOnly ? kStartDropAudioOnly : kStartDropWithVideo;
}

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
        SetLastErrorText(kInputDeviceError);
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
            if (run.skip == 0) run.skip = StartDropFrames(are);
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

// ---- The card's capture mode: entering it from whatever the card was doing, the
// frame counter, and leaving it at the thread's end. With capture tracing on (control
// 0xb00005, bit 1) every card call is followed by its line.

void CDV1394::TraceCapture(const char* line) {
    if (m_bTraceCapture) OutputDebugStringA(line);
}

LONG CDV1394::CapturedFrameCounter() {
    const LONG counter = PdvGetCapturedFrame();
    TraceCapture("PdvGetCapturedFrame\n");
    return counter;
}

bool CDV1394::InitKordexCapture() {
    const LONG state = PdvGetDriverState();
    TraceCapture("PdvGetDriverState\n");
    // Bring the card to idle first; whether the ending calls succeed is of no interest,
    // the begin call below tells.
    switch (state) {
    case PDV_STATE_IDLE:
        break;
    case PDV_STATE_CAPTURE_OPEN:
        PdvEndCapture();
        TraceCapture("PdvEndCapture\n");
        break;
    case PDV_STATE_CAPTURING:
    case PDV_STATE_CAPTURE_STALLED:
        PdvStopPlayback();
        PdvEndCapture();
        TraceCapture("PdvStopPlayback\nPdvEndCapture\n");
        break;
    case PDV_STATE_PLAYBACK_OPEN:
        PdvEndPlayback();
        TraceCapture("PdvEndPlayback\n");
        break;
    case PDV_STATE_PLAYING:
    case PDV_STATE_PLAYBACK_PAUSED:
        PdvStopPlayback();
        PdvEndPlayback();
        TraceCapture("PdvStopPlayback\nPdvEndPlayback\n");
        break;
    default:
        return false;  // a state the card should never be in (or a closed driver)
    }
    const BOOL begun = PdvBeginCapture();
    TraceCapture("PdvBeginCapture\n");
    if (!begun) return false;
    const BOOL started = PdvStartCapture();
    TraceCapture("PdvStartCapture\n");
    return started != FALSE;
}

bool CDV1394::EndKordexCapture() {
    const LONG state = PdvGetDriverState();
    TraceCapture("PdvGetDriverState\n");
    // Only a running capture is ended; any other mode belongs to someone else now.
    if (state != PDV_STATE_CAPTURING) return false;
    PdvStopCapture();
    TraceCapture("PdvStopCapture\n");
    const BOOL ended = PdvEndCapture();
    TraceCapture("PdvEndCapture\n");
    if (!ended) {
        SetLastErrorText(kInputDeviceError);
        return true;
    }
    return false;
}

// ---- Where delivery begins after a start: at the frame carrying the host's start
// timecode, or, without one, after a few frames are dropped.

void CDV1394::ApplyStartPointRule(CaptureRun& run) {
    const timecode_t current = CapturedTimecode();
    if (m_bStartReached) {
        // A start found by counting frames is confirmed by the frame after it.
        if (m_bContinuityPending) {
            if (TCDiffModDay(current, TCAddModDay(run.start, 1)) != 0) m_bStartMissed = true;
            m_bContinuityPending = false;
        }
        return;
    }
    if (TCIsEmpty(current) || !run.active) return;

    ++run.framesWaited;
    const LONG behindCurrent = TCDiffModDay(run.start, current);
    const LONG behindExpected = TCDiffModDay(run.start, m_tcExpected);
    if (behindCurrent == 0 || behindExpected == 0) {
        // This frame is the first delivered. Found by count rather than by its own
        // timecode, the next frame must carry the start timecode plus one.
        m_bStartReached = true;
        if (behindCurrent != behindExpected) m_bContinuityPending = true;
    } else if (behindCurrent > 0 || run.framesWaited > kStartSearchFrames) {
        // The tape is past the start, or the start did not come: the host is told, and
        // delivery still waits for the start timecode.
        m_bStartMissed = true;
    } else {
        m_tcExpected = TCAddModDay(m_tcExpected, 1);
    }
}

void CDV1394::DetermineTranscoderDelay(int* skip, bool active) {
    if (skip == nullptr) return;
    const int are = WhichInputDevicesAreRunning();
    if (are != WhichInputDevicesWillRun() || are == 0 || active || *skip != 0) return;
    EnterCriticalSection(&m_csCaptureThreadTimecode);
    const bool noStartTimecode = TCIsEmpty(m_tcStart);
    LeaveCriticalSection(&m_csCaptureThreadTimecode);
    // The last stream has just started: arm the drop now, before the thread next looks
    // at the streams and activates; this frame's decrement then counts at once.
    if (noStartTimecode) *skip = StartDropFrames(are);
}

// ---- Handing one captured frame to the input streams, and what happens when the
// host does not keep up.


int CDV1394::NumFramesInCaptureQueue() {
    return CapturedFrameCounter() - m_nCaptureFrameBase - m_nCaptureFramesTaken;
}

void CDV1394::NotifyCaptureOverrun() {
    if (Running(m_pVideoIn)) m_pVideoIn->CountOverrun();
    if (Running(m_pVideoConfidence)) m_pVideoConfidence->CountOverrun();
    if (Running(m_pAudioIn)) m_pAudioIn->CountOverrun();
}

void CDV1394::DeliverCapturedFrame(CaptureRun& run, unsigned char* frame) {
    bool videoPending = true;
    bool audioPending = true;
    // An unrecognised frame (no readable audio source pack) reaches only the monitor.
    if (DetectAndProcessFormatChange(frame, &run.trackedAudio, &run.trackedVideo) == 1) {
        videoPending = false;
        audioPending = false;
    }
    CheckTimeCodeContinuity(&run.lastTimecode, frame, &run.repeat);

    // The monitor takes what fits and misses the rest without counting it.
    if (m_pVideoConfidence != nullptr) m_pVideoConfidence->DeliverFrame(frame);

    // A frame that does not fit is retried only while both its video and its audio
    // wait for room, so that picture and sound stay together. Once
    // one of them is settled the other's attempt is given up without counting, unless
    // the card's backlog shows the host has fallen behind: then the loss is counted.
    // Each attempt looks at the stream's state under the queue's delivery guard, so a
    // host thread ending the stream never frees or resets a ring under the write.
    while (videoPending && audioPending && !m_bStopCaptureThread) {
        const DV1394VideoInput::Delivery video =
            m_pVideoIn != nullptr ? m_pVideoIn->DeliverFrame(frame) : DV1394VideoInput::Delivery::NotRunning;
        if (video != DV1394VideoInput::Delivery::NoRoom) {
            videoPending = false;
        } else if (NumFramesInCaptureQueue() > kCaptureBacklogLimit) {
            m_pVideoIn->CountOverrun();
            videoPending = false;
        }
        // A frame repeating the previous timecode carries the same sound again: the
        // black frame's silence goes in its place.
        const DV1394AudioInput::Delivery audio = m_pAudioIn != nullptr
                                                     ? m_pAudioIn->DeliverAudio(frame, run.repeat, m_pBlackFrame)
                                                     : DV1394AudioInput::Delivery::NotRunning;
        if (audio != DV1394AudioInput::Delivery::NotDelivered) {
            audioPending = false;
        } else if (NumFramesInCaptureQueue() > kCaptureBacklogLimit) {
            m_pAudioIn->CountOverrun();
            audioPending = false;
        }
        // Waiting for the host to make room: give the processor to it.
        if (videoPending && audioPending) Sleep(1);
    }
}
