#include "Json.h"

#include <cmath>
#include <cstdio>

Json::Json(bool value) : kind_(Kind::Bool), bool_(value) {}
Json::Json(int value) : kind_(Kind::Integer), integer_(value) {}
Json::Json(int64_t value) : kind_(Kind::Integer), integer_(value) {}
Json::Json(uint64_t value) : kind_(Kind::Unsigned), unsigned_(value) {}
Json::Json(double value) : kind_(Kind::Real), real_(value) {}
Json::Json(const char* value) : kind_(value != nullptr ? Kind::String : Kind::Null), string_(value ? value : "") {}
Json::Json(const std::string& value) : kind_(Kind::String), string_(value) {}

Json Json::Object() {
    Json json;
    json.kind_ = Kind::Object;
    return json;
}

Json Json::Array() {
    Json json;
    json.kind_ = Kind::Array;
    return json;
}

Json& Json::Set(const std::string& key, Json value) {
    if (kind_ != Kind::Object) return *this;
    for (auto& member : members_) {
        if (member.first == key) {
            member.second = std::move(value);
            return *this;
        }
    }
    members_.emplace_back(key, std::move(value));
    return *this;
}

Json& Json::Push(Json value) {
    if (kind_ == Kind::Array) items_.push_back(std::move(value));
    return *this;
}

const Json* Json::Find(const std::string& key) const {
    for (const auto& member : members_)
        if (member.first == key) return &member.second;
    return nullptr;
}

size_t Json::Size() const {
    return kind_ == Kind::Object ? members_.size() : items_.size();
}

std::string Json::Dump() const {
    std::string out;
    DumpInto(&out);
    return out;
}

void Json::DumpInto(std::string* out) const {
    switch (kind_) {
    case Kind::Null: *out += "null"; break;
    case Kind::Bool: *out += bool_ ? "true" : "false"; break;
    case Kind::Integer: *out += std::to_string(integer_); break;
    case Kind::Unsigned: *out += std::to_string(unsigned_); break;
    case Kind::Real: {
        if (!std::isfinite(real_)) {
            *out += "null";  // JSON has no infinities
            break;
        }
        char text[32];
        std::snprintf(text, sizeof text, "%.6g", real_);
        *out += text;
        break;
    }
    case Kind::String: *out += JsonQuote(string_); break;
    case Kind::Array: {
        *out += '[';
        for (size_t i = 0; i < items_.size(); ++i) {
            if (i > 0) *out += ',';
            items_[i].DumpInto(out);
        }
        *out += ']';
        break;
    }
    case Kind::Object: {
        *out += '{';
        for (size_t i = 0; i < members_.size(); ++i) {
            if (i > 0) *out += ',';
            *out += JsonQuote(members_[i].first);
            *out += ':';
            members_[i].second.DumpInto(out);
        }
        *out += '}';
        break;
    }
    }
}

namespace {

// The length of the well-formed UTF-8 sequence at `text[at]`, or 0 when it is not one.
size_t Utf8Length(const std::string& text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    return length;
}

}  // namespace

// JSON text is Unicode: a byte that is not part of well-formed UTF-8 (a file name in
// another encoding) is written as the character of the same number (U+0080-U+00FF),
// so that the output stays valid and the byte can still be told.
std::string JsonQuote(const std::string& text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto u = static_cast<unsigned char>(c);
        char escape[8];
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (u < 0x20) {
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(u));
                out += escape;
            } else if (u < 0x80) {
                out += c;
            } else if (const size_t length = Utf8Length(text, i)) {
                out.append(text, i, length);
                i += length - 1;
            } else {
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(u));
                out += escape;
            }
        }
    }
    return out + "\"";
}
