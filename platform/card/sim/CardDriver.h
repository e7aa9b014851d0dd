// The card's driver: open or closed, its video standard, the driver state machine
// with its capture and playback rings, the output pin, the input channel, the
// play/pause mode and the last error. Each transition checks the state as the card
// does and fails with KDX_E_INVALID_STATE, changing nothing, when it does not apply.
// Not locked: the world's lock guards it.
#pragma once

#include "digitalio/DIOTypes.h"
#include "sim/CaptureRing.h"
#include "sim/PlaybackRing.h"
#include "windows.h"

namespace cardsim {

class CardDriver {
public:
    // Closed, with `standard` (PDV_VST_*) as the card's current standard.
    void Reset(LONG standard);

    // Records `code` as the last error; answers false so callers can return it.
    bool Fail(DWORD code);
    // False (KDX_E_INVALID_STATE) while the driver is closed.
    bool RequireOpen();

    // KDX_STANDARD_* in; false for another value or when already open.
    bool Open(LONG standard);
    bool Close();

    bool BeginCapture();
    // `refusal` non-zero: refused with that code. `stall`: enters 0x102.
    bool StartCapture(DWORD refusal, bool stall);
    bool StopCapture();
    bool EndCapture();
    // `connected`: a device is on the port (playback needs one).
    bool BeginPlayback(bool connected, bool applyPlayPauseMode);
    bool StartPlayback(DWORD refusal);
    bool PausePlayback(bool pause);
    bool StopPlayback();
    bool EndPlayback();

    bool IsOpen() const { return open_; }
    LONG State() const { return open_ ? state_ : -1; }
    void SetState(LONG state) { state_ = state; }
    bool Capturing() const { return open_ && state_ == 0x101; }
    bool InPlaybackMode() const { return open_ && state_ >= 0x200 && state_ <= 0x202; }
    bool Playing() const { return open_ && state_ == 0x201; }
    bool PlaybackPaused() const { return open_ && state_ == 0x202; }

    LONG Standard() const { return standard_; }
    void SetStandard(LONG standard) { standard_ = standard; }
    DIO_VideoFormat VideoFormat() const;
    DWORD LastError() const { return lastError_; }

    bool outputPinOn = true;
    LONG inputChannel = 63;
    LONG playPauseMode = 0;
    bool playPauseModeApplied = false;

    CaptureRing capture;
    PlaybackRing playback;
    // Capture counters since PdvBeginCapture.
    uint64_t framesArrived = 0;
    uint64_t injectedDrops = 0;
    uint64_t corruptedFrames = 0;

private:
    bool Move(bool allowed, LONG next);

    bool open_ = false;
    LONG standard_ = 0;
    LONG state_ = 0;
    DWORD lastError_ = 0;
};

}  // namespace cardsim
