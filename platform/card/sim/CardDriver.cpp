#include "sim/CardDriver.h"

#include "KDXCORE.h"

namespace cardsim {

void CardDriver::Reset(LONG standard) {
    open_ = false;
    standard_ = standard;
    state_ = PDV_STATE_IDLE;
    lastError_ = 0;
    outputPinOn = true;
    inputChannel = 63;
    playPauseMode = KDX_PLAYPAUSE_FRAME;
    playPauseModeApplied = false;
    framesArrived = injectedDrops = corruptedFrames = 0;
}

bool CardDriver::Fail(DWORD code) {
    lastError_ = code;
    return false;
}

bool CardDriver::RequireOpen() { return open_ || Fail(KDX_E_INVALID_STATE); }

DIO_VideoFormat CardDriver::VideoFormat() const { return standard_ == PDV_VST_PAL ? DIO_PAL : DIO_NTSC; }

bool CardDriver::Open(LONG standard) {
    if (open_) return Fail(KDX_E_ALLOWED_SINGLE_INSTANCE);
    if (standard == KDX_STANDARD_NTSC) standard_ = PDV_VST_NTSC;
    else if (standard == KDX_STANDARD_PAL) standard_ = PDV_VST_PAL;
    else if (standard != KDX_STANDARD_CURRENT) return Fail(KDX_E_INVALID_PARAMETER);
    open_ = true;
    state_ = PDV_STATE_IDLE;
    outputPinOn = true;
    return true;
}

bool CardDriver::Close() {
    if (!open_) return Fail(KDX_E_INVALID_STATE);
    open_ = false;
    state_ = PDV_STATE_IDLE;
    return true;
}

bool CardDriver::Move(bool allowed, LONG next) {
    if (!RequireOpen()) return false;
    if (!allowed) return Fail(KDX_E_INVALID_STATE);
    state_ = next;
    return true;
}

bool CardDriver::BeginCapture() {
    if (!Move(state_ == PDV_STATE_IDLE, PDV_STATE_CAPTURE_OPEN)) return false;
    capture.Reset();
    framesArrived = injectedDrops = corruptedFrames = 0;
    // The port turns round to receive; the output stays off until re-selected.
    outputPinOn = false;
    return true;
}

bool CardDriver::StartCapture(DWORD refusal, bool stall) {
    if (!RequireOpen()) return false;
    if (state_ != PDV_STATE_CAPTURE_OPEN) return Fail(KDX_E_INVALID_STATE);
    if (refusal != 0) return Fail(refusal);
    state_ = stall ? PDV_STATE_CAPTURE_STALLED : PDV_STATE_CAPTURING;
    return true;
}

bool CardDriver::StopCapture() {
    return Move(state_ == PDV_STATE_CAPTURING || state_ == PDV_STATE_CAPTURE_STALLED, PDV_STATE_CAPTURE_OPEN);
}

bool CardDriver::EndCapture() {
    return Move(state_ >= PDV_STATE_CAPTURE_OPEN && state_ <= PDV_STATE_CAPTURE_STALLED, PDV_STATE_IDLE);
}

bool CardDriver::BeginPlayback(bool connected, bool applyPlayPauseMode) {
    if (!RequireOpen()) return false;
    if (state_ != PDV_STATE_IDLE) return Fail(KDX_E_INVALID_STATE);
    if (!connected) return Fail(KDX_E_NO_DEVICE_CONNECTED);
    state_ = PDV_STATE_PLAYBACK_OPEN;
    playback.Reset();
    playPauseModeApplied = applyPlayPauseMode;
    return true;
}

bool CardDriver::StartPlayback(DWORD refusal) {
    if (!RequireOpen()) return false;
    if (state_ != PDV_STATE_PLAYBACK_OPEN) return Fail(KDX_E_INVALID_STATE);
    if (refusal != 0) return Fail(refusal);
    state_ = PDV_STATE_PLAYING;
    return true;
}

bool CardDriver::PausePlayback(bool pause) {
    if (!RequireOpen()) return false;
    if (!InPlaybackMode()) return Fail(KDX_E_INVALID_STATE);
    if (pause && state_ == PDV_STATE_PLAYING) state_ = PDV_STATE_PLAYBACK_PAUSED;
    else if (!pause && state_ == PDV_STATE_PLAYBACK_PAUSED) state_ = PDV_STATE_PLAYING;
    return true;
}

bool CardDriver::StopPlayback() {
    return Move(state_ == PDV_STATE_PLAYING || state_ == PDV_STATE_PLAYBACK_PAUSED, PDV_STATE_PLAYBACK_OPEN);
}

bool CardDriver::EndPlayback() { return Move(InPlaybackMode(), PDV_STATE_IDLE); }

}  // namespace cardsim
