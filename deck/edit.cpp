// Edit settings (In, Out, preroll, mode, delays), cueing and performing an edit.
#include "CDV1394.h"

// The Out point last passed to DeviceSetOut, kept whether or not the deck took it.
[[maybe_unused]] static timecode_t s_tcOut = {};

DDCError_t CDV1394::DeviceGotoPreroll() {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceGetIn(timecode_t*) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceSetIn(timecode_t) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceGetOut(timecode_t*) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceSetOut(timecode_t) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceGetPreroll(timecode_t*) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceSetPreroll(timecode_t) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceGetEditMode(DeviceEditMode_t*) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceSetEditMode(DeviceEditMode_t) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceSetTracks(unsigned char, unsigned char) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DevicePerform() {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

DDCError_t CDV1394::DeviceGetEditStatus(DeviceEditStatus_t*) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}

void CDV1394::DeviceSetRecordPlayDelay(LONG) {}  // Not built yet: does nothing.

void CDV1394::DeviceSetRecordStopDelay(LONG) {}  // Not built yet: does nothing.
