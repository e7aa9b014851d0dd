// A fixed-size set of bits; the plug-in selects audio channels with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class BitMask {
public:
    // A negative size counts as 0. All bits start clear.
    explicit BitMask(int bits = 0);
    BitMask(const BitMask& other) = default;
    BitMask& operator=(const BitMask& other) = default;

    // Out of range: ignored.
    void SetBit(int index, unsigned char value);
    // 0 or 1. Out of range answers 0 and sets *outOfRange (when given); in range clears it.
    unsigned char GetBit(int index, unsigned char* outOfRange = nullptr) const;
    int GetNumBitsSet() const;
    int GetNumBitsInMask() const;

private:
    int bits_;
    std::vector<uint64_t> words_;
};
