#include "FuzzFrameInput.h"

#include "digitalio/DIOTypes.h"

#include <algorithm>
#include <cstring>

namespace dv25fuzz {

FuzzFrame FrameFromInput(const uint8_t* data, size_t size) {
    const bool pal = size > 3 && (data[3] & 0x80) != 0;
    FuzzFrame frame;
    frame.size = pal ? kDVFrameSizePAL : kDVFrameSizeNTSC;
    frame.bytes.reset(new unsigned char[frame.size]);
    const size_t copied = std::min(size, frame.size);
    if (copied > 0) std::memcpy(frame.bytes.get(), data, copied);
    std::memset(frame.bytes.get() + copied, 0xFF, frame.size - copied);
    return frame;
}

}  // namespace dv25fuzz
