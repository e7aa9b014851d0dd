// The AwaitState operations of the input streams and AudioOut: the host polls a
// stream's state with a time-out in microseconds.
#pragma once

#include "interface/DigitalDevice.h"

namespace dv1394 {

// 1 at once when the stream is already in `target`; otherwise one sleep of the
// time-out (truncated to milliseconds; a negative time-out does not sleep) and one
// more look.
template <typename StateReader>
unsigned char AwaitStreamState(StateReader readState, VDMDeviceState target, LONG timeoutMicros) {
    if (readState() == target) return 1;
    if (timeoutMicros > 0) Sleep(static_cast<DWORD>(timeoutMicros / 1000));
    return readState() == target ? 1 : 0;
}

}  // namespace dv1394
