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

TEST(Json, ParseReadsBackWhatDumpWritesAndRefusesTheRest) {
    // A byte that is not UTF-8 is dumped as \u00XX and read back as that byte.
    const std::string good[] = {
        R"({"b":2,"a":"x\n\u0001\u00e9\"","c":[null,true,false,-3,1099511627776,0.5,{},["a"]]})", "[]", "-7",
        R"("")"};
    for (const std::string& text : good) {
        Json json;
        std::string error;
        ASSERT_TRUE(Json::Parse(" " + text + "\n", &json, &error)) << text << ": " << error;
        EXPECT_EQ(json.Dump(), text);
    }
    const std::string bad[] = {"", "{", "[1,]", R"({"a"})", "tru", R"("\x")", "1 2", R"(["\u0100"])",
                               std::string(100, '['), "\"a\tb\"", "{\"a\":1,}"};
    for (const std::string& text : bad) {
        Json json;
        std::string error;
        EXPECT_FALSE(Json::Parse(text, &json, &error)) << text;
        EXPECT_NE(error, "") << text;
    }
}

}  // namespace
