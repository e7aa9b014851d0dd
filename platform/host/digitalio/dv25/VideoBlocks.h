// Video DIF blocks holding flat macroblocks: each of the six DCT blocks (four luma,
// then Cr and Cb) carries only its DC coefficient, so every 8x8 block decodes to one
// level. Enough for black, colour bars and markers, and cheap to generate.
#pragma once

#include <cstdint>

namespace dv25 {

// Decoded levels of one macroblock: luma blocks Y0..Y3, then Cr and Cb (128 neutral).
struct FlatMacroblock {
    uint8_t y[4];
    uint8_t cr;
    uint8_t cb;
};

constexpr FlatMacroblock kBlackMacroblock = {{16, 16, 16, 16}, 128, 128};

// Writes bytes 3..79 of a video block (status, quantiser and the six DCT areas).
void WriteFlatMacroblock(uint8_t* block, const FlatMacroblock& mb);

}  // namespace dv25
