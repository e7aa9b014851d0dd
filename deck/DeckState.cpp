// The deck's transport state as the host asks for it, synchronously or in two halves.
#include "device/CDV1394.h"
#include "device/DeviceLog.h"
#include "device/RawStates.h"
#include "KordexDDC.h"

using namespace dv1394;

namespace {

// A deck that overshoots its search target stops while it reverses towards it (well
// under a second on DV decks); only a stop that lasts longer ends a pending seek.
constexpr DWORD kSeekReverseStopMs = 1500;

// The host's state for the library's answer, `translated` when it succeeded. A missing
// device is an answer, not a failure: the state "no device" with no error.
TransportState_t AnsweredState(DDCError_t* error, TransportState_t translated) {
    if (*error == DDC_NoError) return translated;
    if (*error != DDC_NoDevice) return TransportUnknown;
    *error = DDC_NoError;
    return TransportNoDevice;
}

}  // namespace

TransportState_t CDV1394::TranslateDeviceState(LONG rawState) {
    if (m_bSeekPending != 0) {
        // The deck still winds towards the seek's target: the host waits for it.
        if (IsMovingRawState(rawState)) {
            m_dwSeekStopTick = 0;
            return TransportSeeking;
        }
        if (rawState == DDC_STATE_STOP) {
            const DWORD now = GetTickCount() | 1;  // 0 means "not stopped yet"
            if (m_dwSeekStopTick == 0) m_dwSeekStopTick = now;
            if (now - m_dwSeekStopTick < kSeekReverseStopMs) return TransportSeeking;
        }
        m_bSeekPending = 0;
        m_dwSeekStopTick = 0;
    }
    return RawStateToTransportState(rawState);
}

DDCError_t CDV1394::DeviceGetState(TransportState_t* state) {
    if (state == nullptr) return DDC_InvalidParameter;
    LONG raw = DDC_STATE_INVALID;
    DDCError_t error = KordexDDCReady() ? DevGetState(&raw) : DDC_DriverError;
    *state = AnsweredState(&error, error == DDC_NoError ? TranslateDeviceState(raw) : TransportUnknown);
    if (m_bTraceDeckControl) LogDDCState("DevGetState", raw, error);
    return error;
}

DDCError_t CDV1394::DeviceAskForStateAsync() {
    const DDCError_t error = KordexDDCReady() ? DevAskForStateAsync() : DDC_DriverError;
    if (m_bTraceDeckControl) LogDDCError("DevAskForStateAsync", error);
    return error;
}

DDCError_t CDV1394::DeviceReceiveAsyncState(TransportState_t* state) {
    if (state == nullptr) return DDC_InvalidParameter;
    LONG raw = DDC_STATE_INVALID;
    DDCError_t error = KordexDDCReady() ? DevReceiveAsyncState(&raw) : DDC_DriverError;
    if (m_bTraceDeckControl) LogDDCState("DevReceiveAsyncState", raw, error);
    *state = AnsweredState(&error, error == DDC_NoError ? TranslateDeviceState(raw) : TransportUnknown);
    return error;
}

void CDV1394::DeviceCancelAsyncState() {
    DDCError_t error = DDC_DriverError;
    if (KordexDDCReady()) {
        DevCancelAsyncStateRequest();  // nothing to report: the request is gone either way
        error = DDC_NoError;
    }
    if (m_bTraceDeckControl) LogDDCError("DevCancelAsyncStateRequest", error);
}
