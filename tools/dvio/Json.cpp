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

std::string JsonQuote(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
                out += escape;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}
