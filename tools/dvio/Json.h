// A small JSON value for dvio's --json output: objects keep their keys in the order
// they were set, and Dump writes one line.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class Json {
public:
    // null
    Json() = default;
    Json(bool value);
    Json(int value);
    Json(int64_t value);
    Json(uint64_t value);
    Json(double value);
    Json(const char* value);
    Json(const std::string& value);

    static Json Object();
    static Json Array();

    // Objects: sets `key` (replacing an earlier value of the same key). Returns *this.
    Json& Set(const std::string& key, Json value);
    // Arrays: appends. Returns *this.
    Json& Push(Json value);

    // The value under `key`, or null when there is none (objects only).
    const Json* Find(const std::string& key) const;
    size_t Size() const;

    // Compact, one line, strings escaped as JSON requires.
    std::string Dump() const;

    // Reading back what dvio wrote (JsonParse.cpp). False with a sentence for text that
    // is not one JSON value; \u0080-\u00ff read as the single bytes Dump escapes so.
    static bool Parse(const std::string& text, Json* out, std::string* error);
    bool IsNull() const { return kind_ == Kind::Null; }
    bool IsArray() const { return kind_ == Kind::Array; }
    bool IsObject() const { return kind_ == Kind::Object; }
    bool IsString() const { return kind_ == Kind::String; }
    // The value as that type, or `otherwise` when it is not one.
    bool AsBool(bool otherwise) const { return kind_ == Kind::Bool ? bool_ : otherwise; }
    int64_t AsInt(int64_t otherwise) const;
    const std::string& AsString() const { return string_; }
    // Item `i` of an array (null past the end).
    const Json& At(size_t i) const;

private:
    enum class Kind { Null, Bool, Integer, Unsigned, Real, String, Array, Object };
    void DumpInto(std::string* out) const;

    Kind kind_ = Kind::Null;
    bool bool_ = false;
    int64_t integer_ = 0;
    uint64_t unsigned_ = 0;
    double real_ = 0;
    std::string string_;
    std::vector<Json> items_;
    std::vector<std::pair<std::string, Json>> members_;
};

// A string as a JSON string literal, quotes included.
std::string JsonQuote(const std::string& text);
