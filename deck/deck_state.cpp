// The deck's transport state as the host asks for it, synchronously or in two halves.
#include "CDV1394.h"
#include "KordexDDC.h"
#include "deck_log.h"
#include "raw_states.h"

TransportState_t CDV1394::TranslateDeviceState(LONG rawState) {
    if (m_bSeekPending != 0) {
        // The deck still winds towards the seek's target: the host waits for it.
        if (IsMovingRawState(rawState)) return TransportSeeking;
        m_bSeekPending = 0;
    }
    return RawStateToTransportState(rawState);
}

DDCError_t CDV1394::DeviceGetState(TransportState_t* state) {
    if (state == nullptr) return DDC_InvalidParameter;
    LONG raw = DDC_STATE_INVALID;
    DDCError_t error = KordexDDCReady() ? DevGetState(&raw) : DDC_DriverError;
    TransportState_t translated = TransportUnknown;
    if (error == DDC_NoError) {
        translated = TranslateDeviceState(raw);
    } else if (error == DDC_NoDevice) {
        // A missing device is an answer, not a failure.
        translated = TransportNoDevice;
        error = DDC_NoError;
    }
    *state = translated;
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
    TransportState_t translated = TransportUnknown;
    if (error == DDC_NoError) {
        translated = TranslateDeviceState(raw);
    } else if (error == DDC_NoDevice) {
        translated = TransportNoDevice;
        error = DDC_NoError;
    }
    *state = translated;
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
