// The file behind a file cassette, which is the user's tape: opened once when the
// cassette is loaded and held until it is taken out.
//
// - Locked for as long as it is held (flock on POSIX, the share mode on Windows),
//   exclusively when it can be recorded on, shared when it cannot: a cassette is in one
//   deck at a time, so a second process that loads it is told it is in use.
// - A file that cannot be written, or whose permission bits allow no writing, is the
//   write-protected cassette: never opened for writing.
// - Written only in place (the same file, through a symlink to its target, keeping its
//   mode and owner): frames are overwritten where they are and new ones appended after
//   the last byte, once the room for them is reserved.
// - An empty file is a cassette only when marked as a blank one (MakeBlankCassetteFile),
//   so that a file emptied by mistake is not taken for a tape.
//
// One source per system implements it (CassetteFilePosix.cpp, CassetteFileWindows.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace cardsim {

class CassetteFile {
public:
    // Null, with a sentence in *error, when the file cannot be opened, is not a regular
    // file, or is in use by another process.
    static std::unique_ptr<CassetteFile> Open(const std::string& path, std::string* error);
    ~CassetteFile();
    CassetteFile(const CassetteFile&) = delete;
    CassetteFile& operator=(const CassetteFile&) = delete;

    // Reads bytes at `offset` without touching a mapping; false when fewer are there.
    bool ReadAt(uint64_t offset, uint8_t* bytes, size_t size) const;
    // The whole file as it is now, mapped read-only (null with *error set when it cannot
    // be); valid until Unmap, which must come before the file changes size.
    const uint8_t* Map(uint64_t size, std::string* error);
    void Unmap();
    const std::string& Path() const { return path_; }
    bool Writable() const { return writable_; }
    bool MarkedBlank() const;
    // The file's size now (0 when it cannot be read).
    uint64_t Size() const;

    // Makes sure the file can grow to `end` bytes (no-op when it is that long already);
    // on failure the file keeps its size and *error says why (a full disk, a size limit).
    bool Reserve(uint64_t end, std::string* error);
    bool WriteAt(uint64_t offset, const uint8_t* bytes, size_t size, std::string* error);
    // Cuts the file back to `size` bytes (undoes an append that failed).
    void Truncate(uint64_t size);
    bool Sync(std::string* error);

private:
    CassetteFile() = default;

    std::string path_;
    intptr_t handle_ = -1;   // the open file (a descriptor or a system handle)
    intptr_t mapping_ = -1;  // Windows' mapping object, while mapped
    const uint8_t* view_ = nullptr;
    uint64_t viewSize_ = 0;
    bool writable_ = false;
};

// Creates `path` as a new, empty file marked as a blank cassette; never replaces a file.
bool MakeBlankCassetteFile(const std::string& path, std::string* error);

}  // namespace cardsim
