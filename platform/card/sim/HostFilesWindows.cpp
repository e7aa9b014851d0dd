// Windows bodies of HostFiles.h.
#include "sim/HostFiles.h"

#include "windows.h"

#include <io.h>

#include <algorithm>

namespace cardsim {

namespace {

HANDLE AsHandle(intptr_t file) {
    return reinterpret_cast<HANDLE>(file);
}

// ReadFile and WriteFile at an offset move at most 4 GiB - 1 bytes per call.
template <typename Call>
bool Positioned(Call call, uint64_t offset, size_t size) {
    size_t done = 0;
    while (done < size) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset + done);
        at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 30));
        DWORD moved = 0;
        if (!call(done, chunk, &moved, &at) || moved == 0) return false;
        done += moved;
    }
    return true;
}

std::string SystemError() {
    return "system error " + std::to_string(GetLastError());
}

}  // namespace

bool ScratchFile::Open() {
    if (file_ != -1) return true;
    char folder[MAX_PATH + 1];
    char path[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH || GetTempFileNameA(folder, "dvr", 0, path) == 0) return false;
    // Deleted by the system when the handle closes, also when the process dies.
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileA(path);
        return false;
    }
    file_ = reinterpret_cast<intptr_t>(file);
    return true;
}

void ScratchFile::Close() {
    if (file_ != -1) CloseHandle(AsHandle(file_));
    file_ = -1;
}

bool ScratchFile::WriteAt(uint64_t offset, const uint8_t* bytes, size_t size) {
    if (file_ == -1) return false;
    return Positioned(
        [&](size_t done, DWORD chunk, DWORD* moved, OVERLAPPED* at) {
            return WriteFile(AsHandle(file_), bytes + done, chunk, moved, at) != FALSE;
        },
        offset, size);
}

bool ScratchFile::ReadAt(uint64_t offset, uint8_t* bytes, size_t size) const {
    if (file_ == -1) return false;
    return Positioned(
        [&](size_t done, DWORD chunk, DWORD* moved, OVERLAPPED* at) {
            return ReadFile(AsHandle(file_), bytes + done, chunk, moved, at) != FALSE;
        },
        offset, size);
}

bool SyncToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

bool ReplaceWith(const std::string& from, const std::string& to, std::string* reason) {
    // Unlike POSIX rename, the C library's rename refuses an existing target here.
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    *reason = SystemError();
    return false;
}

}  // namespace cardsim
