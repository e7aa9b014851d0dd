#include "sim/DVFileTape.h"

#include "sim/DVFrameLayout.h"
#include "sim/SubcodeTimecode.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cardsim {

std::unique_ptr<DVFileTape> DVFileTape::Open(const std::string& path, std::string* error) {
    std::unique_ptr<DVFileTape> tape(new DVFileTape());
    tape->path_ = path;
    tape->fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (tape->fd_ < 0) {
        if (error != nullptr) *error = "cannot open " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(tape->fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (error != nullptr) *error = path + " is not a regular file";
        return nullptr;
    }
    tape->size_ = static_cast<uint64_t>(st.st_size);
    if (tape->size_ > 0) {
        void* map = ::mmap(nullptr, tape->size_, PROT_READ, MAP_PRIVATE, tape->fd_, 0);
        if (map == MAP_FAILED) {
            if (error != nullptr) *error = "cannot map " + path + ": " + std::strerror(errno);
            return nullptr;
        }
        tape->map_ = static_cast<const uint8_t*>(map);
    }
    if (!tape->Index(error)) return nullptr;
    return tape;
}

DVFileTape::~DVFileTape() {
    if (map_ != nullptr) ::munmap(const_cast<uint8_t*>(map_), size_);
    if (fd_ >= 0) ::close(fd_);
}

bool DVFileTape::Index(std::string* /*error*/) {
    // Reads only the header bytes of each frame (pread, not the mapping), so indexing a
    // long file neither touches nor keeps its pages.
    uint64_t offset = 0;
    int64_t position = 0;
    uint8_t header[4];
    while (offset < size_) {
        if (::pread(fd_, header, sizeof header, static_cast<off_t>(offset)) != static_cast<ssize_t>(sizeof header))
            break;
        const DIO_VideoFormat standard = FrameStandard(header, sizeof header);
        const uint64_t frameSize = FrameSize(standard);
        if (frameSize == 0 || size_ - offset < frameSize) break;
        if (!runs_.empty() && runs_.back().standard == standard) {
            ++runs_.back().count;
        } else {
            runs_.push_back({position, offset, standard, 1});
        }
        offset += frameSize;
        ++position;
    }
    length_ = position;
    ignoredBytes_ = size_ - offset;
    return true;
}

const DVFileTape::Run* DVFileTape::RunOf(int64_t position) const {
    if (position < 0 || position >= length_) return nullptr;
    auto it = std::upper_bound(runs_.begin(), runs_.end(), position,
                               [](int64_t p, const Run& r) { return p < r.firstPosition; });
    return &*(it - 1);
}

uint64_t DVFileTape::OffsetOf(int64_t position) const {
    if (position >= length_) {
        if (runs_.empty()) return 0;
        const Run& last = runs_.back();
        return last.firstOffset + static_cast<uint64_t>(last.count) * FrameSize(last.standard);
    }
    const Run* run = RunOf(position);
    return run->firstOffset + static_cast<uint64_t>(position - run->firstPosition) * FrameSize(run->standard);
}

DIO_VideoFormat DVFileTape::StandardAt(int64_t position) const {
    const Run* run = RunOf(position);
    return run != nullptr ? run->standard : TrailingStandard();
}

DIO_VideoFormat DVFileTape::TrailingStandard() const {
    return runs_.empty() ? DIO_NTSC : runs_.back().standard;
}

size_t DVFileTape::ReadFrame(int64_t position, uint8_t* destination, size_t capacity) const {
    const Run* run = RunOf(position);
    if (run == nullptr || destination == nullptr) return 0;
    const size_t size = FrameSize(run->standard);
    if (capacity < size) return 0;
    std::memcpy(destination, map_ + OffsetOf(position), size);
    return size;
}

bool DVFileTape::TimecodeAt(int64_t position, TapeTimecode* timecode) const {
    // Straight from the mapping: a search over a long tape reads only the subcode.
    const Run* run = RunOf(position);
    if (run == nullptr) return false;
    return ReadSubcodeTimecode(map_ + OffsetOf(position), run->standard, timecode);
}

int64_t DVFileTape::TracksBefore(int64_t position) const {
    // One track per DIF sequence.
    return static_cast<int64_t>(OffsetOf(std::min(position, length_)) / kDifSequenceBytes);
}

}  // namespace cardsim
