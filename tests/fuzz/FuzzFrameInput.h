// Turns a fuzz input into a DV frame buffer the way the plug-in hands frames to the
// readers: exactly as large as the frame's own header says (625/50 when byte 3 has
// the DSF bit), so any read past the frame is a read past the allocation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace dv25fuzz {

struct FuzzFrame {
    std::unique_ptr<unsigned char[]> bytes;
    size_t size;
};

// The input's bytes, then 0xFF up to the frame size.
FuzzFrame FrameFromInput(const uint8_t* data, size_t size);

}  // namespace dv25fuzz
