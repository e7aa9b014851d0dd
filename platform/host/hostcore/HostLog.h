// The host's debug log and clock.
#pragma once

#include "windows.h"

// printf-style; the formatted text becomes one debug entry (OutputDebugStringA).
// (A C++ overload beside the C library's dprintf(int, const char*, ...).)
void dprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Microseconds of a monotonic clock.
void HostMicroseconds(__int64* microseconds);
__int64 HostMicroseconds();
