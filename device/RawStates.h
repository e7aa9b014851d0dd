// The deck-control library's raw transport states: their names in the log and how
// each reads to the host.
#pragma once

#include "interface/DigitalDevice.h"
#include "windows.h"

#include <string>

namespace dv1394 {

// "STOP", "PLAYBACK_PAUSE", "NO_DEVICE", "INVALID", ... or "UNKNOWN <value>" for a
// value the library does not define.
std::string DDCStateName(LONG rawState);

// The host's transport state for a raw state; 0 for MIN, INVALID and undefined values.
TransportState_t RawStateToTransportState(LONG rawState);

// True for the states in which the tape may be moving (winding, cueing, playing,
// shuttling), so that a seek may not have arrived yet.
bool IsMovingRawState(LONG rawState);

}  // namespace dv1394
