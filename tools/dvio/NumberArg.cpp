#include "NumberArg.h"

#include <cerrno>
#include <cstdio>
#include <cmath>
#include <cstdlib>

namespace {

std::string Shown(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

bool ParseCount(const std::string& option, const std::string& text, int64_t most, int64_t* value, std::string* error) {
    char* end = nullptr;
    errno = 0;
    const long long parsed = text.empty() ? 0 : std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || end == nullptr || *end != '\0' || parsed < 1 || parsed > most) {
        *error = option + " takes a whole number from 1 to " + std::to_string(most) + ", not \"" + text + "\"";
        return false;
    }
    *value = parsed;
    return true;
}

bool ParsePositive(const std::string& option, const std::string& text, double most, double* value,
                   std::string* error) {
    char* end = nullptr;
    const double parsed = text.empty() ? 0 : std::strtod(text.c_str(), &end);
    if (text.empty() || end == nullptr || *end != '\0' || !std::isfinite(parsed) || !(parsed > 0) || parsed > most) {
        *error = option + " takes a number above 0 and at most " + Shown(most) + ", not \"" + text + "\"";
        return false;
    }
    *value = parsed;
    return true;
}
