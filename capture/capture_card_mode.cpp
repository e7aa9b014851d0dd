// The card's capture mode as the capture thread uses it: entering it from whatever
// the card was doing, the frame counter, and leaving it at the thread's end. With
// capture tracing on (control 0xb00005, bit 1) every card call is followed by its line.
#include "capture/capture_run.h"

#include "KDXCORE.h"

#include <cstdio>

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
        std::snprintf(m_szLastError, sizeof m_szLastError, "%s", kInputDeviceError);
        return true;
    }
    return false;
}
