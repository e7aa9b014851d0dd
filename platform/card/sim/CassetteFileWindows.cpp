// Windows bodies of CassetteFile.h. The lock is the share mode the file is opened with:
// both kinds share reading only. A second loader then gets a sharing violation ("in
// use") unless both only read, which is what a shared lock allows on POSIX, while
// other programs may still read the tape.
#include "sim/CassetteFile.h"

#include "windows.h"

#include <algorithm>

namespace cardsim {

namespace {

// The mark of a blank cassette: a named stream of the file, so the file itself stays
// empty (a valid raw DV stream of no frames) for every other tool.
constexpr char kBlankMark[] = ":dvio.blank-cassette";

HANDLE AsHandle(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

std::string Why(const std::string& what, const std::string& path) {
    return what + " " + path + ": system error " + std::to_string(GetLastError());
}

// At most 1 GiB per ReadFile or WriteFile, at a 64-bit offset.
template <typename Call>
bool Positioned(Call call, uint64_t offset, size_t size) {
    size_t done = 0;
    while (done < size) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset + done);
        at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - done, size_t{1} << 30));
        DWORD moved = 0;
        if (!call(done, chunk, &moved, &at) || moved == 0) return false;
        done += moved;
    }
    return true;
}

bool SetSize(HANDLE file, uint64_t size) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size);
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

}  // namespace

std::unique_ptr<CassetteFile> CassetteFile::Open(const std::string& path, std::string* error) {
    std::unique_ptr<CassetteFile> file(new CassetteFile());
    file->path_ = path;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        if (error != nullptr) *error = path + " is not a regular file";
        return nullptr;
    }
    // The read-only attribute is the write-protect tab.
    const bool attributesAllowWriting = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) == 0;
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (attributesAllowWriting) {
        handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        file->writable_ = handle != INVALID_HANDLE_VALUE;
    }
    if (handle == INVALID_HANDLE_VALUE && (!attributesAllowWriting || GetLastError() == ERROR_ACCESS_DENIED))
        handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        if (error != nullptr) {
            *error = GetLastError() == ERROR_SHARING_VIOLATION ? path + " is in use: another program has this cassette loaded"
                                                               : Why("cannot open", path);
        }
        return nullptr;
    }
    file->handle_ = reinterpret_cast<intptr_t>(handle);
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        if (error != nullptr) *error = path + " is not a regular file";
        return nullptr;
    }
    return file;
}

CassetteFile::~CassetteFile() {
    Unmap();
    if (handle_ != -1) CloseHandle(AsHandle(handle_));  // releases the lock
}

bool CassetteFile::MarkedBlank() const {
    const DWORD attributes = GetFileAttributesA((path_ + kBlankMark).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES;
}

bool CassetteFile::ReadAt(uint64_t offset, uint8_t* bytes, size_t size) const {
    return Positioned(
        [&](size_t done, DWORD chunk, DWORD* moved, OVERLAPPED* at) {
            return ReadFile(AsHandle(handle_), bytes + done, chunk, moved, at) != FALSE;
        },
        offset, size);
}

const uint8_t* CassetteFile::Map(uint64_t size, std::string* error) {
    Unmap();
    if (size == 0) return nullptr;
    HANDLE mapping = CreateFileMappingA(AsHandle(handle_), nullptr, PAGE_READONLY, static_cast<DWORD>(size >> 32),
                                        static_cast<DWORD>(size), nullptr);
    if (mapping == nullptr) {
        if (error != nullptr) *error = Why("cannot map", path_);
        return nullptr;
    }
    view_ = static_cast<const uint8_t*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(size)));
    if (view_ == nullptr) {
        if (error != nullptr) *error = Why("cannot map", path_);
        CloseHandle(mapping);
        return nullptr;
    }
    mapping_ = reinterpret_cast<intptr_t>(mapping);
    viewSize_ = size;
    return view_;
}

void CassetteFile::Unmap() {
    if (view_ != nullptr) UnmapViewOfFile(view_);
    if (mapping_ != -1) CloseHandle(AsHandle(mapping_));
    view_ = nullptr;
    mapping_ = -1;
    viewSize_ = 0;
}

uint64_t CassetteFile::Size() const {
    LARGE_INTEGER size;
    return GetFileSizeEx(AsHandle(handle_), &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
}

bool CassetteFile::Reserve(uint64_t end, std::string* error) {
    const uint64_t size = Size();
    if (end <= size) return true;
    if (SetSize(AsHandle(handle_), end)) return true;
    const DWORD failure = GetLastError();
    Truncate(size);
    if (error != nullptr) {
        *error = "cannot make room for the recording in " + path_ + " (" + std::to_string(end - size) +
                 " bytes more): system error " + std::to_string(failure);
    }
    return false;
}

bool CassetteFile::WriteAt(uint64_t offset, const uint8_t* bytes, size_t size, std::string* error) {
    const bool written = Positioned(
        [&](size_t done, DWORD chunk, DWORD* moved, OVERLAPPED* at) {
            return WriteFile(AsHandle(handle_), bytes + done, chunk, moved, at) != FALSE;
        },
        offset, size);
    if (!written && error != nullptr) *error = Why("cannot write the recording into", path_);
    return written;
}

void CassetteFile::Truncate(uint64_t size) {
    SetSize(AsHandle(handle_), size);
}

bool CassetteFile::Sync(std::string* error) {
    if (FlushFileBuffers(AsHandle(handle_))) return true;
    if (error != nullptr) *error = Why("cannot write the recording into", path_);
    return false;
}

bool MakeBlankCassetteFile(const std::string& path, std::string* error) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (error != nullptr) {
            *error = GetLastError() == ERROR_FILE_EXISTS ? path + " exists: a blank cassette is made only as a new file"
                                                         : Why("cannot write", path);
        }
        return false;
    }
    CloseHandle(file);
    HANDLE mark = CreateFileA((path + kBlankMark).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    const bool marked = mark != INVALID_HANDLE_VALUE;
    if (marked) {
        CloseHandle(mark);
    } else if (error != nullptr) {
        *error = Why("cannot mark as a blank cassette", path) + " (the file system keeps no named streams)";
    }
    if (!marked) DeleteFileA(path.c_str());
    return marked;
}

}  // namespace cardsim
