// Edit settings (In, Out, preroll, mode, delays), cueing for an edit and arming one:
// the tape position check, the card's synchronised-record parameters and record pause.
#include "deck/TimecodeFields.h"
#include "device/CDV1394.h"
#include "device/DeviceLog.h"
#include "KDXCORE.h"
#include "KordexDDC.h"

#include <cstdio>

using namespace dv1394;

// The Out point last passed to DeviceSetOut, kept whether or not the deck took it:
// DevicePerform takes the edit's length from it.
static timecode_t s_tcOut = {};

namespace {

void TraceCardCall(const char* format, LONG value, BOOL ok) {
    char line[96];
    std::snprintf(line, sizeof line, format, static_cast<int>(value), ok ? "OK" : "FAIL");
    OutputDebugStringA(line);
}

}  // namespace

DDCError_t CDV1394::DeviceSetIn(timecode_t in) {
    DDCError_t error = DDC_DriverError;
    if (KordexDDCReady()) {
        const TimecodeFields fields = TimecodeFields::Of(in);
        error = DevSetIn(fields.hours, fields.minutes, fields.seconds, fields.frames);
        if (error == DDC_NoError) m_tcIn = fields.Build(DeckTimecodeDesc());
    }
    if (m_bTraceDeckControl) LogDDCTimecode("DevSetIn", m_tcIn, error);
    return error;
}

DDCError_t CDV1394::DeviceGetIn(timecode_t* in) {
    if (in == nullptr) return DDC_InvalidParameter;
    DDCError_t error = DDC_DriverError;
    if (KordexDDCReady()) {
        TimecodeFields fields;
        error = DevGetIn(&fields.hours, &fields.minutes, &fields.seconds, &fields.frames);
        if (error == DDC_NoError) {
            m_tcIn = fields.Build(DeckTimecodeDesc());
            *in = m_tcIn;
        }
    }
    if (m_bTraceDeckControl) LogDDCTimecode("DevGetIn", m_tcIn, error);
    return error;
}

DDCError_t CDV1394::DeviceSetOut(timecode_t out) {
    DDCError_t error = DDC_DriverError;
    if (KordexDDCReady()) {
        const TimecodeFields fields = TimecodeFields::Of(out);
        error = DevSetOut(fields.hours, fields.minutes, fields.seconds, fields.frames);
    }
    if (m_bTraceDeckControl) LogDDCTimecode("DevSetOut", out, error);
    s_tcOut = out;
    return error;
}

DDCError_t CDV1394::DeviceGetOut(timecode_t* out) {
    if (out == nullptr) return DDC_InvalidParameter;
    DDCError_t error = DDC_DriverError;
    if (KordexDDCReady()) {
        TimecodeFields fields;
        error = DevGetOut(&fields.hours, &fields.minutes, &fields.seconds, &fields.frames);
        if (error == DDC_NoError) *out = fields.Build(DeckTimecodeDesc());
    }
    if (m_bTraceDeckControl) LogDDCTimecode("DevGetOut", *out, error);
    return error;
}

DDCError_t CDV1394::DeviceGetPreroll(timecode_t* preroll) {
    if (preroll == nullptr) return DDC_InvalidParameter;
    *preroll = m_tcPreroll;
    return DDC_NoError;
}

DDCError_t CDV1394::DeviceSetPreroll(timecode_t preroll) {
    m_tcPreroll = preroll;
    return DDC_NoError;
}

DDCError_t CDV1394::DeviceGotoPreroll() {
    if (TCIsEmpty(m_tcIn) || TCIsEmpty(m_tcPreroll)) return DDC_NoTimecode;
    timecode_t target = m_tcIn;
    if (m_nEditMode == EditModeNone) {
        target = TCAddModDay(m_tcIn, -m_tcPreroll.frameCount);
    } else {
        // A synchronised record takes its own run-up: the deck waits on the In point.
        m_tcPreroll.frameCount = 0;
    }
    return DeviceSeekToTimecode(target);
}

