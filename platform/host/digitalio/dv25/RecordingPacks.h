// The recorder's own notes in a DV25 frame: the wall-clock date and time of the
// recording and the flag that marks where a recording starts.
//
// REC DATE (0x62 in VAUX and subcode, 0x52 in AAUX), bytes after the type byte:
//   PC1: time zone (0xFF unknown)
//   PC2: b7-b6 = 11, b5-b4 tens of day, b3-b0 units
//   PC3: b7-b5 day of week (111 unknown), b4 tens of month, b3-b0 units
//   PC4: tens of year b7-b4, units b3-b0 (two digits)
// REC TIME (0x63 / 0x53):
//   PC1: b7-b6 = 11, b5-b0 frames in BCD or 0x3F (unknown)
//   PC2: b7 = 1, seconds BCD; PC3: b7 = 1, minutes BCD; PC4: b7-b6 = 11, hours BCD
// REC ST is bit 7 of PC2 of the source control packs (VAUX 0x61, AAUX 0x51): 0 marks
// the first frame of a recording.
#pragma once

#include "digitalio/DIOTypes.h"

#include <cstdint>

namespace dv25 {

constexpr uint8_t kVauxRecDatePackType = 0x62;
constexpr uint8_t kVauxRecTimePackType = 0x63;
constexpr uint8_t kVauxSourceControlPackType = 0x61;
constexpr uint8_t kAauxRecDatePackType = 0x52;
constexpr uint8_t kAauxRecTimePackType = 0x53;

struct RecordingDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

inline bool operator==(const RecordingDateTime& a, const RecordingDateTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
           a.second == b.second;
}
inline bool operator!=(const RecordingDateTime& a, const RecordingDateTime& b) { return !(a == b); }

// The camcorder's stamp: VAUX REC DATE/TIME (0x62/0x63) first, AAUX (0x52/0x53) when
// VAUX has none. A date or time with an unknown (0xFF) or impossible field counts as
// no stamp. False when the frame has none.
bool FindRecordingDateTime(const uint8_t* frame, DIO_VideoFormat standard, RecordingDateTime* out);

// REC ST: the frame is a recording start point (VAUX 0x61 PC2 b7 == 0, else, when the
// frame has no VAUX source control pack, AAUX 0x51 PC2 b7 == 0).
bool IsRecordingStart(const uint8_t* frame, DIO_VideoFormat standard);

// Writes the stamp into the main-area slots of every sequence: VAUX 0x62/0x63, AAUX
// 0x52/0x53, and subcode 0x62/0x63 in the second half (sync blocks 4, 5, 10, 11).
// Years outside 1969-2068 cannot be written in two digits and are written modulo 100.
void WriteRecordingDateTime(uint8_t* frame, DIO_VideoFormat standard, const RecordingDateTime& when);

// Sets or clears the start point in every VAUX 0x61 and AAUX 0x51 pack the frame has.
void WriteRecordingStart(uint8_t* frame, DIO_VideoFormat standard, bool start);

}  // namespace dv25
