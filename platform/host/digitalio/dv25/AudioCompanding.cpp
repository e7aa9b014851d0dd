#include "digitalio/dv25/AudioCompanding.h"

#include <array>

namespace dv25 {

namespace {

// Code of a non-negative sample (0..32767).
uint16_t CompressPositive(uint32_t x) {
    if (x < 512) return static_cast<uint16_t>(x);
    // Segment s (1..6) drops s low bits: s = bit length - 9.
    const int bitLength = 32 - __builtin_clz(x);
    const int s = bitLength - 9;
    return static_cast<uint16_t>(256 * s + (x >> s));
}

// Sample of a code below 0x800.
int32_t ExpandPositive(uint32_t y) {
    if (y < 0x200) return static_cast<int32_t>(y);
    const int s = static_cast<int>(y >> 8) - 1;
    return static_cast<int32_t>(((y & 0xFF) + 256) << s);
}

std::array<int16_t, 4096> BuildExpansion() {
    std::array<int16_t, 4096> table{};
    for (uint32_t y = 0; y < 4096; ++y) {
        int32_t x;
        if (y == kMissingSample12) {
            x = 0;
        } else if (y < 0x800) {
            x = ExpandPositive(y);
        } else {
            x = ~ExpandPositive(~y & 0xFFF);
        }
        table[y] = static_cast<int16_t>(x);
    }
    return table;
}

}  // namespace

uint16_t Compress12(int16_t sample) {
    if (sample >= 0) return CompressPositive(static_cast<uint32_t>(sample));
    // Negative: compress -x-1 and take the one's complement in 12 bits; the result
    // that would be the missing-sample code moves to the nearest real code.
    const uint16_t code = static_cast<uint16_t>(~CompressPositive(static_cast<uint32_t>(~sample)) & 0xFFF);
    return code == kMissingSample12 ? 0x801 : code;
}

const int16_t* ExpansionTable() {
    static const std::array<int16_t, 4096> table = BuildExpansion();
    return table.data();
}

int16_t Expand12(uint16_t code) { return ExpansionTable()[code & 0xFFF]; }

}  // namespace dv25
