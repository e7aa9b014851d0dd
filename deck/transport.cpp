// Transport commands, transport state, timecode and frame rate of the deck.
#include "CDV1394.h"

// DeviceShuttle calls that met a deck in transition; lives as long as the module.
[[maybe_unused]] static LONG s_nShuttleTransitionCount = 0;

DDCError_t CDV1394::DevicePlay() {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceStop() {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DevicePause() {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceFF() {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceFFrame() {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceRew() {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceRewFrame() {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceShuttle(LONG) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceGetTimecode(timecode_t*) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceRecord() {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceGetFrameRate(unsigned char*, LONG*) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceEject() {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceUnitInfo(LONG*, LONG*, char*, char*) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceGetState(TransportState_t*) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceAskForTCAsync() {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceReceiveAsyncTC(timecode_t*) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

void CDV1394::DeviceCancelAsyncTC() {}  // Not built yet: does nothing.

DDCError_t CDV1394::DeviceAskForStateAsync() {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceReceiveAsyncState(TransportState_t*) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

void CDV1394::DeviceCancelAsyncState() {}  // Not built yet: does nothing.

DDCError_t CDV1394::DeviceSchedulePeriodicTask(unsigned char) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceDoPeriodicTask() {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}
