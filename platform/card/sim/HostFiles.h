// The few file operations of the simulator that the C++ library cannot express: a
// read-only mapping of a tape file, an unnamed scratch file with positioned reads and
// writes, and writing a file safely over another. One source per system implements
// them (HostFilesPosix.cpp, HostFilesWindows.cpp); the build picks one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace cardsim {

// A whole file mapped read-only, so an hour of tape costs no memory.
class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // False with a sentence in *error when the file cannot be opened or mapped, or is
    // not a regular file.
    bool Open(const std::string& path, std::string* error);
    // Reads bytes at `offset` without touching the mapping (for a first walk over a
    // long file); false when fewer than `size` are there.
    bool ReadAt(uint64_t offset, uint8_t* bytes, size_t size) const;
    const uint8_t* Data() const { return data_; }
    uint64_t Size() const { return size_; }

private:
    const uint8_t* data_ = nullptr;
    uint64_t size_ = 0;
    intptr_t file_ = -1;
    intptr_t mapping_ = -1;
};

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
