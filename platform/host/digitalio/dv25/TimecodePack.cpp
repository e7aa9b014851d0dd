#include "digitalio/dv25/TimecodePack.h"

namespace dv25 {

namespace {

// Two BCD digits with `tensBits` bits of tens; false when a digit is not decimal.
bool DecodeBcd(uint8_t byte, int tensBits, uint8_t* value) {
    const uint8_t units = byte & 0x0F;
    const uint8_t tens = (byte >> 4) & ((1 << tensBits) - 1);
    if (units > 9) return false;
    *value = static_cast<uint8_t>(tens * 10 + units);
    return true;
}

uint8_t EncodeBcd(uint8_t value) { return static_cast<uint8_t>(((value / 10) << 4) | (value % 10)); }

}  // namespace

bool IsTimecodePack(const uint8_t* pack) { return pack[0] == kTimecodePackType; }

bool IsNoInformationPack(const uint8_t* pack) {
    return pack[1] == 0xFF && pack[2] == 0xFF && pack[3] == 0xFF && pack[4] == 0xFF;
}

bool IsValidLabel(const TimecodeLabel& l, DIO_VideoFormat standard) {
    const int fps = standard == DIO_PAL ? 25 : 30;
    if (l.hours > 23 || l.minutes > 59 || l.seconds > 59 || l.frames >= fps) return false;
    if (l.dropFrame) {
        if (standard != DIO_NTSC) return false;
        // Frames 0 and 1 do not exist at the start of a minute that is not a tenth.
        if (l.seconds == 0 && l.frames < 2 && l.minutes % 10 != 0) return false;
    }
    return true;
}

bool DecodeTimecodePack(const uint8_t* pack, DIO_VideoFormat standard, TimecodeLabel* out) {
    if (!IsTimecodePack(pack)) return false;
    TimecodeLabel l{};
    if (!DecodeBcd(pack[1], 2, &l.frames) || !DecodeBcd(pack[2], 3, &l.seconds) || !DecodeBcd(pack[3], 3, &l.minutes) ||
        !DecodeBcd(pack[4], 2, &l.hours)) {
        return false;
    }
    // In 625/50 the bit is not a drop-frame flag.
    l.dropFrame = standard == DIO_NTSC && (pack[1] & 0x40) != 0;
    if (!IsValidLabel(l, standard)) return false;
    *out = l;
    return true;
}

void EncodeTimecodePack(uint8_t* pack, const TimecodeLabel& l, DIO_VideoFormat standard, bool keepFlags) {
    const bool pal = standard == DIO_PAL;
    // Flag bits that are not part of the value.
    uint8_t f1 = 0x80, f2 = 0x80, f3 = 0x80, f4 = 0xC0;
    if (keepFlags) {
        f1 = pack[1] & (pal ? 0xC0 : 0x80);
        f2 = pack[2] & 0x80;
        f3 = pack[3] & 0x80;
        f4 = pack[4] & 0xC0;
    }
    const uint8_t df = (!pal && l.dropFrame) ? 0x40 : 0x00;
    pack[0] = kTimecodePackType;
    pack[1] = static_cast<uint8_t>(f1 | df | EncodeBcd(l.frames));
    pack[2] = static_cast<uint8_t>(f2 | EncodeBcd(l.seconds));
    pack[3] = static_cast<uint8_t>(f3 | EncodeBcd(l.minutes));
    pack[4] = static_cast<uint8_t>(f4 | EncodeBcd(l.hours));
}

}  // namespace dv25
