// The text of the device's last error: written by the capture and record threads,
// read by host threads through the last-error control, so both go under one lock.
#include "device/CDV1394.h"

#include <cstring>

void CDV1394::SetLastErrorText(const char* text) {
    std::lock_guard<std::mutex> hold(m_LastErrorLock);
    const size_t length = strnlen(text, sizeof m_szLastError - 1);
    std::memcpy(m_szLastError, text, length);
    m_szLastError[length] = '\0';
}

size_t CDV1394::CopyLastErrorText(char* destination) {
    std::lock_guard<std::mutex> hold(m_LastErrorLock);
    const size_t length = strnlen(m_szLastError, sizeof m_szLastError - 1);
    std::memcpy(destination, m_szLastError, length);
    destination[length] = '\0';
    return length;
}
