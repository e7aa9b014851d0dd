// Json::Parse and the readers: enough JSON to read dvio's own reports back (objects,
// arrays, strings, numbers, true, false, null), strict about everything else.
#include "Json.h"

#include <cerrno>
#include <cstdlib>

namespace {

class Parser {
public:
    explicit Parser(const std::string& text) : text_(text) {}

    bool Document(Json* out, std::string* error) {
        if (!Value(out, 0) || (Space(), at_ != text_.size())) {
            *error = "not valid JSON at byte " + std::to_string(at_);
            return false;
        }
        return true;
    }

private:
    static constexpr int kDeepest = 64;

    void Space() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t'))
            ++at_;
    }
    bool Take(char c) {
        Space();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool Word(const char* word) {
        const std::string w(word);
        if (text_.compare(at_, w.size(), w) != 0) return false;
        at_ += w.size();
        return true;
    }

    bool Value(Json* out, int depth) {
        if (depth > kDeepest) return false;
        Space();
        if (at_ >= text_.size()) return false;
        const char c = text_[at_];
        if (c == '{') return Object(out, depth);
        if (c == '[') return Array(out, depth);
        if (c == '"') {
            std::string s;
            if (!String(&s)) return false;
            *out = Json(s);
            return true;
        }
        if (Word("true")) return *out = Json(true), true;
        if (Word("false")) return *out = Json(false), true;
        if (Word("null")) return *out = Json(), true;
        return Number(out);
    }

    bool Object(Json* out, int depth) {
        ++at_;
        *out = Json::Object();
        if (Take('}')) return true;
        do {
            std::string key;
            Json value;
            Space();
            if (!String(&key) || !Take(':') || !Value(&value, depth + 1)) return false;
            out->Set(key, std::move(value));
        } while (Take(','));
        return Take('}');
    }

    bool Array(Json* out, int depth) {
        ++at_;
        *out = Json::Array();
        if (Take(']')) return true;
        do {
            Json value;
            if (!Value(&value, depth + 1)) return false;
            out->Push(std::move(value));
        } while (Take(','));
        return Take(']');
    }

    bool String(std::string* out) {
        if (at_ >= text_.size() || text_[at_] != '"') return false;
        ++at_;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c != '\\') {
                *out += c;
                continue;
            }
            if (at_ >= text_.size()) return false;
            const char e = text_[at_++];
            switch (e) {
            case '"': case '\\': case '/': *out += e; break;
            case 'n': *out += '\n'; break;
            case 'r': *out += '\r'; break;
            case 't': *out += '\t'; break;
            case 'b': *out += '\b'; break;
            case 'f': *out += '\f'; break;
            case 'u': {
                if (at_ + 4 > text_.size()) return false;
                char* end = nullptr;
                const std::string hex = text_.substr(at_, 4);
                const unsigned long code = std::strtoul(hex.c_str(), &end, 16);
                if (end != hex.c_str() + 4) return false;
                at_ += 4;
                // Dump escapes control characters and bytes that are not UTF-8, nothing else.
                if (code > 0xFF) return false;
                *out += static_cast<char>(code);
                break;
            }
            default: return false;
            }
        }
        return false;
    }

    bool Number(Json* out) {
        const char* start = text_.c_str() + at_;
        char* end = nullptr;
        errno = 0;
        const long long integer = std::strtoll(start, &end, 10);
        if (end != start && errno == 0 && *end != '.' && *end != 'e' && *end != 'E') {
            at_ += static_cast<size_t>(end - start);
            *out = Json(static_cast<int64_t>(integer));
            return true;
        }
        const double real = std::strtod(start, &end);
        if (end == start) return false;
        at_ += static_cast<size_t>(end - start);
        *out = Json(real);
        return true;
    }

    const std::string& text_;
    size_t at_ = 0;
};

}  // namespace

bool Json::Parse(const std::string& text, Json* out, std::string* error) {
    Parser parser(text);
    return parser.Document(out, error);
}

int64_t Json::AsInt(int64_t otherwise) const {
    if (kind_ == Kind::Integer) return integer_;
    if (kind_ == Kind::Unsigned && unsigned_ <= static_cast<uint64_t>(INT64_MAX)) return static_cast<int64_t>(unsigned_);
    return otherwise;
}

const Json& Json::At(size_t i) const {
    static const Json kNull;
    return kind_ == Kind::Array && i < items_.size() ? items_[i] : kNull;
}
