// Where the macroblock of a video DIF block appears in the picture.
//
// The picture is cut into superblocks, 5 across and one row per DIF sequence (48
// lines high). Video block v = 5k + p of sequence s holds macroblock k of the
// superblock in row (s + {2, 6, 8, 0, 4}[p]) mod sequences, column {2, 1, 3, 0, 4}[p],
// so one sequence carries pieces from all over the picture. Inside a superblock the
// macroblocks run down and up its columns in turn.
#pragma once

#include "digitalio/DIOTypes.h"

namespace dv25 {

struct MacroblockRect {
    int x;       // left column in luma pixels
    int y;       // top line
    int width;   // 32 x 8 (525/60, 4:1:1) or 16 x 16 (625/50 4:2:0, and the
    int height;  // right edge of 525/60); luma blocks left to right, then top to bottom
};

// {0, 0, 0, 0} for an unknown standard or block.
MacroblockRect PlacementOf(DIO_VideoFormat standard, int sequence, int videoBlock);

}  // namespace dv25
