#include "sim/DVFileTape.h"

#include "sim/DVFrameLayout.h"
#include "sim/SubcodeTimecode.h"

#include <algorithm>
#include <cstring>

namespace cardsim {

std::unique_ptr<DVFileTape> DVFileTape::Open(const std::string& path, std::string* error) {
    std::unique_ptr<DVFileTape> tape(new DVFileTape());
    tape->path_ = path;
    if (!tape->file_.Open(path, error)) return nullptr;
    tape->map_ = tape->file_.Data();
    tape->size_ = tape->file_.Size();
    if (!tape->Index(error)) return nullptr;
    return tape;
}

DVFileTape::~DVFileTape() = default;

bool DVFileTape::Index(std::string* /*error*/) {
    // Reads only the header bytes of each frame (not through the mapping), so indexing a
    // long file neither touches nor keeps its pages.
    uint64_t offset = 0;
    int64_t position = 0;
    uint8_t header[4];
    while (offset < size_) {
        if (!file_.ReadAt(offset, header, sizeof header)) break;
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
