// A fuzz input read from the front, a byte at a time; past its end every byte reads 0,
// so a short input still drives a whole run.
#pragma once

#include "windows.h"

#include <cstddef>
#include <cstdint>

class FuzzBytes {
public:
    FuzzBytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    // Four bytes, least significant first.
    LONG Long() {
        ULONG value = 0;
        for (int shift = 0; shift < 32; shift += 8) value |= static_cast<ULONG>(Byte()) << shift;
        return static_cast<LONG>(value);
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};
