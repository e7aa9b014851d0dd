// File operations of the simulator that the C++ library cannot express: an unnamed
// scratch file with positioned reads and writes, and writing a file safely over
// another. (The cassette's own file is CassetteFile.) One source per system implements
// them (HostFilesPosix.cpp, HostFilesWindows.cpp); the build picks one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace cardsim {

// A file without a name in the temporary folder: it goes with the process, however
// that ends. Positioned reads and writes, safe from one thread at a time.
class ScratchFile {
public:
    ScratchFile() = default;
    ~ScratchFile() { Close(); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    bool Open();
    void Close();
    bool IsOpen() const { return file_ != -1; }
    bool WriteAt(uint64_t offset, const uint8_t* bytes, size_t size);
    bool ReadAt(uint64_t offset, uint8_t* bytes, size_t size) const;

private:
    intptr_t file_ = -1;
};

// Flushes `file` and makes its bytes durable before it is renamed into place.
bool SyncToDisk(std::FILE* file);
// Renames `from` to `to`, replacing a file already there.
bool ReplaceWith(const std::string& from, const std::string& to, std::string* reason);

}  // namespace cardsim
