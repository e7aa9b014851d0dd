// The subcode timecode pack (0x13): SMPTE time bits in BCD.
//
//   PC1: b7 CF/BF, b6 DF (drop frame, 525/60 only), b5-b4 tens of frames, b3-b0 units
//   PC2: b7 flag, b6-b4 tens of seconds, b3-b0 units
//   PC3: b7 flag, b6-b4 tens of minutes, b3-b0 units
//   PC4: b7-b6 flags, b5-b4 tens of hours, b3-b0 units
#pragma once

#include "digitalio/DIOTypes.h"

#include <cstdint>

namespace dv25 {

constexpr uint8_t kTimecodePackType = 0x13;

struct TimecodeLabel {
    uint8_t hours;
    uint8_t minutes;
    uint8_t seconds;
    uint8_t frames;
    bool dropFrame;
};

inline bool operator==(const TimecodeLabel& a, const TimecodeLabel& b) {
    return a.hours == b.hours && a.minutes == b.minutes && a.seconds == b.seconds && a.frames == b.frames &&
           a.dropFrame == b.dropFrame;
}

// A pack of type 0x13 whose four data bytes are all 0xFF says "no information".
bool IsTimecodePack(const uint8_t* pack);
bool IsNoInformationPack(const uint8_t* pack);

// Decodes a timecode pack of a frame of `standard`; false for anything that is not a
// real timecode of that standard (not BCD, out of range, a label drop-frame skips).
bool DecodeTimecodePack(const uint8_t* pack, DIO_VideoFormat standard, TimecodeLabel* out);

// Whether a label is one the standard can carry (frames below 30 or 25, drop-frame
// only in 525/60 and never on a skipped label).
bool IsValidLabel(const TimecodeLabel& label, DIO_VideoFormat standard);

// Writes the pack, type byte included. `keepFlags` keeps the flag bits of a pack
// already there (colour frame, binary group flags, polarity); otherwise they are
// set to 1, as consumer recorders without binary groups do.
void EncodeTimecodePack(uint8_t* pack, const TimecodeLabel& label, DIO_VideoFormat standard, bool keepFlags);

}  // namespace dv25
