// What the device's count of delivered samples says about the first frame.
#include "DeliveryCount.h"

#include <gtest/gtest.h>

namespace {

TEST(DeliveryCount, TwoReadingsAtDifferentFrameCountsMustAgree) {
    DeliveryCount count;
    const std::vector<uint32_t> frames = {1280, 1280, 1280, 1280, 1280};
    EXPECT_FALSE(count.Guess());
    count.Offer(2, 1920 + 1280, frames);
    EXPECT_FALSE(count.FirstFrame());
    EXPECT_EQ(count.Guess(), 1920);
    // The same reading again proves nothing.
    count.Offer(2, 1920 + 1280, frames);
    EXPECT_FALSE(count.FirstFrame());
    count.Offer(4, 1920 + 3 * 1280, frames);
    EXPECT_EQ(count.FirstFrame(), 1920);
    LONG counted = 0;
    int64_t delivered = 0, carried = 0;
    EXPECT_FALSE(count.Mismatch(&counted, &delivered, &carried));
}

TEST(DeliveryCount, ReadingsThatDisagreeOrCannotBeTrueTeachNothing) {
    DeliveryCount count;
    const std::vector<uint32_t> frames = {1600, 1602, 1602};
    count.Offer(1, 1600, frames);
    count.Offer(2, 3000, frames);  // implies 1398 for the first: no agreement
    EXPECT_FALSE(count.FirstFrame());
    count.Offer(4, 9999, frames);  // frames not handed out yet
    count.Offer(3, 100, frames);   // less than the frames after the first carry
    count.Offer(3, 9000, frames);  // more than any first frame could carry
    count.Offer(0, 0, frames);
    EXPECT_FALSE(count.FirstFrame());
    EXPECT_FALSE(count.Guess()) << "the latest reading is impossible";
    count.Offer(2, 1398 + 1602, frames);
    count.Offer(3, 1398 + 3204, frames);
    EXPECT_EQ(count.FirstFrame(), 1398);
}

TEST(DeliveryCount, ALaterShortfallIsAMismatch) {
    DeliveryCount count;
    const std::vector<uint32_t> frames = {1920, 1920, 1920, 1920, 1920, 1920};
    count.Offer(2, 2 * 1920, frames);
    count.Offer(3, 3 * 1920, frames);
    ASSERT_EQ(count.FirstFrame(), 1920);
    // A frame later on got 1600 samples of silence instead of its 1920.
    count.Offer(6, 5 * 1920 + 1600, frames);
    LONG counted = 0;
    int64_t delivered = 0, carried = 0;
    ASSERT_TRUE(count.Mismatch(&counted, &delivered, &carried));
    EXPECT_EQ(counted, 6);
    EXPECT_EQ(delivered, 5 * 1920 + 1600);
    EXPECT_EQ(carried, 6 * 1920);
    EXPECT_EQ(count.FirstFrame(), 1920) << "an agreed count stays";
}

}  // namespace
