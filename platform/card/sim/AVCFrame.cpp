#include "sim/AVCFrame.h"

#include <cstring>

namespace cardsim {

namespace {
size_t BufferOffset(size_t i) { return 4 * (i / 4) + 3 - i % 4; }
}  // namespace

std::vector<uint8_t> FrameFromQuadlets(const uint8_t* buffer, size_t length) {
    std::vector<uint8_t> frame(length);
    for (size_t i = 0; i < length; ++i) frame[i] = buffer[BufferOffset(i)];
    return frame;
}

void FrameToQuadlets(const std::vector<uint8_t>& frame, uint8_t* buffer) {
    std::memset(buffer, 0, QuadletBytes(frame.size()));
    for (size_t i = 0; i < frame.size(); ++i) buffer[BufferOffset(i)] = frame[i];
}

}  // namespace cardsim
