// The card's playback modes: moving the card from whatever it does into single-frame
// play (a one-frame print, shown as a paused still) or multi-frame play, switching its
// output on, starting the output (plain playback or a synchronised record), and back.
//
// Every sequence reads the driver state first and acts on it. The Init and Reset
// functions answer true when they failed (the card is not where it should be).
// Everything runs on the record thread, except Terminate's direct ResetKordexRecord
// while the record loop is not running.
#include "device/CDV1394.h"
#include "KDXCORE.h"

namespace {

constexpr char kOutputDeviceError[] = "DV output device error";
// The card shows the odd field while paused.
constexpr LONG kPlayPauseOdd = 2;
// The card needs a moment between pausing and stopping its playback.
constexpr DWORD kPauseBeforeStopMs = 35;
constexpr DWORD kSyncRecordStartMs = 10000;

bool IsPlaybackOpenOrPaused(LONG state) {
    return state == PDV_STATE_PLAYBACK_OPEN || state == PDV_STATE_PLAYBACK_PAUSED;
}

}  // namespace

bool CDV1394::UseOddFieldStill() {
    const LONG mode = KDXGetPlayPauseMode();
    TracePlayback("KDXGetPlayPauseMode()\n");
    if (mode == kPlayPauseOdd) return false;
    const BOOL set = KDXSetPlayPauseMode(kPlayPauseOdd);
    TracePlayback("KDXSetPlayPauseMode(ODD)\n");
    return !set;
}

bool CDV1394::InitSingleFramePlay() {
    if (UseOddFieldStill()) return true;
    LONG state = PdvGetDriverState();
    TracePlayback("PdvGetDriverState\n");
    if (IsPlaybackOpenOrPaused(state)) return false;
    switch (state) {
    case PDV_STATE_CAPTURE_OPEN:
        PdvEndCapture();
        PdvBeginPlayback2();
        TracePlayback("PdvEndCapture\nPdvBeginPlayback2\n");
        break;
    case PDV_STATE_CAPTURING:
    case PDV_STATE_CAPTURE_STALLED:
        PdvStopCapture();
        PdvEndCapture();
        PdvBeginPlayback2();
        TracePlayback("PdvStopCapture\nPdvEndCapture\nPdvBeginPlayback2\n");
        break;
    case PDV_STATE_PLAYING:
        PdvPausePlayback(TRUE);
        TracePlayback("PdvPausePlayback(T)\n");
        break;
    case PDV_STATE_IDLE:
        PdvBeginPlayback2();
        break;
    default:
        break;
    }
    state = PdvGetDriverState();
    TracePlayback("PdvGetDriverState\n");
    return !IsPlaybackOpenOrPaused(state);
}

bool CDV1394::InitMultiFramePlay() {
    LONG state = PdvGetDriverState();
    TracePlayback("PdvGetDriverState\n");
    switch (state) {
    case PDV_STATE_CAPTURE_OPEN:
        PdvEndCapture();
        TracePlayback("PdvEndCapture\n");
        break;
    case PDV_STATE_CAPTURING:
    case PDV_STATE_CAPTURE_STALLED:
        PdvStopCapture();
        PdvEndCapture();
        TracePlayback("PdvStopCapture\nPdvEndCapture\n");
        break;
    case PDV_STATE_PLAYBACK_OPEN:
        PdvPausePlayback(TRUE);
        Sleep(kPauseBeforeStopMs);
        PdvEndPlayback();
        TracePlayback("PdvPausePlayback(T)\nPdvEndPlayback\n");
        break;
    case PDV_STATE_PLAYING:
    case PDV_STATE_PLAYBACK_PAUSED:
        PdvPausePlayback(TRUE);
        Sleep(kPauseBeforeStopMs);
        PdvStopPlayback();
        PdvEndPlayback();
        TracePlayback("PdvPausePlayback(T)\nPdvStopPlayback\nPdvEndPlayback\n");
        break;
    default:
        break;
    }
    state = PdvGetDriverState();
    TracePlayback("PdvGetDriverState\n");
    if (state != PDV_STATE_IDLE) return true;
    if (UseOddFieldStill()) return true;
    const BOOL begun = PdvBeginPlayback2();
    TracePlayback("PdvBeginPlayback2\n");
    return !begun;
}

