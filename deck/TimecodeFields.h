// Conversions between the deck's field encodings and numbers: packed BCD time code
// bytes, the 24-bit absolute track number with its blank flag, tracks per frame, and
// the library's four timecode fields.
#pragma once

#include "hostcore/Timecode.h"
#include "windows.h"

namespace dv1394 {

// Packed BCD of 0..99: tens in the high nibble.
unsigned char BinToBCD(unsigned char value);
unsigned char BCDToBin(unsigned char bcd);

// Track-number bytes, low byte first. A track number is stored doubled, with bit 0 of
// the low byte as the blank flag (1: the tape is recorded and continuous here).
// FF FF FF and FE FF FF are "no track number" and decode to track 0.
void DecodeTrackNumber(const unsigned char bytes[3], LONG* track, unsigned char* blankFlag);
void EncodeTrackNumber(LONG track, unsigned char bytes[3]);

// DV records 10 tracks a frame at 30 frames per second and 12 at 25. Wraps as a
// 32-bit integer.
LONG TracksPerFrame(LONG frames, bool rateIs30);

// False when the library left any of the four fields unknown (-1).
bool AreTimecodeFieldsValid(LONG hours, LONG minutes, LONG seconds, LONG frames);

// The library's four timecode fields, as edit points and timecodes cross it.
struct TimecodeFields {
    LONG hours = -1;
    LONG minutes = -1;
    LONG seconds = -1;
    LONG frames = -1;

    static TimecodeFields Of(const timecode_t& tc);
    bool Valid() const { return AreTimecodeFieldsValid(hours, minutes, seconds, frames); }
    // The timecode the fields name; the empty timecode when any is unknown.
    timecode_t Build(const timecodeDesc_t& desc) const;
};

}  // namespace dv1394