DDCError_t CDV1394::DeviceGetEditMode(DeviceEditMode_t* mode) {
    if (mode == nullptr) return DDC_InvalidParameter;
    *mode = m_nEditMode;
    return DDC_NoError;
}

DDCError_t CDV1394::DeviceSetEditMode(DeviceEditMode_t mode) {
    if (mode != EditModeNone && mode != EditModeSynchronised && mode != EditModeSynchronisedStopDelay)
        return DDC_InvalidParameter;
    m_nEditMode = mode;
    if (mode == EditModeNone) {
        // Plain printing has no synchronised record to delay.
        m_nRecordPlayDelay = 0;
        m_nRecordStopDelay = 0;
    }
    return DDC_NoError;
}

DDCError_t CDV1394::DeviceGetEditStatus(DeviceEditStatus_t* status) {
    if (status == nullptr) return DDC_InvalidParameter;
    *status = EditStatusIdle;
    TransportState_t state = TransportUnknown;
    if (m_nEditMode != EditModeNone && DeviceGetState(&state) == DDC_NoError && state == TransportRecording)
        *status = EditStatusRecording;
    return DDC_NoError;
}

DDCError_t CDV1394::DeviceSetTracks(unsigned char, unsigned char) { return DDC_NoError; }

void CDV1394::DeviceSetRecordPlayDelay(LONG delay) { m_nRecordPlayDelay = delay; }

void CDV1394::DeviceSetRecordStopDelay(LONG delay) { m_nRecordStopDelay = delay; }

DDCError_t CDV1394::DevicePerform() {
    const bool trace = m_bTraceDeckControl;
    if (!KordexDDCReady()) {
        if (trace) LogDDCError("DevicePerform", DDC_DriverError);
        return DDC_DriverError;
    }

    // The edit goes ahead either way; the lines tell whether it lands on the In point.
    if (TCIsEmpty(m_tcIn)) {
        OutputDebugStringA("PRINT TO TAPE IS INACCURATE\n");  // no In point to stand on
    } else if (!IsPositionedAtTC(m_tcIn)) {
        if (AdjustTapePosition(m_tcIn)) {
            OutputDebugStringA("TRYING TO CORRECT TAPE LOCATION\n");
            OutputDebugStringA(IsPositionedAtTC(m_tcIn) ? "PRINT TO TAPE IS ACCURATE\n"
                                                        : "PRINT TO TAPE IS INACCURATE\n");
        } else {
            OutputDebugStringA("PRINT TO TAPE IS INACCURATE\n");
        }
    }
    m_bSeekPending = 0;

    const BOOL delaySet = PdvSetSyncRecDelay(m_nRecordPlayDelay);
    if (trace) TraceCardCall("PdvSetSyncRecDelay(%d) ->%s\n", m_nRecordPlayDelay, delaySet);
    const LONG pauseFlying = m_nEditMode == EditModeSynchronisedStopDelay ? m_nRecordStopDelay : 0;
    const BOOL flyingSet = PdvSetSyncRecPauseFlying(pauseFlying);
    if (trace) TraceCardCall("PdvSetSyncRecPauseFlying(%d) ->%s\n", pauseFlying, flyingSet);
    const LONG editFrames =
        static_cast<LONG>(static_cast<ULONG>(s_tcOut.frameCount) - static_cast<ULONG>(m_tcIn.frameCount));
    const BOOL framesSet = PdvSetSyncRecNumFrames(editFrames);
    if (trace) TraceCardCall("PdvSetSyncRecNumFrames ->%d ->%s\n", editFrames, framesSet);

    const BOOL paused = PdvDeckControl(PDV_DECK_RECORD_PAUSE);
    if (trace) LogDDCError("RecordPause", paused ? DDC_NoError : DDC_NoDevice);
    return paused ? DDC_NoError : DDC_NoDevice;
}
