// POSIX bodies of HostFiles.h.
#include "sim/HostFiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace cardsim {

namespace {

bool ReadAll(int fd, uint8_t* bytes, size_t size, uint64_t offset) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, bytes + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool ScratchFile::Open() {
    if (file_ >= 0) return true;
    const char* folder = std::getenv("TMPDIR");
    std::string path = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/dvio-recording-XXXXXX";
    const int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0) return false;
    // Unnamed at once: the file goes with the process, however that ends.
    ::unlink(path.c_str());
    file_ = fd;
    return true;
}

void ScratchFile::Close() {
    if (file_ >= 0) ::close(static_cast<int>(file_));
    file_ = -1;
}

bool ScratchFile::WriteAt(uint64_t offset, const uint8_t* bytes, size_t size) {
    if (file_ < 0) return false;
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(static_cast<int>(file_), bytes + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool ScratchFile::ReadAt(uint64_t offset, uint8_t* bytes, size_t size) const {
    return file_ >= 0 && ReadAll(static_cast<int>(file_), bytes, size, offset);
}

bool SyncToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && ::fsync(fileno(file)) == 0;
}

bool ReplaceWith(const std::string& from, const std::string& to, std::string* reason) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    *reason = std::strerror(errno);
    return false;
}

}  // namespace cardsim
