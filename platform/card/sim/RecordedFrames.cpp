#include "sim/RecordedFrames.h"

#include "sim/SubcodeTimecode.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace cardsim {

namespace {

bool WriteAll(int fd, const uint8_t* bytes, size_t size, uint64_t offset) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, bytes + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

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

RecordedFrames::~RecordedFrames() { CloseFile(); }

bool RecordedFrames::OpenFile() {
    if (fd_ >= 0) return true;
    const char* folder = std::getenv("TMPDIR");
    std::string path = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/dvio-recording-XXXXXX";
    fd_ = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd_ < 0) return false;
    // Unnamed at once: the file goes with the process, however that ends.
    ::unlink(path.c_str());
    return true;
}

void RecordedFrames::CloseFile() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool RecordedFrames::Put(int64_t position, const uint8_t* frame, size_t size, DIO_VideoFormat standard) {
    if (frame == nullptr || size == 0 || !OpenFile()) return false;
    Entry entry;
    entry.size = size;
    entry.standard = standard;
    entry.hasTimecode = ReadSubcodeTimecode(frame, standard, &entry.timecode);
    // A frame of the same size goes where the old one was; otherwise at the end.
    const auto old = index_.find(position);
    const bool inPlace = old != index_.end() && old->second.size == size;
    entry.offset = inPlace ? old->second.offset : fileEnd_;
    if (!WriteAll(fd_, frame, size, entry.offset)) return false;
    if (!inPlace) fileEnd_ += size;
    index_[position] = entry;
    return true;
}

std::vector<int64_t> RecordedFrames::Positions() const {
    std::vector<int64_t> positions;
    positions.reserve(index_.size());
    for (const auto& entry : index_) positions.push_back(entry.first);
    return positions;
}

size_t RecordedFrames::SizeAt(int64_t position) const {
    const auto it = index_.find(position);
    return it != index_.end() ? it->second.size : 0;
}

DIO_VideoFormat RecordedFrames::StandardAt(int64_t position) const {
    const auto it = index_.find(position);
    return it != index_.end() ? it->second.standard : DIO_NoVideoFormat;
}

bool RecordedFrames::TimecodeAt(int64_t position, TapeTimecode* timecode) const {
    const auto it = index_.find(position);
    if (it == index_.end() || !it->second.hasTimecode) return false;
    *timecode = it->second.timecode;
    return true;
}

size_t RecordedFrames::Read(int64_t position, uint8_t* destination, size_t capacity) const {
    const auto it = index_.find(position);
    if (it == index_.end() || destination == nullptr || capacity < it->second.size || fd_ < 0) return 0;
    return ReadAll(fd_, destination, it->second.size, it->second.offset) ? it->second.size : 0;
}

void RecordedFrames::Clear() {
    index_.clear();
    fileEnd_ = 0;
    // Closing the unnamed file gives its space back; the next recording opens another.
    CloseFile();
}

}  // namespace cardsim
