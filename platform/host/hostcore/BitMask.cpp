#include "hostcore/BitMask.h"

BitMask::BitMask(int bits) : bits_(bits < 0 ? 0 : bits), words_((static_cast<size_t>(bits_) + 63) / 64, 0) {}

void BitMask::SetBit(int index, unsigned char value) {
    if (index < 0 || index >= bits_) return;
    const uint64_t bit = uint64_t{1} << (index % 64);
    if (value != 0) words_[static_cast<size_t>(index / 64)] |= bit;
    else words_[static_cast<size_t>(index / 64)] &= ~bit;
}

unsigned char BitMask::GetBit(int index, unsigned char* outOfRange) const {
    const bool out = index < 0 || index >= bits_;
    if (outOfRange != nullptr) *outOfRange = out ? 1 : 0;
    if (out) return 0;
    return ((words_[static_cast<size_t>(index / 64)] >> (index % 64)) & 1u) != 0 ? 1 : 0;
}

int BitMask::GetNumBitsSet() const {
    int count = 0;
    for (uint64_t word : words_) count += __builtin_popcountll(word);
    return count;
}

int BitMask::GetNumBitsInMask() const {
    return bits_;
}
