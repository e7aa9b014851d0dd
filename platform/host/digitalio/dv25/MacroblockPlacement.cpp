#include "digitalio/dv25/MacroblockPlacement.h"

#include "digitalio/dv25/DifLayout.h"

namespace dv25 {

namespace {

constexpr int kRowOffset[5] = {2, 6, 8, 0, 4};
constexpr int kColumn[5] = {2, 1, 3, 0, 4};
constexpr int kSuperblockHeight = 48;

// 525/60: 4:1:1 macroblocks of 32 x 8 in six rows per superblock. A superblock is
// 4.5 macroblocks wide, so columns 1 and 3 start half a column down (their first three
// slots belong to the neighbour on the left); the far right column is 16 pixels of
// 16 x 16 macroblocks.
MacroblockRect Place525(int row, int column, int k) {
    static const int kFirstColumn[5] = {0, 4, 9, 13, 18};  // in 32-pixel columns
    if (column == 4 && k >= 24) return {704, row * kSuperblockHeight + (k - 24) * 16, 16, 16};
    const int q = k + ((column == 1 || column == 3) ? 3 : 0);
    const int c = q / 6;
    const int r = c % 2 == 0 ? q % 6 : 5 - q % 6;
    return {(kFirstColumn[column] + c) * 32, row * kSuperblockHeight + r * 8, 32, 8};
}

// 625/50: 4:2:0 macroblocks of 16 x 16, nine across and three down per superblock.
MacroblockRect Place625(int row, int column, int k) {
    const int c = k / 3;
    const int r = c % 2 == 0 ? k % 3 : 2 - k % 3;
    return {column * 144 + c * 16, row * kSuperblockHeight + r * 16, 16, 16};
}

}  // namespace

MacroblockRect PlacementOf(DIO_VideoFormat standard, int sequence, int videoBlock) {
    const int sequences = SequencesIn(standard);
    if (sequences == 0 || sequence < 0 || sequence >= sequences || videoBlock < 0 ||
        videoBlock >= kVideoBlocksPerSequence) {
        return {0, 0, 0, 0};
    }
    const int k = videoBlock / 5;
    const int p = videoBlock % 5;
    const int row = (sequence + kRowOffset[p]) % sequences;
    return standard == DIO_PAL ? Place625(row, kColumn[p], k) : Place525(row, kColumn[p], k);
}

}  // namespace dv25
