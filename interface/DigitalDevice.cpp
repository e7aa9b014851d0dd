// Bodies the host interface carries itself: the version, the destructor and the
// defaults of the optional slots 145 to 149.
#include "interface/DigitalDevice.h"

void DigitalDevice::GetVersion(int* major, int* minor) {
    if (major != nullptr) *major = 1;
    if (minor != nullptr) *minor = 0;
}

DigitalDevice::~DigitalDevice() = default;

// A device without edit delays ignores them.
void DigitalDevice::DeviceSetRecordPlayDelay(LONG) {}

void DigitalDevice::DeviceSetRecordStopDelay(LONG) {}

// Raw AV/C traffic from the host is not offered by default.
DDCError_t DigitalDevice::SendRawCommand(void*, void*, ULONG) {
    return DDC_CommandNotImplemented;
}

DDCError_t DigitalDevice::SendAsyncRawCommand(void*, ULONG) {
    return DDC_CommandNotImplemented;
}

DDCError_t DigitalDevice::GetAsyncResponse(AVC*) {
    return DDC_CommandNotImplemented;
}
