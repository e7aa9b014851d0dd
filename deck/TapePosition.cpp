// Checking that the tape stands on a frame, and correcting a miss of one frame.
#include "device/CDV1394.h"

namespace {

// The deck has stopped moving once its timecode stays the same this long.
constexpr DWORD kStillForMs = 2000;
constexpr DWORD kGiveUpAfterMs = 4000;

}  // namespace

unsigned char CDV1394::IsPositionedAtTC(timecode_t target) {
    const DWORD start = GetTickCount();
    timecode_t last = DeckNoTimecode();
    DWORD lastChange = 0;
    for (;;) {
        timecode_t here;
        if (DeviceGetTimecode(&here) == DDC_NoError) {
            if (TCEqual(&here, &target)) return 1;
            if (TCEqual(&here, &last)) {
                if (GetTickCount() - lastChange > kStillForMs) return 0;
            } else {
                last = here;
                lastChange = GetTickCount();
            }
        }
        if (GetTickCount() - start > kGiveUpAfterMs) return 0;
    }
}

unsigned char CDV1394::AdjustTapePosition(timecode_t target) {
    timecode_t here;
    if (DeviceGetTimecode(&here) != DDC_NoError) return 0;
    const LONG miss = TCDiff(here, target);
    // A deck that lands one frame off is common; anything further is not guessed at.
    if (miss == -1) {
        DeviceRewFrame();
        return 1;
    }
    if (miss == 1) {
        DeviceFFrame();
        return 1;
    }
    return 0;
}
