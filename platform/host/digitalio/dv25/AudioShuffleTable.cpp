#include "digitalio/dv25/AudioShuffleTable.h"

#include "digitalio/dv25/DifLayout.h"

#include <vector>

namespace dv25 {

namespace {

std::vector<uint32_t> BuildOffsets(DIO_VideoFormat standard, Quantization quantization) {
    const uint32_t h = static_cast<uint32_t>(SequencesPerHalf(standard));
    const uint32_t p = kAudioBlocksPerSequence * h;
    const uint32_t slotBytes = quantization == Quantization::NonLinear12 ? 3 : 2;
    const uint32_t count = CapacityOf(standard, quantization);
    std::vector<uint32_t> offsets(count);
    for (uint32_t n = 0; n < count; ++n) {
        const uint32_t sequence = (n / 3 + 2 * (n % 3)) % h;
        const uint32_t block = 3 * (n % 3) + (n % p) / (p / 3);
        const uint32_t byte = kAudioDataOffset + slotBytes * (n / p);
        offsets[n] = static_cast<uint32_t>(AudioBlockOffset(static_cast<int>(sequence), static_cast<int>(block))) + byte;
    }
    return offsets;
}

struct Tables {
    std::vector<uint32_t> ntsc16 = BuildOffsets(DIO_NTSC, Quantization::Linear16);
    std::vector<uint32_t> ntsc12 = BuildOffsets(DIO_NTSC, Quantization::NonLinear12);
    std::vector<uint32_t> pal16 = BuildOffsets(DIO_PAL, Quantization::Linear16);
    std::vector<uint32_t> pal12 = BuildOffsets(DIO_PAL, Quantization::NonLinear12);
};

const Tables& AllTables() {
    static const Tables tables;  // built on first use, thread-safe
    return tables;
}

}  // namespace

AudioShuffleTable ShuffleTableFor(DIO_VideoFormat standard, Quantization quantization) {
    const Tables& t = AllTables();
    const bool twelve = quantization == Quantization::NonLinear12;
    const std::vector<uint32_t>* table = nullptr;
    if (standard == DIO_NTSC) table = twelve ? &t.ntsc12 : &t.ntsc16;
    if (standard == DIO_PAL) table = twelve ? &t.pal12 : &t.pal16;
    if (table == nullptr) return {nullptr, 0, 0};
    const uint32_t secondHalf = static_cast<uint32_t>(SequencesPerHalf(standard) * kSequenceSize);
    return {table->data(), static_cast<uint32_t>(table->size()), secondHalf};
}

}  // namespace dv25
