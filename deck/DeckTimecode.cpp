// The deck's current timecode (synchronously or in two halves) and its frame rate.
#include "deck/TimecodeFields.h"
#include "device/CDV1394.h"
#include "device/DeviceLog.h"
#include "KordexDDC.h"

using namespace dv1394;

namespace {

// How the library's DevGetFrameRate reports 29.97 frames per second.
constexpr LONG kRate2997 = 2997;

}  // namespace

DDCError_t CDV1394::DeviceGetTimecode(timecode_t* timecode) {
    if (timecode == nullptr) return DDC_InvalidParameter;
    timecode_t result = DeckNoTimecode();
    DDCError_t error = DDC_NoError;
    if (!KordexDDCReady()) {
        error = DDC_DriverError;
    } else if (GetTimecodeFromCaptureThread(&result)) {
        // A frame captured within the last moments knows the position best.
    } else if (m_bHasSMPTETimecode != 0 && GetSMPTETimecode(&result)) {
        // The deck's own time code status also carries the drop-frame flag.
    } else {
        TimecodeFields fields;
        error = DevGetTimecode(&fields.hours, &fields.minutes, &fields.seconds, &fields.frames, 100);
        if (error == DDC_NoError) {
            if (fields.Valid())
                result = fields.Build(DeckTimecodeDesc());
            else
                error = DDC_NoTimecode;
        } else if (error == DDC_TapeEjected) {
            error = DDC_NoTimecode;
        }
    }
    if (error != DDC_NoError) result = DeckNoTimecode();
    *timecode = result;
    if (m_bTraceDeckControl) LogDDCTimecode("DevGetTimecode", result, error);
    return error;
}

DDCError_t CDV1394::DeviceAskForTCAsync() {
    const DDCError_t error = KordexDDCReady() ? DevAskForTCAsync() : DDC_DriverError;
    if (m_bTraceDeckControl) LogDDCError("DevAskForTCAsync", error);
    return error;
}

DDCError_t CDV1394::DeviceReceiveAsyncTC(timecode_t* timecode) {
    if (timecode == nullptr) return DDC_InvalidParameter;
    // While frames come in, their timecode is the answer, whatever was asked.
    if (GetTimecodeFromCaptureThread(timecode)) return DDC_NoError;
    timecode_t result = DeckNoTimecode();
    DDCError_t error = DDC_DriverError;
    if (KordexDDCReady()) {
        TimecodeFields fields;
        error = DevReceiveAsyncTC(&fields.hours, &fields.minutes, &fields.seconds, &fields.frames);
        if (error == DDC_NoError) {
            if (fields.Valid())
                result = fields.Build(DeckTimecodeDesc());
            else
                error = DDC_NoTimecode;
        }
    }
    if (error != DDC_NoError) result = DeckNoTimecode();
    *timecode = result;
    if (m_bTraceDeckControl) LogDDCTimecode("DevReceiveAsyncTC", result, error);
    return error;
}

void CDV1394::DeviceCancelAsyncTC() {
    DDCError_t error = DDC_DriverError;
    if (KordexDDCReady()) {
        DevCancelAsyncTCRequest();  // nothing to report: the request is gone either way
        error = DDC_NoError;
    }
    if (m_bTraceDeckControl) LogDDCError("DevCancelAsyncTCRequest", error);
}

DDCError_t CDV1394::DeviceGetFrameRate(unsigned char* dropFrame, LONG* rate) {
    DDCError_t error = DDC_DriverError;
    if (KordexDDCReady()) {
        unsigned char deckDropFrame = 0;
        LONG hundredths = 0;  // the library counts hundredths of a frame per second
        error = DevGetFrameRate(&deckDropFrame, &hundredths);
        if (error == DDC_NoError) {
            m_bTCDropFrame = deckDropFrame != 0 ? 1 : 0;
            if (hundredths == kRate2997) hundredths = 3000;
            m_nTCFrameRate = hundredths / 100;
            const unsigned char dropByte = static_cast<unsigned char>(m_bTCDropFrame & 0xFF);
            if (dropFrame != nullptr) *dropFrame = dropByte;
            if (rate != nullptr) *rate = m_nTCFrameRate;
            if (m_bTraceDeckControl) {
                if (dropByte != 0) OutputDebugStringA("DROP FRAME ");
                OutputDebugStringA(m_nTCFrameRate == 30   ? "30 fps\n"
                                   : m_nTCFrameRate == 25 ? "25 fps\n"
                                                          : "unknown fps\n");
            }
            SetDeckTimecodeDesc(TCCreateDesc(dropByte, static_cast<unsigned short>(m_nTCFrameRate)));
        }
    }
    // Whether the deck answers the SMPTE/EBU time code query decides which query the
    // timecode request tries first; asked even when the rate could not be read. An
    // answer of FF bytes (blank tape under the head) still says the deck has the query.
    timecode_t scratch = DeckNoTimecode();
    bool answered = false;
    GetSMPTETimecode(&scratch, &answered);
    m_bHasSMPTETimecode = answered ? 1 : 0;
    if (m_bTraceDeckControl) LogDDCError("DevGetFrameRate", error);
    return error;
}
