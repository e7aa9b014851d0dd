#include "digitalio/dv25/SubcodeBlocks.h"

#include "digitalio/dv25/DifLayout.h"

#include <cstring>

namespace dv25 {

namespace {

uint8_t FrBit(DIO_VideoFormat standard, int sequence) {
    return sequence < SequencesPerHalf(standard) ? 0x80 : 0x00;
}

}  // namespace

bool SubcodeBlockIdValid(const uint8_t* frame, int sequence, int j) {
    return HasBlockId(frame + SubcodeBlockOffset(sequence, j), Section::Subcode, sequence, j);
}

void WriteFreshSubcode(uint8_t* frame, DIO_VideoFormat standard, int sequence) {
    for (int j = 0; j < kSubcodeBlocks; ++j) {
        uint8_t* block = frame + SubcodeBlockOffset(sequence, j);
        std::memset(block, 0xFF, kBlockSize);
        WriteBlockId(block, Section::Subcode, sequence, j);
    }
    for (int n = 0; n < kSyncBlocksPerSequence; ++n) {
        uint8_t* id = frame + SyncBlockOffset(sequence, n);
        // Application ID 000 (consumer) at n = 0, 6, 11; unmarked tag bits elsewhere.
        const bool carriesApplicationId = n == 0 || n == 6 || n == 11;
        id[0] = static_cast<uint8_t>(FrBit(standard, sequence) | (carriesApplicationId ? 0x0F : 0x7F));
        id[1] = static_cast<uint8_t>(0xF0 | n);
        id[2] = 0xFF;
    }
}

void RepairSubcodeIds(uint8_t* frame, DIO_VideoFormat standard, int sequence) {
    for (int j = 0; j < kSubcodeBlocks; ++j) {
        uint8_t* block = frame + SubcodeBlockOffset(sequence, j);
        if (!HasBlockId(block, Section::Subcode, sequence, j)) WriteBlockId(block, Section::Subcode, sequence, j);
    }
    for (int n = 0; n < kSyncBlocksPerSequence; ++n) {
        uint8_t* id = frame + SyncBlockOffset(sequence, n);
        id[0] = static_cast<uint8_t>(FrBit(standard, sequence) | (id[0] & 0x7F));
        id[1] = static_cast<uint8_t>((id[1] & 0xF0) | n);
        id[2] = 0xFF;
    }
}

}  // namespace dv25
