#include "digitalio/dv25/AudioBlockWriter.h"

#include "digitalio/dv25/AudioCompanding.h"
#include "digitalio/dv25/AudioShuffleTable.h"
#include "digitalio/dv25/AudioSourcePack.h"
#include "digitalio/dv25/DifLayout.h"

#include <cstring>

namespace dv25 {

namespace {

constexpr uint8_t kRecDatePackType = 0x52;
constexpr uint8_t kRecTimePackType = 0x53;

// 0x8000 marks a missing sample, so a real -32768 is written one step up.
inline uint16_t Linear16Code(int16_t sample) {
    return sample == INT16_MIN ? static_cast<uint16_t>(0x8001) : static_cast<uint16_t>(sample);
}

void WriteBlockHeadersAndPacks(uint8_t* frame, const AudioFrameContent& c) {
    const int sequences = SequencesIn(c.standard);
    const int half = SequencesPerHalf(c.standard);
    for (int s = 0; s < sequences; ++s) {
        // Audio blocks are transmitted and valid.
        frame[SequenceOffset(s) + 5] &= 0x7F;
        for (int k = 0; k < kAudioBlocksPerSequence; ++k) {
            uint8_t* block = frame + AudioBlockOffset(s, k);
            // Keep the free counter nibble of the first ID byte.
            block[0] = static_cast<uint8_t>((static_cast<uint8_t>(Section::Audio) << 5) | 0x10 | (block[0] & 0x0F));
            block[1] = static_cast<uint8_t>((s << 4) | 0x07);
            block[2] = static_cast<uint8_t>(k);
            uint8_t* pack = block + 3;
            switch (AudioMainAreaIndex(s, k)) {
            case 0:
                WriteAudioSourcePack(pack, c.standard, c.rate, c.quantization, c.samples, c.locked, s >= half);
                break;
            case 1:
                WriteAudioSourceControlPack(pack);
                break;
            case 2:
                if (pack[0] != kRecDatePackType) std::memset(pack, 0xFF, kPackSize);
                break;
            case 3:
                if (pack[0] != kRecTimePackType) std::memset(pack, 0xFF, kPackSize);
                break;
            default:
                std::memset(pack, 0xFF, kPackSize);
                break;
            }
        }
    }
}

void WriteLinear16(uint8_t* frame, const AudioFrameContent& c) {
    const AudioShuffleTable table = ShuffleTableFor(c.standard, Quantization::Linear16);
    for (int half = 0; half < 2; ++half) {
        uint8_t* base = frame + (half == 0 ? 0 : table.secondHalf);
        const int16_t* source = c.channels[half];
        // The table covers every slot once, so unused slots get their zero here too.
        for (uint32_t n = 0; n < table.count; ++n) {
            const uint16_t code = (source != nullptr && n < c.samples) ? Linear16Code(source[n]) : 0;
            uint8_t* slot = base + table.offsets[n];
            slot[0] = static_cast<uint8_t>(code >> 8);
            slot[1] = static_cast<uint8_t>(code);
        }
    }
}

void WriteNonLinear12(uint8_t* frame, const AudioFrameContent& c) {
    const AudioShuffleTable table = ShuffleTableFor(c.standard, Quantization::NonLinear12);
    for (int half = 0; half < 2; ++half) {
        uint8_t* base = frame + (half == 0 ? 0 : table.secondHalf);
        const int16_t* left = c.channels[2 * half];
        const int16_t* right = c.channels[2 * half + 1];
        for (uint32_t n = 0; n < table.count; ++n) {
            const bool used = n < c.samples;
            const uint16_t a = (left != nullptr && used) ? Compress12(left[n]) : 0;
            const uint16_t b = (right != nullptr && used) ? Compress12(right[n]) : 0;
            uint8_t* slot = base + table.offsets[n];
            slot[0] = static_cast<uint8_t>(a >> 4);
            slot[1] = static_cast<uint8_t>(b >> 4);
            slot[2] = static_cast<uint8_t>(((a & 0x0F) << 4) | (b & 0x0F));
        }
    }
}

}  // namespace

bool IsWritableAudio(const AudioFrameContent& c) {
    if (SequencesIn(c.standard) == 0 || SmpCodeOf(c.rate) < 0) return false;
    if (c.quantization == Quantization::NonLinear12 && c.rate != DIO_Audio32000) return false;
    const SampleRange range = SampleRangeOf(c.standard, c.rate);
    if (c.samples < range.minimum || c.samples > range.maximum) return false;
    return c.samples <= CapacityOf(c.standard, c.quantization);
}

bool WriteAudioBlocks(uint8_t* frame, const AudioFrameContent& c) {
    if (frame == nullptr || !IsWritableAudio(c)) return false;

    WriteBlockHeadersAndPacks(frame, c);
    if (c.quantization == Quantization::NonLinear12) {
        WriteNonLinear12(frame, c);
    } else {
        WriteLinear16(frame, c);
    }
    return true;
}

}  // namespace dv25
