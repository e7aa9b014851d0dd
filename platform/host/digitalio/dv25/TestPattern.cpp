#include "digitalio/dv25/TestPattern.h"

#include "digitalio/dv25/MacroblockPlacement.h"

namespace dv25 {

namespace {

constexpr int kWidth = 720;

struct BarColour {
    uint8_t y, cb, cr;
};

// 75% bars in 8-bit video levels: white, yellow, cyan, green, magenta, red, blue.
constexpr BarColour kBars[7] = {{180, 128, 128}, {162, 44, 142}, {131, 156, 44}, {112, 72, 58},
                                {84, 184, 198},  {65, 100, 212}, {35, 212, 114}};

int BarAt(int x) { return x * 7 / kWidth; }

}  // namespace

int MarkerColumn(uint32_t frameNumber) {
    return static_cast<int>((uint64_t{frameNumber} * 8) % (kWidth - kMarkerWidth + 8));
}

FlatMacroblock TestPatternMacroblock(DIO_VideoFormat standard, int sequence, int videoBlock, uint32_t frameNumber) {
    const MacroblockRect r = PlacementOf(standard, sequence, videoBlock);
    const int height = standard == DIO_PAL ? 576 : 480;
    FlatMacroblock mb{};
    if (r.y >= height - kMarkerBandHeight) {
        const int marker = MarkerColumn(frameNumber);
        for (int i = 0; i < 4; ++i) {
            const int x = r.x + (r.width == 32 ? 8 * i : 8 * (i % 2));
            mb.y[i] = (x >= marker && x < marker + kMarkerWidth) ? 235 : 16;
        }
        mb.cr = mb.cb = 128;
        return mb;
    }
    // Luma follows the bars block by block (8 pixels); chroma, one value per
    // macroblock, takes the bar under the macroblock's centre.
    for (int i = 0; i < 4; ++i) {
        const int x = r.x + (r.width == 32 ? 8 * i : 8 * (i % 2));
        mb.y[i] = kBars[BarAt(x)].y;
    }
    const BarColour& centre = kBars[BarAt(r.x + r.width / 2)];
    mb.cr = centre.cr;
    mb.cb = centre.cb;
    return mb;
}

}  // namespace dv25
