// The valid inputs the standalone fuzz driver starts from and mutates. Each target
// brings its own: the DV25 readers' are frames (SeedFrames.cpp), the device targets'
// are short edit scripts.
#pragma once

#include <cstdint>
#include <vector>

namespace fuzz {

std::vector<std::vector<uint8_t>> Seeds();

}  // namespace fuzz
