// Transport commands: play, stop, pause, wind, frame steps, shuttle, record, eject;
// the deck's unit information; the periodic task the host may schedule.
#include "deck/ShuttleSpeed.h"
#include "device/CDV1394.h"
#include "device/DeviceLog.h"
#include "KDXCORE.h"
#include "KordexDDC.h"

#include <atomic>

using namespace dv1394;

// DeviceShuttle calls that met a deck in transition; lives as long as the module and
// is only reset by the call after the one that forced a command through.
static std::atomic<LONG> s_nShuttleTransitionCount{0};

namespace {

// The shuttle call on which a deck that stays in transition gets the speed through
// the capture card instead.
constexpr LONG kShuttleForceAfter = 14;

}  // namespace

DDCError_t CDV1394::TransportCommand(const char* logName, DDCError_t (*libraryCall)()) {
    // Any new command supersedes a seek that may still be winding.
    m_bSeekPending = 0;
    const DDCError_t error = KordexDDCReady() ? libraryCall() : DDC_DriverError;
    if (m_bTraceDeckControl) LogDDCError(logName, error);
    return error;
}

DDCError_t CDV1394::DevicePlay() { return TransportCommand("DevPlay", DevPlay); }
DDCError_t CDV1394::DeviceStop() { return TransportCommand("DevStop", DevStop); }
DDCError_t CDV1394::DevicePause() { return TransportCommand("DevPause", DevPause); }
DDCError_t CDV1394::DeviceFF() { return TransportCommand("DevFF", DevFF); }
DDCError_t CDV1394::DeviceFFrame() { return TransportCommand("DevStepForwardAFrame", DevStepForwardAFrame); }
DDCError_t CDV1394::DeviceRew() { return TransportCommand("DevRewind", DevRewind); }
DDCError_t CDV1394::DeviceRewFrame() { return TransportCommand("DevStepBackAFrame", DevStepBackAFrame); }
DDCError_t CDV1394::DeviceRecord() { return TransportCommand("DevRecord", DevRecord); }
DDCError_t CDV1394::DeviceEject() { return TransportCommand("DevEject", DevEject); }

DDCError_t CDV1394::DeviceShuttle(LONG speed) {
    m_bSeekPending = 0;
    if (!KordexDDCReady()) return DDC_DriverError;
    TransportState_t state = TransportUnknown;
    const DDCError_t stateError = DeviceGetState(&state);
    if (stateError == DDC_DeviceInTransition) {
        // A deck that keeps changing state never takes the library's shuttle; after a
        // run of such calls the capture card sends the speed itself, once.
        const LONG count = ++s_nShuttleTransitionCount;
        if (count == kShuttleForceAfter) PdvDeckControl(ShuttleSpeedToDeckCode(speed));
        if (count > kShuttleForceAfter) s_nShuttleTransitionCount = 0;
        return DDC_DeviceInTransition;
    }
    if (stateError == DDC_NoError && state == TransportStopped && speed == 0) {
        // The library refuses a still from a stopped deck; the card gets the tape moving.
        PdvDeckControl(PDV_DECK_FORWARD_1_10);
        return DDC_NoError;
    }
    const DDCError_t error = DevShuttle(speed);
    if (m_bTraceDeckControl) LogDDCShuttle("DevShuttle", speed, error);
    return error;
}

DDCError_t CDV1394::DeviceUnitInfo(LONG* first, LONG* second, char* text1, char* text2) {
    if (first == nullptr || second == nullptr || text1 == nullptr || text2 == nullptr) return DDC_InvalidParameter;
    DDCError_t error = DDC_DriverError;
    if (KordexDDCReady()) {
        text1[0] = '\0';
        text2[0] = '\0';
        // The host's text buffers hold this many characters, terminator included.
        LONG length = DDC_UNIT_TEXT_LENGTH;
        error = DevUnitInfo(first, second, text1, text2, &length);
    }
    if (m_bTraceDeckControl) LogDDCError("DevUnitInfo", error);
    return error;
}

DDCError_t CDV1394::DeviceSchedulePeriodicTask(unsigned char) { return DDC_NoError; }

DDCError_t CDV1394::DeviceDoPeriodicTask() { return DDC_NoError; }
