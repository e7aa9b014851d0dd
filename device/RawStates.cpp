#include "device/RawStates.h"

#include "KordexDDC.h"

#include <cstdio>

namespace dv1394 {

namespace {

struct RawState {
    LONG raw;
    const char* name;
    TransportState_t host;
};

// Several raw states read the same to the host: cueing reads as winding, the slow
// speeds share one value, and so on.
const RawState kRawStates[] = {
    {DDC_STATE_MIN, "MIN", TransportUnknown},
    {DDC_STATE_EJECT, "EJECT", TransportEjected},
    {DDC_STATE_STOP, "STOP", TransportStopped},
    {DDC_STATE_FAST_FORWARD, "FAST_FORWARD", TransportFastForwarding},
    {DDC_STATE_REWIND, "REWIND", TransportRewinding},
    {DDC_STATE_RECORD, "RECORD", TransportRecording},
    {DDC_STATE_RECORD_PAUSE, "RECORD_PAUSE", TransportRecordPaused},
    {DDC_STATE_PLAYBACK, "PLAYBACK", TransportPlaying},
    {DDC_STATE_CUE, "CUE", TransportFastForwarding},
    {DDC_STATE_REVIEW, "REVIEW", TransportRewinding},
    {DDC_STATE_PLAYBACK_PAUSE, "PLAYBACK_PAUSE", TransportPaused},
    {DDC_STATE_FRAME, "FRAME", TransportForwardSlow},
    {DDC_STATE_1_5, "1_5", TransportSlowMotion},
    {DDC_STATE_X2, "x2", TransportForwardFast},
    {DDC_STATE_REV_PLAYBACK_PAUSE, "REV_PLAYBACK_PAUSE", TransportPaused},
    {DDC_STATE_1_10, "1_10", TransportForwardSlow},
    {DDC_STATE_X1, "x1", TransportForwardPlaying},
    {DDC_STATE_X20, "x20", TransportForwardShuttle},
    {DDC_STATE_REV_FRAME, "REV_FRAME", TransportReverseShuttle},
    {DDC_STATE_REV_1_10, "REV_1_10", TransportReverseShuttle},
    {DDC_STATE_REV_1_5, "REV_1_5", TransportSlowMotion},
    {DDC_STATE_REV_X1, "REV_x1", TransportReversePlaying},
    {DDC_STATE_REV_X2, "REV_x2", TransportReverseFast},
    {DDC_STATE_REV_X20, "REV_x20", TransportReverseShuttle},
    {DDC_STATE_NO_DEVICE, "NO_DEVICE", TransportNoDevice},
    {DDC_STATE_INVALID, "INVALID", TransportUnknown},
};

const RawState* FindRawState(LONG raw) {
    for (const RawState& entry : kRawStates)
        if (entry.raw == raw) return &entry;
    return nullptr;
}

}  // namespace

std::string DDCStateName(LONG rawState) {
    if (const RawState* entry = FindRawState(rawState)) return entry->name;
    char text[40];
    std::snprintf(text, sizeof text, "UNKNOWN %ld", static_cast<long>(rawState));
    return text;
}

TransportState_t RawStateToTransportState(LONG rawState) {
    const RawState* entry = FindRawState(rawState);
    return entry != nullptr ? entry->host : TransportUnknown;
}

bool IsMovingRawState(LONG rawState) {
    switch (rawState) {
    case DDC_STATE_FAST_FORWARD:
    case DDC_STATE_REWIND:
    case DDC_STATE_PLAYBACK:
    case DDC_STATE_CUE:
    case DDC_STATE_REVIEW:
    case DDC_STATE_FRAME:
    case DDC_STATE_1_5:
    case DDC_STATE_X2:
        return true;
    default:
        // Every shuttle speed, forward and reverse (the reverse pause is 14, below).
        return rawState >= DDC_STATE_1_10 && rawState <= DDC_STATE_REV_X20;
    }
}

}  // namespace dv1394
