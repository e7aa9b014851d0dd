// What the deck reports about the tape over AV/C: time code, SMPTE/EBU time code,
// absolute track number and the cassette in it.
#include "deck/AvcBuffer.h"
#include "deck/TimecodeFields.h"
#include "device/CDV1394.h"
#include "device/DeviceLog.h"
#include "hostcore/HostLog.h"

#include <cstdio>

using namespace dv1394;

namespace {

// Frame bytes of a status query: STATUS, the tape subunit, the opcode, "current", and
// four FF operands for the deck to fill in.
constexpr ULONG kStatusQueryLength = 8;
constexpr ULONG kMediumInfoLength = 5;

// The small DV cassette, the only medium-info type that is not taken for DVCAM.
constexpr unsigned char kSmallDVCassette = 0x32;

// The four time code bytes of a response: frames, seconds, minutes, hours.
constexpr size_t kTimecodeFirstByte = 4;
// Bit 6 of the frames byte carries the drop-frame flag, the tens digit sits below it.
constexpr unsigned char kFramesDigits = 0x3F;
constexpr unsigned char kDropFrameBit = 0x40;

AVCBuffer StatusQuery(unsigned char opcode) {
    const unsigned char frame[kStatusQueryLength] = {kAVCStatus, kAVCTapeSubunit, opcode, kAVCGetCurrent,
                                                     0xFF,       0xFF,            0xFF,   0xFF};
    AVCBuffer command;
    command.SetFrameBytes(frame, sizeof frame);
    return command;
}

// The deck fills the time code operands with FF when the tape under the head carries
// no time code; such an answer holds no timecode to build.
bool HasTimecodeBytes(const AVCBuffer& response) {
    for (size_t i = 0; i < 4; ++i)
        if (response.Frame(kTimecodeFirstByte + i) != 0xFF) return true;
    return false;
}

timecode_t TimecodeFromResponse(const AVCBuffer& response, const timecodeDesc_t& desc) {
    const short frames = BCDToBin(response.Frame(kTimecodeFirstByte) & kFramesDigits);
    const short seconds = BCDToBin(response.Frame(kTimecodeFirstByte + 1));
    const short minutes = BCDToBin(response.Frame(kTimecodeFirstByte + 2));
    const short hours = BCDToBin(response.Frame(kTimecodeFirstByte + 3));
    return TCConstruct(0, hours, minutes, seconds, frames, &desc);
}

}  // namespace

unsigned char CDV1394::GetTimecode(timecode_t* timecode) {
    if (timecode == nullptr) return 0;
    AVCBuffer command = StatusQuery(kAVCOpTimecode);
    AVCBuffer response;
    if (!SendAVCCommand(command, kStatusQueryLength, response)) {
        if (m_bTraceDeckControl) OutputDebugStringA("GetTimecode not successful\n");
        return 0;
    }
    if (response.Frame(kAVCOpcodeByte) != command.Frame(kAVCOpcodeByte) ||
        response.Frame(kAVCOperand0Byte) != command.Frame(kAVCOperand0Byte)) {
        if (m_bTraceDeckControl) OutputDebugStringA("timecode returning mismatched response\n");
        return 0;
    }
    if (!HasTimecodeBytes(response)) return 0;
    *timecode = TimecodeFromResponse(response, DeckTimecodeDesc());
    if (m_bTraceDeckControl) LogDDCTimecode("GetTimecode", *timecode, 0);
    return 1;
}

unsigned char CDV1394::GetSMPTETimecode(timecode_t* timecode, bool* answered) {
    if (answered != nullptr) *answered = false;
    if (timecode == nullptr) return 0;
    AVCBuffer command = StatusQuery(kAVCOpSmpteEbuTimecode);
    AVCBuffer response;
    if (!SendAVCCommand(command, kStatusQueryLength, response)) {
        if (m_bTraceDeckControl) OutputDebugStringA("GetSMPTETimecode seek not successful\n");
        return 0;
    }
    if (response.Frame(kAVCOpcodeByte) != command.Frame(kAVCOpcodeByte) ||
        response.Frame(kAVCOperand0Byte) != command.Frame(kAVCOperand0Byte)) {
        if (m_bTraceDeckControl) OutputDebugStringA("SMPTE timecode returning mismatched response\n");
        return 0;
    }
    if (answered != nullptr) *answered = true;
    if (!HasTimecodeBytes(response)) return 0;
    // From here on every deck timecode counts the way the deck does.
    SetDeckDropFrameWord((response.Frame(kTimecodeFirstByte) & kDropFrameBit) != 0 ? 1 : 0);
    *timecode = TimecodeFromResponse(response, DeckTimecodeDesc());
    if (m_bTraceDeckControl) LogDDCTimecode("GetSMPTETimecode", *timecode, 0);
    return 1;
}

unsigned char CDV1394::GetAbsoluteTrackNumber(LONG* track, unsigned char* blankFlag) {
    if (track == nullptr || blankFlag == nullptr) return 0;
    AVCBuffer command = StatusQuery(kAVCOpAbsTrackNumber);
    AVCBuffer response;
    const unsigned char sent = SendAVCCommand(command, kStatusQueryLength, response);
    if (sent) {
        const unsigned char bytes[3] = {response.Frame(4), response.Frame(5), response.Frame(6)};
        DecodeTrackNumber(bytes, track, blankFlag);
        if (m_bTraceDeckControl) {
            char line[96];
            std::snprintf(line, sizeof line, "GetAbsoluteTrackNumber %ld  blankFlag %d\n", static_cast<long>(*track),
                          *blankFlag);
            OutputDebugStringA(line);
        }
    } else if (m_bTraceDeckControl) {
        OutputDebugStringA("GetAbsoluteTrackNumber not sent\n");
        LogKDXLastError();
    }
    return sent;
}

unsigned char CDV1394::GetMediumInfo(unsigned char* cassetteType, unsigned char* gradeAndProtect) {
    if (cassetteType == nullptr || gradeAndProtect == nullptr) return 0;
    const unsigned char frame[kMediumInfoLength] = {kAVCStatus, kAVCTapeSubunit, kAVCOpMediumInfo, kAVCMediumInfoAll,
                                                    kAVCMediumInfoAll};
    AVCBuffer command;
    command.SetFrameBytes(frame, sizeof frame);
    AVCBuffer response;
    if (!SendAVCCommand(command, kMediumInfoLength, response)) {
        if (m_bTraceDeckControl) OutputDebugStringA("GetMediumInfo not successful\n");
        return 0;
    }
    if (response.Frame(kAVCOpcodeByte) != kAVCOpMediumInfo) {
        if (m_bTraceDeckControl) OutputDebugStringA("AVC_MEDIUM_INFO returning mismatched response\n");
        return 0;
    }
    *cassetteType = response.Frame(3);
    *gradeAndProtect = response.Frame(4);
    return 1;
}

unsigned char CDV1394::IsDVCAMTape() {
    unsigned char cassetteType = 0;
    unsigned char gradeAndProtect = 0;
    if (!GetMediumInfo(&cassetteType, &gradeAndProtect) || cassetteType == kSmallDVCassette) return 0;
    dprintf("Detected DVCAM cassette....\n");
    return 1;
}
