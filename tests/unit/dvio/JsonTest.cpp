// The JSON dvio prints.
#include "Json.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(Json, ObjectsKeepTheirOrderAndSetReplaces) {
    Json json = Json::Object();
    json.Set("b", 1).Set("a", "x").Set("b", 2);
    EXPECT_EQ(json.Dump(), R"({"b":2,"a":"x"})");
    ASSERT_NE(json.Find("a"), nullptr);
    EXPECT_EQ(json.Find("a")->Dump(), R"("x")");
    EXPECT_EQ(json.Find("c"), nullptr);
    EXPECT_EQ(json.Size(), 2u);
}

TEST(Json, ValuesOfEveryKind) {
    Json list = Json::Array();
    list.Push(Json()).Push(true).Push(false).Push(-3).Push(int64_t{1} << 40).Push(uint64_t{18446744073709551615u});
    list.Push(0.5).Push(Json::Object()).Push(Json::Array().Push("a"));
    EXPECT_EQ(list.Dump(), R"([null,true,false,-3,1099511627776,18446744073709551615,0.5,{},["a"]])");
    // Setting on an array or pushing on an object changes nothing.
    Json object = Json::Object();
    object.Push(1);
    list.Set("k", 1);
    EXPECT_EQ(object.Dump(), "{}");
    EXPECT_EQ(list.Size(), 9u);
}

TEST(Json, StringsAreEscaped) {
    EXPECT_EQ(JsonQuote("a\"b\\c\nd\te\r\x01"), R"("a\"b\\c\nd\te\r\u0001")");
    EXPECT_EQ(Json(std::string("01:00:00;00")).Dump(), R"("01:00:00;00")");
    EXPECT_EQ(Json(std::numeric_limits<double>::infinity()).Dump(), "null");
    EXPECT_EQ(Json(static_cast<const char*>(nullptr)).Dump(), "null");
}

}  // namespace
