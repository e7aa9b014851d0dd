#include "digitalio/dv25/RecordingPacks.h"

#include "digitalio/dv25/AudioSourcePack.h"
#include "digitalio/dv25/DifLayout.h"

#include <initializer_list>

namespace dv25 {

namespace {

constexpr uint8_t kRecStartBit = 0x80;  // PC2 b7 of a source control pack, 0 = start point

// A BCD byte under `mask`, or -1 when a digit is not decimal.
int Bcd(uint8_t byte, uint8_t mask) {
    const int value = byte & mask;
    if ((value & 0x0F) > 9 || (value >> 4) > 9) return -1;
    return (value >> 4) * 10 + (value & 0x0F);
}

uint8_t ToBcd(int value) { return static_cast<uint8_t>(((value / 10) % 10) << 4 | (value % 10)); }

bool DecodeDate(const uint8_t* pack, uint8_t type, RecordingDateTime* out) {
    if (pack[0] != type) return false;
    const int day = Bcd(pack[2], 0x3F), month = Bcd(pack[3], 0x1F), year = Bcd(pack[4], 0xFF);
    if (day < 1 || day > 31 || month < 1 || month > 12 || year < 0) return false;
    out->day = day;
    out->month = month;
    // Two digits only, read as two-digit years usually are: 69-99 are the 1900s and
    // the rest the 2000s. Files muxed without a date carry 1970-01-01, which must
    // read as that, not as a date in 2070.
    out->year = year >= 69 ? 1900 + year : 2000 + year;
    return true;
}

bool DecodeTime(const uint8_t* pack, uint8_t type, RecordingDateTime* out) {
    if (pack[0] != type) return false;
    const int second = Bcd(pack[2], 0x7F), minute = Bcd(pack[3], 0x7F), hour = Bcd(pack[4], 0x3F);
    if (second < 0 || second > 59 || minute < 0 || minute > 59 || hour < 0 || hour > 23) return false;
    out->second = second;
    out->minute = minute;
    out->hour = hour;
    return true;
}

// Both packs of a pair decode; the first sequence that has them wins.
bool DecodePair(const uint8_t* date, const uint8_t* time, uint8_t dateType, uint8_t timeType,
                RecordingDateTime* out) {
    RecordingDateTime when;
    if (!DecodeDate(date, dateType, &when) || !DecodeTime(time, timeType, &when)) return false;
    *out = when;
    return true;
}

bool VauxBlocksValid(const uint8_t* frame, int s) {
    for (int j = 0; j < kVauxBlocks; ++j)
        if (!HasBlockId(frame + VauxBlockOffset(s, j), Section::Vaux, s, j)) return false;
    return true;
}

bool AudioBlockValid(const uint8_t* frame, int s, int k) {
    return HasBlockId(frame + AudioBlockOffset(s, k), Section::Audio, s, k);
}

void WriteDatePack(uint8_t* pack, uint8_t type, const RecordingDateTime& when) {
    pack[0] = type;
    pack[1] = 0xFF;  // time zone unknown
    pack[2] = static_cast<uint8_t>(0xC0 | ToBcd(when.day));
    pack[3] = static_cast<uint8_t>(0xE0 | ToBcd(when.month));  // day of week unknown
    pack[4] = ToBcd(((when.year % 100) + 100) % 100);
}

void WriteTimePack(uint8_t* pack, uint8_t type, const RecordingDateTime& when) {
    pack[0] = type;
    pack[1] = 0xFF;  // frames unknown, as recorders write it
    pack[2] = static_cast<uint8_t>(0x80 | ToBcd(when.second));
    pack[3] = static_cast<uint8_t>(0x80 | ToBcd(when.minute));
    pack[4] = static_cast<uint8_t>(0xC0 | ToBcd(when.hour));
}

}  // namespace

bool FindRecordingDateTime(const uint8_t* frame, DIO_VideoFormat standard, RecordingDateTime* out) {
    if (frame == nullptr || out == nullptr) return false;
    const int sequences = SequencesIn(standard);
    for (int s = 0; s < sequences; ++s) {
        if (!VauxBlocksValid(frame, s)) continue;
        const int main = VauxMainAreaFirstPack(s);
        if (DecodePair(frame + VauxPackOffset(s, main + 2), frame + VauxPackOffset(s, main + 3), kVauxRecDatePackType,
                       kVauxRecTimePackType, out))
            return true;
    }
    for (int s = 0; s < sequences; ++s) {
        const int dateBlock = AudioMainAreaBlock(s, 2), timeBlock = AudioMainAreaBlock(s, 3);
        if (!AudioBlockValid(frame, s, dateBlock) || !AudioBlockValid(frame, s, timeBlock)) continue;
        if (DecodePair(frame + AudioPackOffset(s, dateBlock), frame + AudioPackOffset(s, timeBlock),
                       kAauxRecDatePackType, kAauxRecTimePackType, out))
            return true;
    }
    return false;
}

bool IsRecordingStart(const uint8_t* frame, DIO_VideoFormat standard) {
    if (frame == nullptr) return false;
    const int sequences = SequencesIn(standard);
    for (int s = 0; s < sequences; ++s) {
        if (!VauxBlocksValid(frame, s)) continue;
        const uint8_t* pack = frame + VauxPackOffset(s, VauxMainAreaFirstPack(s) + 1);
        if (pack[0] == kVauxSourceControlPackType) return (pack[2] & kRecStartBit) == 0;
    }
    for (int s = 0; s < sequences; ++s) {
        const int k = AudioMainAreaBlock(s, 1);
        if (!AudioBlockValid(frame, s, k)) continue;
        const uint8_t* pack = frame + AudioPackOffset(s, k);
        if (pack[0] == kAudioSourceControlPackType) return (pack[2] & kRecStartBit) == 0;
    }
    return false;
}

void WriteRecordingDateTime(uint8_t* frame, DIO_VideoFormat standard, const RecordingDateTime& when) {
    if (frame == nullptr) return;
    const int sequences = SequencesIn(standard);
    const int half = SequencesPerHalf(standard);
    for (int s = 0; s < sequences; ++s) {
        const int main = VauxMainAreaFirstPack(s);
        WriteDatePack(frame + VauxPackOffset(s, main + 2), kVauxRecDatePackType, when);
        WriteTimePack(frame + VauxPackOffset(s, main + 3), kVauxRecTimePackType, when);
        WriteDatePack(frame + AudioPackOffset(s, AudioMainAreaBlock(s, 2)), kAauxRecDatePackType, when);
        WriteTimePack(frame + AudioPackOffset(s, AudioMainAreaBlock(s, 3)), kAauxRecTimePackType, when);
        if (s < half) continue;
        // The subcode main area of the second half: date at sync blocks 4 and 10, time
        // at 5 and 11 (the timecode keeps 3 and 9).
        for (int n : {4, 10}) WriteDatePack(frame + SubcodePackOffset(s, n), kVauxRecDatePackType, when);
        for (int n : {5, 11}) WriteTimePack(frame + SubcodePackOffset(s, n), kVauxRecTimePackType, when);
    }
}

void WriteRecordingStart(uint8_t* frame, DIO_VideoFormat standard, bool start) {
    if (frame == nullptr) return;
    const int sequences = SequencesIn(standard);
    auto mark = [start](uint8_t* pack) {
        pack[2] = static_cast<uint8_t>(start ? pack[2] & ~kRecStartBit : pack[2] | kRecStartBit);
    };
    for (int s = 0; s < sequences; ++s) {
        uint8_t* vaux = frame + VauxPackOffset(s, VauxMainAreaFirstPack(s) + 1);
        if (vaux[0] == kVauxSourceControlPackType) mark(vaux);
        uint8_t* aaux = frame + AudioPackOffset(s, AudioMainAreaBlock(s, 1));
        if (aaux[0] == kAudioSourceControlPackType) mark(aaux);
    }
}

}  // namespace dv25
