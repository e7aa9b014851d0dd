// Channel masks: bits inside and outside the mask, copies by value.
#include "hostcore/BitMask.h"

#include <gtest/gtest.h>

TEST(BitMask, BitsInsideAndOutsideTheMask) {
    BitMask mask(70);
    EXPECT_EQ(mask.GetNumBitsInMask(), 70);
    EXPECT_EQ(mask.GetNumBitsSet(), 0);
    mask.SetBit(0, 1);
    mask.SetBit(65, 1);
    mask.SetBit(69, 7);  // any non-zero value sets
    mask.SetBit(70, 1);  // out of range: ignored
    mask.SetBit(-1, 1);
    EXPECT_EQ(mask.GetNumBitsSet(), 3);
    unsigned char out = 9;
    EXPECT_EQ(mask.GetBit(65, &out), 1);
    EXPECT_EQ(out, 0);
    EXPECT_EQ(mask.GetBit(64, &out), 0);
    EXPECT_EQ(out, 0);
    EXPECT_EQ(mask.GetBit(70, &out), 0);
    EXPECT_EQ(out, 1);
    mask.SetBit(65, 0);
    EXPECT_EQ(mask.GetNumBitsSet(), 2);

    BitMask copy = mask;  // channel masks are passed by value
    mask.SetBit(1, 1);
    EXPECT_EQ(copy.GetBit(1), 0);
    EXPECT_EQ(copy.GetNumBitsSet(), 2);

    BitMask negative(-4);
    EXPECT_EQ(negative.GetNumBitsInMask(), 0);
    EXPECT_EQ(negative.GetBit(0, &out), 0);
    EXPECT_EQ(out, 1);
}
