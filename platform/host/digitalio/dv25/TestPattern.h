// The picture of a generated test frame: 75% colour bars over most of the height and,
// in the bottom 48 lines, a white marker on black that moves 8 pixels per frame, so
// consecutive frames differ and a viewer can tell them apart.
#pragma once

#include "digitalio/DIOTypes.h"
#include "digitalio/dv25/VideoBlocks.h"

#include <cstdint>

namespace dv25 {

constexpr int kMarkerBandHeight = 48;
constexpr int kMarkerWidth = 16;

// The marker's left column in frame `frameNumber` of a picture 720 pixels wide.
int MarkerColumn(uint32_t frameNumber);

// The levels of the macroblock of video block v in sequence s.
FlatMacroblock TestPatternMacroblock(DIO_VideoFormat standard, int sequence, int videoBlock, uint32_t frameNumber);

}  // namespace dv25
