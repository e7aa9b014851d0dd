#include "digitalio/dv25/AudioBlockReader.h"

#include "digitalio/dv25/AudioCompanding.h"
#include "digitalio/dv25/AudioShuffleTable.h"
#include "digitalio/dv25/DifLayout.h"

namespace dv25 {

bool AudioBlockIdsValid(const uint8_t* frame, DIO_VideoFormat standard) {
    const int sequences = SequencesIn(standard);
    for (int s = 0; s < sequences; ++s) {
        for (int k = 0; k < kAudioBlocksPerSequence; ++k) {
            if (!HasBlockId(frame + AudioBlockOffset(s, k), Section::Audio, s, k)) return false;
        }
    }
    return true;
}

namespace {

inline void StoreLittleEndian(uint8_t* out, int16_t value) {
    const uint16_t v = static_cast<uint16_t>(value);
    out[0] = static_cast<uint8_t>(v);
    out[1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace

void ReadChannel(const uint8_t* frame, DIO_VideoFormat standard, Quantization quantization, int channel,
                 uint32_t samples, uint8_t* out) {
    const AudioShuffleTable table = ShuffleTableFor(standard, quantization);
    if (quantization == Quantization::Linear16) {
        const uint8_t* base = frame + (channel == 0 ? 0 : table.secondHalf);
        for (uint32_t n = 0; n < samples; ++n) {
            const uint8_t* slot = base + table.offsets[n];
            uint16_t code = static_cast<uint16_t>((slot[0] << 8) | slot[1]);
            if (code == kMissingSample16) code = 0;
            out[2 * n] = static_cast<uint8_t>(code);
            out[2 * n + 1] = static_cast<uint8_t>(code >> 8);
        }
        return;
    }
    // 12-bit: each 3-byte slot holds sample n of two channels: a in the high nibbles
    // of bytes 0 and 2, b in byte 1 and the low nibble of byte 2.
    const int16_t* expand = ExpansionTable();
    const uint8_t* base = frame + (channel < 2 ? 0 : table.secondHalf);
    const bool second = (channel & 1) != 0;
    for (uint32_t n = 0; n < samples; ++n) {
        const uint8_t* slot = base + table.offsets[n];
        const uint16_t code = second ? static_cast<uint16_t>((slot[1] << 4) | (slot[2] & 0x0F))
                                     : static_cast<uint16_t>((slot[0] << 4) | (slot[2] >> 4));
        StoreLittleEndian(out + 2 * n, expand[code]);
    }
}

}  // namespace dv25
