// Where things sit inside a DV25 frame: DIF sequences, blocks, block IDs and the
// fixed positions of the packs this library reads and writes.
//
// A frame is 10 (525/60) or 12 (625/50) DIF sequences of 12000 bytes; each sequence
// is 150 blocks of 80 bytes in a fixed order: header, two subcode, three VAUX blocks,
// then nine times one audio block followed by fifteen video blocks.
#pragma once

#include "digitalio/DIOTypes.h"

#include <cstddef>
#include <cstdint>

namespace dv25 {

constexpr size_t kBlockSize = 80;
constexpr size_t kSequenceSize = 12000;
constexpr int kAudioBlocksPerSequence = 9;
constexpr int kVideoBlocksPerSequence = 135;
constexpr int kSubcodeBlocks = 2;
constexpr int kSyncBlocksPerSubcodeBlock = 6;
constexpr int kSyncBlocksPerSequence = kSubcodeBlocks * kSyncBlocksPerSubcodeBlock;
constexpr int kVauxBlocks = 3;
constexpr int kPacksPerVauxBlock = 15;
constexpr size_t kPackSize = 5;
constexpr size_t kAudioDataOffset = 8;  // samples fill bytes 8..79 of an audio block
constexpr size_t kAudioDataSize = 72;

// Section types, bits 7..5 of a block ID's first byte.
enum class Section : uint8_t { Header = 0, Subcode = 1, Vaux = 2, Audio = 3, Video = 4 };

inline int SequencesIn(DIO_VideoFormat standard) {
    return standard == DIO_PAL ? 12 : standard == DIO_NTSC ? 10 : 0;
}
inline size_t FrameSizeOf(DIO_VideoFormat standard) {
    return static_cast<size_t>(SequencesIn(standard)) * kSequenceSize;
}
// Sequences holding one audio channel block: the first half or the second half.
inline int SequencesPerHalf(DIO_VideoFormat standard) { return SequencesIn(standard) / 2; }
// DSF bit of the header: set for 625/50.
inline uint8_t DsfOf(DIO_VideoFormat standard) { return standard == DIO_PAL ? 1 : 0; }

inline size_t SequenceOffset(int sequence) { return static_cast<size_t>(sequence) * kSequenceSize; }
// Block index 0 header, 1-2 subcode, 3-5 VAUX, then audio k at 6 + 16k.
inline size_t SubcodeBlockOffset(int sequence, int j) { return SequenceOffset(sequence) + kBlockSize * (1 + j); }
inline size_t VauxBlockOffset(int sequence, int j) { return SequenceOffset(sequence) + kBlockSize * (3 + j); }
inline size_t AudioBlockOffset(int sequence, int k) { return SequenceOffset(sequence) + kBlockSize * (6 + 16 * k); }
inline size_t VideoBlockOffset(int sequence, int v) {
    return SequenceOffset(sequence) + kBlockSize * (7 + v + v / 15);
}

// Sync block n = 6j + k of a sequence: its 3-byte ID, then its 5-byte pack.
inline size_t SyncBlockOffset(int sequence, int n) {
    return SubcodeBlockOffset(sequence, n / kSyncBlocksPerSubcodeBlock) + 3 + 8 * (n % kSyncBlocksPerSubcodeBlock);
}
inline size_t SubcodePackOffset(int sequence, int n) { return SyncBlockOffset(sequence, n) + 3; }

// VAUX pack p = 15j + k of a sequence.
inline size_t VauxPackOffset(int sequence, int p) {
    return VauxBlockOffset(sequence, p / kPacksPerVauxBlock) + 3 + kPackSize * (p % kPacksPerVauxBlock);
}
// The main area: packs 39.. in even sequences, 0.. in odd ones (source, source control, ...).
inline int VauxMainAreaFirstPack(int sequence) { return sequence % 2 == 0 ? 39 : 0; }

// The audio block whose pack holds main-area pack `i` (0 source, 1 source control,
// 2 rec date, 3 rec time, 4 binary group), or -1 for an optional-area block.
inline int AudioMainAreaBlock(int sequence, int i) { return sequence % 2 == 0 ? i + 3 : i; }
inline int AudioMainAreaIndex(int sequence, int k) {
    const int i = sequence % 2 == 0 ? k - 3 : k;
    return i >= 0 && i <= 5 ? i : -1;
}
inline size_t AudioPackOffset(int sequence, int k) { return AudioBlockOffset(sequence, k) + 3; }

// A block ID: section, sequence number and block number (the low nibble of the first
// byte is a free counter that readers ignore; the channel bit is 0 in DV25).
inline void WriteBlockId(uint8_t* block, Section section, int sequence, int number) {
    block[0] = static_cast<uint8_t>((static_cast<uint8_t>(section) << 5) | 0x1F);
    block[1] = static_cast<uint8_t>((sequence << 4) | 0x07);
    block[2] = static_cast<uint8_t>(number);
}
inline bool HasBlockId(const uint8_t* block, Section section, int sequence, int number) {
    return (block[0] >> 5) == static_cast<uint8_t>(section) && (block[1] >> 4) == sequence &&
           (block[1] & 0x08) == 0 && block[2] == number;
}

// The standard a header block declares (its DSF bit), or DIO_NoVideoFormat when the
// block is not a header: section type header, block number 0, and the fixed bits
// around DSF.
inline DIO_VideoFormat StandardOfHeaderBlock(const uint8_t* block) {
    if ((block[0] >> 5) != static_cast<uint8_t>(Section::Header) || block[2] != 0 || (block[3] & 0x7F) != 0x3F)
        return DIO_NoVideoFormat;
    return (block[3] & 0x80) != 0 ? DIO_PAL : DIO_NTSC;
}

// The standard a frame declares in its first header block, or DIO_NoVideoFormat when
// the first block is not a header. Every reader sizes its walk from this, so a frame
// is never read past the size its own header claims.
inline DIO_VideoFormat StandardOfFrame(const uint8_t* frame) {
    if (!HasBlockId(frame, Section::Header, 0, 0)) return DIO_NoVideoFormat;
    return StandardOfHeaderBlock(frame);
}

}  // namespace dv25
