// A file descriptor for writing a DV stream, the system's way: created without being
// inherited by child programs, and on Windows in binary mode (a text-mode descriptor
// would turn every 0x0A byte of a frame into two). One source per system
// (OutputDescriptorPosix.cpp, OutputDescriptorWindows.cpp); the build picks one.
#pragma once

#include <cstdint>
#include <string>

namespace outputdescriptor {

// Creates or empties `path` for writing; -1 with errno set when it cannot.
int Create(const std::string& path);
// Standard output, made ready for binary data.
int StandardOutput();
// Cuts the file back to `size` bytes.
bool CutBack(int fd, uint64_t size);

}  // namespace outputdescriptor
