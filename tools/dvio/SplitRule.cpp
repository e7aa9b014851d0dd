#include "SplitRule.h"

#include "NumberArg.h"

#include "DvFile.h"

#include <cctype>

namespace {

constexpr int64_t kMostFrames = 30 * 86400;
constexpr double kMostSeconds = 86400;

bool ParseSize(const std::string& text, uint64_t* bytes, std::string* error) {
    const std::string usage = "--split size=N takes a number of bytes, with K, M or G after it for KiB, MiB or GiB";
    std::string digits = text;
    uint64_t unit = 1;
    if (!digits.empty()) {
        const char last = digits.back();
        const uint64_t units[] = {1024, 1024 * 1024, 1024ull * 1024 * 1024};
        const std::string letters = "KMG";
        const size_t at = letters.find(static_cast<char>(std::toupper(static_cast<unsigned char>(last))));
        if (at != std::string::npos) {
            unit = units[at];
            digits.pop_back();
        }
    }
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 12) {
        *error = usage + ", not \"" + text + "\"";
        return false;
    }
    *bytes = std::stoull(digits) * unit;
    // Every file holds at least one whole frame.
    if (*bytes < kDVFrameSizePAL) {
        *error = "--split size=" + text + " is smaller than one DV frame (" + std::to_string(kDVFrameSizePAL) +
                 " bytes)";
        return false;
    }
    return true;
}

}  // namespace

bool ParseSplitRule(const std::string& text, SplitRule* rule, std::string* error) {
    const size_t equals = text.find('=');
    const std::string word = text.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : text.substr(equals + 1);
    const bool hasValue = equals != std::string::npos;
    if ((word == "recording" || word == "break") && !hasValue) {
        rule->kind = word == "recording" ? SplitRule::Kind::Recording : SplitRule::Kind::Break;
        return true;
    }
    if (word == "size" && hasValue) {
        rule->kind = SplitRule::Kind::Size;
        return ParseSize(value, &rule->bytes, error);
    }
    if (word == "frames" && hasValue) {
        rule->kind = SplitRule::Kind::Frames;
        return ParseCount("--split frames", value, kMostFrames, &rule->frames, error);
    }
    if (word == "seconds" && hasValue) {
        rule->kind = SplitRule::Kind::Seconds;
        return ParsePositive("--split seconds", value, kMostSeconds, &rule->seconds, error);
    }
    *error = "--split takes recording, break, size=N[K|M|G], frames=N or seconds=S, not \"" + text + "\"";
    return false;
}
