// Format records: keyword parameters in order, replaced in place, copied, bounded.
#include "digitalio/DIOFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr LONG kVSIG = MakeFourCC('V', 'S', 'I', 'G');
constexpr LONG kASRT = MakeFourCC('A', 'S', 'R', 'T');
constexpr LONG kASSZ = MakeFourCC('A', 'S', 'S', 'Z');
constexpr LONG kVCMP = MakeFourCC('V', 'C', 'M', 'P');

TEST(DIOFormat, KeywordsKeepOrderReplaceCopyAndStayBounded) {
    static_assert(kVSIG == 0x56534947, "four-character codes read most significant first");
    DIOFormat format(3);
    ASSERT_TRUE(format.SetKeywordParameter(kVSIG, "NTSC"));
    ASSERT_TRUE(format.SetKeywordParameter(kVCMP, "DV25"));
    ASSERT_TRUE(format.SetKeywordParameter(kASRT, "48000"));
    ASSERT_TRUE(format.SetKeywordParameter(kASSZ, "16"));  // beyond the advisory 3
    EXPECT_EQ(format.NumParameters(), 4);
    EXPECT_EQ(format.MaxParameters(), 3);
    ASSERT_TRUE(format.SetKeywordParameter(kVSIG, "PAL"));  // replaces in place
    EXPECT_EQ(format.NumParameters(), 4);

    LONG key = -1;
    char value[20] = "untouched";
    ASSERT_TRUE(format.GetNthParameter(0, &key, value));
    EXPECT_EQ(key, kVSIG);
    EXPECT_STREQ(value, "PAL");
    ASSERT_TRUE(format.GetNthParameter(3, &key, value));
    EXPECT_EQ(key, kASSZ);
    std::strcpy(value, "untouched");
    EXPECT_FALSE(format.GetNthParameter(4, &key, value));
    EXPECT_EQ(key, 0);
    EXPECT_STREQ(value, "untouched");
    EXPECT_FALSE(format.GetNthParameter(-1, &key, value));

    EXPECT_TRUE(format.SetKeywordParameter(kVCMP, ""));  // empty is a value
    EXPECT_TRUE(format.GetKeywordParameter(kVCMP, value));
    EXPECT_STREQ(value, "");
    EXPECT_TRUE(format.SetKeywordParameter(kVCMP, std::string(19, 'x').c_str()));
    EXPECT_FALSE(format.SetKeywordParameter(kVCMP, std::string(20, 'x').c_str()));  // must fit 20 bytes
    EXPECT_FALSE(format.SetKeywordParameter(kVCMP, nullptr));
    EXPECT_FALSE(format.GetKeywordParameter(MakeFourCC('N', 'O', 'N', 'E'), value));

    format.SetFormatChange(1);
    format.SetFormatChangeBreak(5);
    DIOFormat target(9);
    target.SetKeywordParameter(MakeFourCC('O', 'L', 'D', ' '), "gone");
    target = format;
    EXPECT_EQ(target.MaxParameters(), 9);  // the target keeps its own capacity
    EXPECT_EQ(target.NumParameters(), 4);
    EXPECT_EQ(target.GetFormatChange(), 1);
    EXPECT_EQ(target.GetFormatChangeBreak(), 1);
    EXPECT_FALSE(target.GetKeywordParameter(MakeFourCC('O', 'L', 'D', ' '), value));
    EXPECT_TRUE(target.GetKeywordParameter(kASRT, value));
    EXPECT_STREQ(value, "48000");

    // The hard capacity guards memory; replacing still works when it is reached.
    DIOFormat full(1);
    for (int i = 0; i < DIOFormat::kHardCapacity; ++i) ASSERT_TRUE(full.SetKeywordParameter(i + 1, "v"));
    EXPECT_FALSE(full.SetKeywordParameter(DIOFormat::kHardCapacity + 1, "v"));
    EXPECT_TRUE(full.SetKeywordParameter(1, "replaced"));
}

}  // namespace
