#include "deck/TimecodeFields.h"

namespace dv1394 {

unsigned char BinToBCD(unsigned char value) {
    return static_cast<unsigned char>((((value / 10) & 0xF) << 4) | ((value % 10) & 0xF));
}

unsigned char BCDToBin(unsigned char bcd) {
    return static_cast<unsigned char>((bcd >> 4) * 10 + (bcd & 0xF));
}

void DecodeTrackNumber(const unsigned char bytes[3], LONG* track, unsigned char* blankFlag) {
    const bool none = bytes[1] == 0xFF && bytes[2] == 0xFF && (bytes[0] == 0xFF || bytes[0] == 0xFE);
    const LONG value = static_cast<LONG>(bytes[0]) | (static_cast<LONG>(bytes[1]) << 8) |
                       (static_cast<LONG>(bytes[2]) << 16);
    *track = none ? 0 : value >> 1;
    *blankFlag = static_cast<unsigned char>(bytes[0] & 1);
}

void EncodeTrackNumber(LONG track, unsigned char bytes[3]) {
    const ULONG value = static_cast<ULONG>(track) * 2 + 1;
    bytes[0] = static_cast<unsigned char>((value & 0xFF) | 1);
    bytes[1] = static_cast<unsigned char>((value >> 8) & 0xFF);
    bytes[2] = static_cast<unsigned char>((value >> 16) & 0xFF);
}

LONG TracksPerFrame(LONG frames, bool rateIs30) {
    // Wraps as a 32-bit integer, like the frame arithmetic it follows.
    return static_cast<LONG>(static_cast<ULONG>(frames) * (rateIs30 ? 10u : 12u));
}

bool AreTimecodeFieldsValid(LONG hours, LONG minutes, LONG seconds, LONG frames) {
    return hours != -1 && minutes != -1 && seconds != -1 && frames != -1;
}

TimecodeFields TimecodeFields::Of(const timecode_t& tc) {
    short extra = 0, hours = 0, minutes = 0, seconds = 0, frames = 0;
    TCDeconstruct(tc, &extra, &hours, &minutes, &seconds, &frames);
    TimecodeFields fields;
    fields.hours = hours;
    fields.minutes = minutes;
    fields.seconds = seconds;
    fields.frames = frames;
    return fields;
}

timecode_t TimecodeFields::Build(const timecodeDesc_t& desc) const {
    if (!Valid()) return TCCreateDur(kTCEmptyFrameCount, &desc);
    return TCConstruct(0, static_cast<short>(hours), static_cast<short>(minutes), static_cast<short>(seconds),
                       static_cast<short>(frames), &desc);
}

}  // namespace dv1394
