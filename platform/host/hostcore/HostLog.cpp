#include "hostcore/HostLog.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <vector>

void dprintf(const char* format, ...) {
    if (format == nullptr) return;
    char small[512];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (length < 0) {
        va_end(copy);
        return;
    }
    if (static_cast<size_t>(length) < sizeof small) {
        va_end(copy);
        OutputDebugStringA(small);
        return;
    }
    std::vector<char> large(static_cast<size_t>(length) + 1);
    std::vsnprintf(large.data(), large.size(), format, copy);
    va_end(copy);
    OutputDebugStringA(large.data());
}

__int64 HostMicroseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::microseconds>(now).count();
}

void HostMicroseconds(__int64* microseconds) {
    if (microseconds != nullptr) *microseconds = HostMicroseconds();
}
