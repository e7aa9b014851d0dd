#include "sim/DVFrameLayout.h"

#include <algorithm>
#include <cstring>

namespace cardsim {

namespace {
constexpr size_t kBlockBytes = dv25::kBlockSize;
}  // namespace

DIO_VideoFormat FrameStandard(const uint8_t* frame, size_t available) {
    if (frame == nullptr || available < 4) return DIO_NoVideoFormat;
    return dv25::StandardOfHeaderBlock(frame);
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
    return dv25::FrameSizeOf(standard);
}

int SequencesPerFrame(DIO_VideoFormat standard) {
    return dv25::SequencesIn(standard);
}

size_t SubcodePackOffset(int sequence, int n) {
    return dv25::SubcodePackOffset(sequence, n);
}

void ClearSubcodePacks(uint8_t* frame, DIO_VideoFormat standard) {
    for (int s = 0; s < SequencesPerFrame(standard); ++s)
        for (int n = 0; n < 12; ++n) std::memset(frame + SubcodePackOffset(s, n), 0xFF, 5);
}

void ClearAuxiliaryPacks(uint8_t* frame, DIO_VideoFormat standard) {
    for (int s = 0; s < SequencesPerFrame(standard); ++s) {
        // VAUX blocks: 15 packs in bytes 3..77.
        for (int j = 0; j < dv25::kVauxBlocks; ++j)
            std::memset(frame + dv25::VauxBlockOffset(s, j) + 3, 0xFF, dv25::kPacksPerVauxBlock * dv25::kPackSize);
        // Audio blocks: one AAUX pack in bytes 3..7.
        for (int k = 0; k < dv25::kAudioBlocksPerSequence; ++k)
            std::memset(frame + dv25::AudioPackOffset(s, k), 0xFF, dv25::kPackSize);
    }
}

void CopyTracks(const uint8_t* from, uint8_t* to, DIO_VideoFormat standard, bool video, bool audio) {
    for (int s = 0; s < SequencesPerFrame(standard); ++s) {
        if (video) {
            const size_t vaux = dv25::VauxBlockOffset(s, 0);
            std::memcpy(to + vaux, from + vaux, dv25::kVauxBlocks * kBlockBytes);
        }
        for (int k = 0; k < dv25::kAudioBlocksPerSequence; ++k) {
            const size_t audioBlock = dv25::AudioBlockOffset(s, k);
            if (audio) std::memcpy(to + audioBlock, from + audioBlock, kBlockBytes);
            // The fifteen video blocks after each audio block.
            if (video) std::memcpy(to + audioBlock + kBlockBytes, from + audioBlock + kBlockBytes, 15 * kBlockBytes);
        }
    }
}

}  // namespace cardsim
