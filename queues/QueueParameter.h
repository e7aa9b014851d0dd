// Reading and writing a queue's counters as the 4-byte values of its controls. The
// host's buffer may be unaligned, so values are copied byte for byte. A null buffer
// is refused.
#pragma once

#include <atomic>
#include <cstring>

namespace dv1394 {

template <typename T>
bool ReadQueueParameter(const std::atomic<T>& counter, void* value) {
    if (value == nullptr) return false;
    const T read = counter.load();
    std::memcpy(value, &read, sizeof read);
    return true;
}

template <typename T>
bool WriteQueueParameter(std::atomic<T>& counter, const void* value) {
    if (value == nullptr) return false;
    T written;
    std::memcpy(&written, value, sizeof written);
    counter.store(written);
    return true;
}

}  // namespace dv1394
