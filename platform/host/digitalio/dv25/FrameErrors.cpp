#include "digitalio/dv25/FrameErrors.h"

#include "digitalio/dv25/AudioCompanding.h"
#include "digitalio/dv25/AudioShuffleTable.h"
#include "digitalio/dv25/AudioSourcePack.h"
#include "digitalio/dv25/DifLayout.h"

#include <algorithm>

namespace dv25 {

namespace {

// Channel c's slot base: 16-bit audio has channel 0 in the first half and 1 in the
// second; 12-bit pairs channels 0/1 in the first half and 2/3 in the second.
uint32_t HalfOffset(const AudioShuffleTable& table, Quantization quantization, int channel) {
    const bool second = quantization == Quantization::Linear16 ? channel == 1 : channel >= 2;
    return second ? table.secondHalf : 0;
}

uint16_t CodeAt(const uint8_t* slot, Quantization quantization, int channel) {
    if (quantization == Quantization::Linear16) return static_cast<uint16_t>((slot[0] << 8) | slot[1]);
    // A 12-bit slot holds two channels: a in the high nibbles of bytes 0 and 2, b in
    // byte 1 and the low nibble of byte 2.
    return (channel & 1) != 0 ? static_cast<uint16_t>((slot[1] << 4) | (slot[2] & 0x0F))
                              : static_cast<uint16_t>((slot[0] << 4) | (slot[2] >> 4));
}

void MarkAt(uint8_t* slot, Quantization quantization, int channel) {
    if (quantization == Quantization::Linear16) {
        slot[0] = static_cast<uint8_t>(kMissingSample16 >> 8);
        slot[1] = static_cast<uint8_t>(kMissingSample16);
    } else if ((channel & 1) != 0) {
        slot[1] = static_cast<uint8_t>(kMissingSample12 >> 4);
        slot[2] = static_cast<uint8_t>((slot[2] & 0xF0) | (kMissingSample12 & 0x0F));
    } else {
        slot[0] = static_cast<uint8_t>(kMissingSample12 >> 4);
        slot[2] = static_cast<uint8_t>((slot[2] & 0x0F) | ((kMissingSample12 & 0x0F) << 4));
    }
}

}  // namespace

int CountErroredVideoBlocks(const uint8_t* frame, DIO_VideoFormat standard) {
    int count = 0;
    const int sequences = SequencesIn(standard);
    for (int s = 0; s < sequences; ++s)
        for (int v = 0; v < kVideoBlocksPerSequence; ++v)
            if ((frame[VideoBlockOffset(s, v) + 3] >> 4) != 0) ++count;
    return count;
}

uint32_t CountInvalidSamples(const uint8_t* frame, DIO_VideoFormat standard) {
    AudioSource source;
    if (!FindAudioSource(frame, standard, &source)) return 0;
    const AudioShuffleTable table = ShuffleTableFor(standard, source.quantization);
    if (table.offsets == nullptr) return 0;
    const uint16_t invalid = source.quantization == Quantization::Linear16 ? kMissingSample16 : kMissingSample12;
    const uint32_t samples = std::min(source.samples, table.count);
    uint32_t count = 0;
    for (int c = 0; c < ChannelsOf(source.quantization); ++c) {
        const uint8_t* base = frame + HalfOffset(table, source.quantization, c);
        for (uint32_t n = 0; n < samples; ++n)
            if (CodeAt(base + table.offsets[n], source.quantization, c) == invalid) ++count;
    }
    return count;
}

void MarkErroredVideoBlocks(uint8_t* frame, DIO_VideoFormat standard, int blocks) {
    const int sequences = SequencesIn(standard);
    if (sequences == 0) return;
    const int total = std::min(blocks, sequences * kVideoBlocksPerSequence);
    for (int i = 0; i < total; ++i) {
        uint8_t* sta = frame + VideoBlockOffset(i % sequences, i / sequences) + 3;
        *sta = static_cast<uint8_t>((kConcealedSta << 4) | (*sta & 0x0F));
    }
}

void MarkInvalidSamples(uint8_t* frame, DIO_VideoFormat standard, uint32_t samples) {
    AudioSource source;
    if (!FindAudioSource(frame, standard, &source)) return;
    const AudioShuffleTable table = ShuffleTableFor(standard, source.quantization);
    if (table.offsets == nullptr) return;
    const uint32_t count = std::min({samples, source.samples, table.count});
    for (int c = 0; c < ChannelsOf(source.quantization); ++c) {
        uint8_t* base = frame + HalfOffset(table, source.quantization, c);
        for (uint32_t n = 0; n < count; ++n) MarkAt(base + table.offsets[n], source.quantization, c);
    }
}

}  // namespace dv25
