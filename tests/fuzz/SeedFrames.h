// Valid frames the standalone fuzz driver mutates: black frames of both standards and
// frames with audio of every mode and a timecode.
#pragma once

#include <cstdint>
#include <vector>

namespace dv25fuzz {

std::vector<std::vector<uint8_t>> SeedFrames();

}  // namespace dv25fuzz
