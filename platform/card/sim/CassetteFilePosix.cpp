// POSIX bodies of CassetteFile.h.
#include "sim/CassetteFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace cardsim {

namespace {

// The mark of a blank cassette: an extended attribute, so the file itself stays empty
// (a valid raw DV stream of no frames) for every other tool.
constexpr char kBlankMark[] = "user.dvio.blank-cassette";

int Fd(intptr_t handle) {
    return static_cast<int>(handle);
}

std::string Why(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

std::unique_ptr<CassetteFile> CassetteFile::Open(const std::string& path, std::string* error) {
    std::unique_ptr<CassetteFile> file(new CassetteFile());
    file->path_ = path;
    // Permission bits without any write permission protect the tape even from a user
    // (root) whom the system would let write.
    struct stat st {};
    const bool modeAllowsWriting = ::stat(path.c_str(), &st) == 0 && (st.st_mode & 0222) != 0;
    if (modeAllowsWriting) {
        file->handle_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        file->writable_ = file->handle_ >= 0;
    }
    if (file->handle_ < 0 && (!modeAllowsWriting || errno == EACCES || errno == EPERM || errno == EROFS))
        file->handle_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file->handle_ < 0) {
        if (error != nullptr) *error = Why("cannot open", path);
        return nullptr;
    }
    if (::fstat(Fd(file->handle_), &st) != 0 || !S_ISREG(st.st_mode)) {
        if (error != nullptr) *error = path + " is not a regular file";
        return nullptr;
    }
    // Held until the cassette is taken out; a tape that cannot be recorded on may be
    // read by several.
    if (::flock(Fd(file->handle_), (file->writable_ ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        if (error != nullptr) {
            *error = errno == EWOULDBLOCK ? path + " is in use: another program has this cassette loaded"
                                          : Why("cannot lock", path);
        }
        return nullptr;
    }
    return file;
}

CassetteFile::~CassetteFile() {
    Unmap();
    if (handle_ >= 0) ::close(Fd(handle_));  // releases the lock
}

bool CassetteFile::MarkedBlank() const {
    char value[8];
    return ::fgetxattr(Fd(handle_), kBlankMark, value, sizeof value) >= 0;
}

bool CassetteFile::ReadAt(uint64_t offset, uint8_t* bytes, size_t size) const {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(Fd(handle_), bytes + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

const uint8_t* CassetteFile::Map(uint64_t size, std::string* error) {
    Unmap();
    if (size == 0) return nullptr;
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, Fd(handle_), 0);
    if (map == MAP_FAILED) {
        if (error != nullptr) *error = Why("cannot map", path_);
        return nullptr;
    }
    view_ = static_cast<const uint8_t*>(map);
    viewSize_ = size;
    return view_;
}

void CassetteFile::Unmap() {
    if (view_ != nullptr) ::munmap(const_cast<uint8_t*>(view_), viewSize_);
    view_ = nullptr;
    viewSize_ = 0;
}

uint64_t CassetteFile::Size() const {
    struct stat st {};
    return ::fstat(Fd(handle_), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

bool CassetteFile::Reserve(uint64_t end, std::string* error) {
    const uint64_t size = Size();
    if (end <= size) return true;
    const int failure = ::posix_fallocate(Fd(handle_), static_cast<off_t>(size), static_cast<off_t>(end - size));
    if (failure == 0) return true;
    Truncate(size);
    if (error != nullptr) {
        *error = "cannot make room for the recording in " + path_ + " (" + std::to_string(end - size) +
                 " bytes more): " + std::strerror(failure);
    }
    return false;
}

bool CassetteFile::WriteAt(uint64_t offset, const uint8_t* bytes, size_t size, std::string* error) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(Fd(handle_), bytes + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            if (error != nullptr) *error = Why("cannot write the recording into", path_);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

void CassetteFile::Truncate(uint64_t size) {
    while (::ftruncate(Fd(handle_), static_cast<off_t>(size)) != 0 && errno == EINTR) {
    }
}

bool CassetteFile::Sync(std::string* error) {
    if (::fdatasync(Fd(handle_)) == 0) return true;
    if (error != nullptr) *error = Why("cannot write the recording into", path_);
    return false;
}

bool MakeBlankCassetteFile(const std::string& path, std::string* error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (error != nullptr) {
            *error = errno == EEXIST ? path + " exists: a blank cassette is made only as a new file"
                                     : Why("cannot write", path);
        }
        return false;
    }
    const bool marked = ::fsetxattr(fd, kBlankMark, "1", 1, 0) == 0;
    if (!marked && error != nullptr) {
        *error = Why("cannot mark as a blank cassette", path) + " (the file system keeps no extended attributes)";
    }
    ::close(fd);
    if (!marked) ::unlink(path.c_str());
    return marked;
}

}  // namespace cardsim
