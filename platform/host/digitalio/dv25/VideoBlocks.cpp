#include "digitalio/dv25/VideoBlocks.h"

#include <cstring>

namespace dv25 {

namespace {

// One DCT area: a 9-bit two's-complement DC coefficient, DCT mode 0 (8x8), class 0,
// then the end-of-block code 0110; the rest of the area is fill (0xFF), which the
// decoder does not read. A flat block at level L has DC = 2 * (L - 128).
void WriteFlatArea(uint8_t* area, int size, uint8_t level) {
    const unsigned dc = static_cast<unsigned>(2 * (int{level} - 128)) & 0x1FF;
    std::memset(area, 0xFF, static_cast<size_t>(size));
    area[0] = static_cast<uint8_t>(dc >> 1);
    area[1] = static_cast<uint8_t>(((dc & 1) << 7) | 0x06);
}

}  // namespace

void WriteFlatMacroblock(uint8_t* block, const FlatMacroblock& mb) {
    // Status 0 (no error), quantiser 15: irrelevant without AC coefficients.
    block[3] = 0x0F;
    for (int i = 0; i < 4; ++i) WriteFlatArea(block + 4 + 14 * i, 14, mb.y[i]);
    WriteFlatArea(block + 60, 10, mb.cr);
    WriteFlatArea(block + 70, 10, mb.cb);
}

}  // namespace dv25
