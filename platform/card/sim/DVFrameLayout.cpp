#include "sim/DVFrameLayout.h"

#include <algorithm>
#include <cstring>

namespace cardsim {

namespace {
constexpr size_t kBlockBytes = 80;
constexpr size_t kSubcodeBlock0 = 1 * kBlockBytes;  // blocks 1 and 2 of a sequence
constexpr size_t kVauxBlock0 = 3 * kBlockBytes;     // blocks 3, 4 and 5
constexpr size_t kAudioBlock0 = 6 * kBlockBytes;    // audio block k at block 6 + 16k
constexpr size_t kAudioBlockStride = 16 * kBlockBytes;
}  // namespace

DIO_VideoFormat FrameStandard(const uint8_t* frame, size_t available) {
    if (frame == nullptr || available < 4) return DIO_NoVideoFormat;
    // Header block ID: section type 000 in the top bits of ID0, block number 0.
    if ((frame[0] & 0xE0) != 0x00 || frame[2] != 0x00) return DIO_NoVideoFormat;
    if ((frame[3] & 0x7F) != 0x3F) return DIO_NoVideoFormat;
    return (frame[3] & 0x80) != 0 ? DIO_PAL : DIO_NTSC;
}

DIO_VideoFormat FrameStartStandard(const uint8_t* start, const uint8_t* nextSequence, uint64_t available) {
    const DIO_VideoFormat standard = FrameStandard(start, available < 4 ? 0 : 4);
    if (standard == DIO_NoVideoFormat || available < FrameSize(standard)) return DIO_NoVideoFormat;
    // Section types in the top three bits of ID0: subcode 1, VAUX 2, audio 3, video 4.
    const auto section = [&](size_t block) { return start[block * kBlockBytes] >> 5; };
    if (section(1) != 1 || section(3) != 2 || section(6) != 3 || section(7) != 4) return DIO_NoVideoFormat;
    // The next sequence opens with its own header, DIF sequence number 1 in ID1.
    if (FrameStandard(nextSequence, 4) != standard || (nextSequence[1] >> 4) != 1) return DIO_NoVideoFormat;
    return standard;
}

size_t FrameSize(DIO_VideoFormat standard) {
    return static_cast<size_t>(SequencesPerFrame(standard)) * kDifSequenceBytes;
}

int SequencesPerFrame(DIO_VideoFormat standard) {
    switch (standard) {
    case DIO_NTSC: return 10;
    case DIO_PAL: return 12;
    default: return 0;
    }
}

size_t SubcodePackOffset(int sequence, int n) {
    const size_t block = static_cast<size_t>(n / 6);
    const size_t syncBlock = static_cast<size_t>(n % 6);
    // Each subcode block: 3-byte ID, then six 8-byte sync blocks of ID0-ID2 and a pack.
    return static_cast<size_t>(sequence) * kDifSequenceBytes + kSubcodeBlock0 + block * kBlockBytes + 3 +
           syncBlock * 8 + 3;
}

void ClearSubcodePacks(uint8_t* frame, DIO_VideoFormat standard) {
    for (int s = 0; s < SequencesPerFrame(standard); ++s)
        for (int n = 0; n < 12; ++n) std::memset(frame + SubcodePackOffset(s, n), 0xFF, 5);
}

void ClearAuxiliaryPacks(uint8_t* frame, DIO_VideoFormat standard) {
    for (int s = 0; s < SequencesPerFrame(standard); ++s) {
        uint8_t* sequence = frame + static_cast<size_t>(s) * kDifSequenceBytes;
        // VAUX blocks: 15 packs in bytes 3..77.
        for (size_t j = 0; j < 3; ++j) std::memset(sequence + kVauxBlock0 + j * kBlockBytes + 3, 0xFF, 75);
        // Audio blocks: one AAUX pack in bytes 3..7.
        for (size_t k = 0; k < 9; ++k) std::memset(sequence + kAudioBlock0 + k * kAudioBlockStride + 3, 0xFF, 5);
    }
}

void CopyTracks(const uint8_t* from, uint8_t* to, DIO_VideoFormat standard, bool video, bool audio) {
    for (int s = 0; s < SequencesPerFrame(standard); ++s) {
        const size_t sequence = static_cast<size_t>(s) * kDifSequenceBytes;
        if (video) std::memcpy(to + sequence + kVauxBlock0, from + sequence + kVauxBlock0, 3 * kBlockBytes);
        for (size_t k = 0; k < 9; ++k) {
            const size_t audioBlock = sequence + kAudioBlock0 + k * kAudioBlockStride;
            if (audio) std::memcpy(to + audioBlock, from + audioBlock, kBlockBytes);
            // The fifteen video blocks after each audio block.
            if (video) std::memcpy(to + audioBlock + kBlockBytes, from + audioBlock + kBlockBytes, 15 * kBlockBytes);
        }
    }
}

}  // namespace cardsim
