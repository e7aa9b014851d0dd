// Result of every deck-control call, shared by the deck-control library and the host
// interface (the host passes these values through unchanged). 0 is success.
#pragma once

enum DDCError_t {
    DDC_NoError = 0,
    DDC_NoDevice = 1,
    DDC_NoHW = 2,
    DDC_DeviceBusy = 3,
    DDC_DeviceInTransition = 4,
    DDC_DriverError = 5,  // also: the card session is not ready
    DDC_CommandNotImplemented = 6,
    DDC_CommandRejected = 7,
    DDC_CommandPending = 8,
    DDC_CommandTimeout = 9,
    DDC_TapeProtected = 10,
    DDC_TapeEjected = 11,
    DDC_DeviceNotSupported = 12,
    DDC_NoTimecode = 13,
    DDC_DataTooLong = 14,
    DDC_InvalidParameter = 15,
    DDC_HardwareError = 16,
    DDC_NoDeviceHandle = 17,
    DDC_NoEventHandle = 18,
    DDC_UnknownError = 19,
};
static_assert(sizeof(DDCError_t) == 4, "a 32-bit enum on the host interface");

// The words for each value above, as logs and hosts show them. A const array at
// namespace scope is private to each library that includes this, unlike a static
// inside an inline function, whose one process-wide copy would pin the plug-in in
// memory for good.
constexpr const char* kDDCErrorTexts[] = {
    "No Error",          "No Device",          "No H/W",           "Device Busy",
    "Device In Transition", "Driver Error",    "Command Not Implemented", "Command Rejected",
    "Command Pending",   "Command Timeout",    "Tape Protected",   "Tape Ejected",
    "Device Not Supported", "No Timecode",     "Data Too Long",    "Invalid Parameter",
    "Hardware Error",    "No Device Handle",   "No Event Handle",  "Unknown Error",
};

// Null for a value outside the table.
inline const char* DDCErrorTableText(long error) {
    return error >= 0 && error <= DDC_UnknownError ? kDDCErrorTexts[error] : nullptr;
}
