// Where delivery begins after a start: at the frame carrying the host's start
// timecode, or, without one, after a few frames are dropped. Runs on the capture thread.
#include "capture/capture_run.h"

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
    if (noStartTimecode) *skip = are == kAudioInputOnly ? kStartDropAudioOnly : kStartDropWithVideo;
}