bool CDV1394::ResetSingleFramePlay() {
    const LONG state = PdvGetDriverState();
    TracePlayback("PdvGetDriverState\n");
    if (state == PDV_STATE_PLAYING) {
        // The still stays on screen.
        PdvPausePlayback(TRUE);
        TracePlayback("PdvPausePlayback(TRUE)\n");
        return false;
    }
    return !(state == PDV_STATE_IDLE || IsPlaybackOpenOrPaused(state));
}

bool CDV1394::ResetMultiFramePlay() {
    LONG state = PdvGetDriverState();
    TracePlayback("PdvGetDriverState\n");
    switch (state) {
    case PDV_STATE_CAPTURE_OPEN:
        PdvEndCapture();
        TracePlayback("PdvEndCapture\n");
        break;
    case PDV_STATE_CAPTURING:
    case PDV_STATE_CAPTURE_STALLED:
        PdvStopCapture();
        PdvEndCapture();
        TracePlayback("PdvStopCapture\nPdvEndCapture\n");
        break;
    case PDV_STATE_PLAYBACK_OPEN:
        PdvEndPlayback();
        TracePlayback("PdvEndPlayback\n");
        break;
    case PDV_STATE_PLAYING:
    case PDV_STATE_PLAYBACK_PAUSED:
        PdvPausePlayback(TRUE);
        Sleep(kPauseBeforeStopMs);
        PdvStopPlayback();
        PdvEndPlayback();
        TracePlayback("PdvPausePlayback(TRUE)\nPdvStopPlayback \nPdvEndPlayback\n");
        break;
    default:
        break;
    }
    state = PdvGetDriverState();
    TracePlayback("PdvGetDriverState\n");
    return state != PDV_STATE_IDLE;
}

bool CDV1394::EnableKordexOutput() {
    LONG pin = 1;
    const BOOL asked = KDXGetOutputPinState(&pin);
    TracePlayback("KDXGetOutputPinState\n");
    if (!asked) return false;
    if (pin != 0) return true;
    const bool resetFailed = ResetMultiFramePlay();
    // Selecting the current input channel again switches the output back on.
    const BOOL selected = PdvSetInputChannel(PdvGetInputChannel());
    TracePlayback("PdvSetInputChannel\n");
    return !resetFailed && selected;
}

bool CDV1394::InitKordexRecord() {
    return m_nNumOutputFrames.load() == 1 ? InitSingleFramePlay() : InitMultiFramePlay();
}

bool CDV1394::ResetKordexRecord() {
    return m_nNumOutputFrames.load() == 1 ? ResetSingleFramePlay() : ResetMultiFramePlay();
}

bool CDV1394::BeginKordexPlayback() {
    if (InitKordexRecord()) {
        SetLastErrorText(kOutputDeviceError);
        RecordThreadErrors();
    }
    // The card's current playback index is the base of the frames queued next.
    ResetPlaybackCounters();
    return true;
}

bool CDV1394::StartCardOutput() {
    const LONG state = PdvGetDriverState();
    TracePlayback("PdvGetDriverState\n");
    if (state == PDV_STATE_PLAYING) return true;
    if (state == PDV_STATE_PLAYBACK_PAUSED) {
        // The single-frame still: resume and pause again to show the new frame.
        PdvPausePlayback(FALSE);
        const BOOL paused = PdvPausePlayback(TRUE);
        TracePlayback("PdvPausePlayback(FALSE)\nPdvPausePlayback(TRUE)\n");
        return paused != FALSE;
    }
    const DeviceEditMode_t mode = CurrentEditMode();
    if (mode == 1 || mode == 2) {
        // The deck waits in record pause with the parameters DevicePerform gave the card.
        const BOOL started = PdvSyncRecNoParam();
        TracePlayback("PdvSyncRecNoParam\n");
        if (!started) return false;  // nothing will be consumed: no point in waiting
        // Wait until the card has begun to consume the preloaded frames.
        const DWORD begin = GetTickCount();
        while (NumFramesInDVDriver() >= m_nPreloadedFrames.load() && GetTickCount() - begin < kSyncRecordStartMs)
            Sleep(10);
        return true;
    }
    if (m_bStartTimecodeUsed.load()) Sleep(10);
    const BOOL started = PdvStartPlayback();
    TracePlayback("PdvStartPlayback\n");
    return started != FALSE;
}
