#include "sim/DVFileTape.h"

#include "sim/DVFrameLayout.h"
#include "sim/SubcodeTimecode.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace cardsim {

std::unique_ptr<DVFileTape> DVFileTape::Open(const std::string& path, std::string* error) {
    std::unique_ptr<DVFileTape> tape(new DVFileTape());
    tape->file_ = CassetteFile::Open(path, error);
    if (!tape->file_ || !tape->Map(error)) return nullptr;
    if (tape->size_ == 0) {
        if (tape->file_->MarkedBlank()) return tape;
        if (error != nullptr)
            *error = path + " is empty: it is no DV file and was not made as a blank cassette (dvio tape new FILE --blank)";
        return nullptr;
    }
    tape->Index();
    if (std::none_of(tape->runs_.begin(), tape->runs_.end(), [](const Run& r) { return !r.damaged; })) {
        if (error != nullptr) *error = path + " is not a DV file: none of its " + std::to_string(tape->size_) +
                                       " bytes starts a DV frame";
        return nullptr;
    }
    return tape;
}

DVFileTape::~DVFileTape() { Unmap(); }

bool DVFileTape::Map(std::string* error) {
    size_ = file_->Size();
    if (size_ == 0) return true;
    map_ = file_->Map(size_, error);
    if (map_ == nullptr) {
        size_ = 0;
        return false;
    }
    return true;
}

void DVFileTape::Unmap() {
    if (file_ != nullptr) file_->Unmap();
    map_ = nullptr;
    size_ = 0;
}

void DVFileTape::Index() {
    runs_.clear();
    ignoredBytes_ = 0;
    // Frame starts are checked with a few bytes read (not through the mapping), so that
    // indexing a long file neither touches nor keeps its pages; only a damaged stretch
    // is searched through the mapping.
    const auto frameAt = [&](uint64_t offset) {
        uint8_t start[kFrameStartBytes] = {};
        uint8_t next[4] = {};
        const uint64_t available = size_ - offset;
        if (!file_->ReadAt(offset, start, sizeof start)) return DIO_NoVideoFormat;
        if (available > kDifSequenceBytes + sizeof next && !file_->ReadAt(offset + kDifSequenceBytes, next, sizeof next))
            return DIO_NoVideoFormat;
        return FrameStartStandard(start, next, available);
    };
    const auto mappedFrameAt = [&](uint64_t offset) {
        const uint64_t available = size_ - offset;
        if (available < kDifSequenceBytes + 4) return DIO_NoVideoFormat;
        return FrameStartStandard(map_ + offset, map_ + offset + kDifSequenceBytes, available);
    };
    uint64_t offset = 0;
    int64_t position = 0;
    DIO_VideoFormat last = DIO_NoVideoFormat;
    while (offset < size_) {
        const DIO_VideoFormat standard = frameAt(offset);
        if (standard != DIO_NoVideoFormat) {
            const uint64_t frameSize = FrameSize(standard);
            Run* run = runs_.empty() ? nullptr : &runs_.back();
            if (run != nullptr && !run->damaged && run->standard == standard &&
                run->firstOffset + static_cast<uint64_t>(run->count) * frameSize == offset) {
                ++run->count;
            } else {
                runs_.push_back({position, offset, standard, 1, false});
            }
            offset += frameSize;
            ++position;
            last = standard;
            continue;
        }
        // Damaged: on to the next place a frame starts, or the end.
        uint64_t next = offset + 1;
        DIO_VideoFormat found = DIO_NoVideoFormat;
        while (next < size_ && (found = mappedFrameAt(next)) == DIO_NoVideoFormat) ++next;
        const DIO_VideoFormat unit = last != DIO_NoVideoFormat ? last : found;
        const uint64_t stretch = next - offset;
        const int64_t count = unit != DIO_NoVideoFormat ? static_cast<int64_t>(stretch / FrameSize(unit)) : 0;
        if (count > 0) runs_.push_back({position, offset, unit, count, true});
        position += count;
        ignoredBytes_ += stretch - static_cast<uint64_t>(count) * FrameSize(unit);
        offset = next;
    }
    length_ = position;
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

bool DVFileTape::IsDamaged(int64_t position) const {
    const Run* run = RunOf(position);
    return run != nullptr && run->damaged;
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
    if (run == nullptr || run->damaged || destination == nullptr) return 0;
    const size_t size = FrameSize(run->standard);
    if (capacity < size) return 0;
    std::memcpy(destination, map_ + OffsetOf(position), size);
    return size;
}

bool DVFileTape::TimecodeAt(int64_t position, TapeTimecode* timecode) const {
    // Straight from the mapping: a search over a long tape reads only the subcode.
    const Run* run = RunOf(position);
    if (run == nullptr || run->damaged) return false;
    return ReadSubcodeTimecode(map_ + OffsetOf(position), run->standard, timecode);
}

int64_t DVFileTape::TracksBefore(int64_t position) const {
    // One track per DIF sequence.
    return static_cast<int64_t>(OffsetOf(std::min(position, length_)) / kDifSequenceBytes);
}

bool DVFileTape::WriteBack(const std::vector<int64_t>& overwrite, int64_t appendEnd, const FrameSource& source,
                           std::string* error) {
    if (!file_->Writable()) {
        if (error != nullptr) *error = Path() + " is read-only: the cassette is write-protected";
        return false;
    }
    for (const int64_t p : overwrite) {
        if (p < 0 || p >= length_ || source.sizeAt(p) != FrameSize(StandardAt(p))) {
            if (error != nullptr) *error = "a recording at position " + std::to_string(p) + " does not fit " + Path();
            return false;
        }
    }
    uint64_t appendBytes = 0;
    for (int64_t p = length_; p < appendEnd; ++p) appendBytes += source.sizeAt(p);

    // On any failure the file is cut back to its old length; the recordings stay with
    // the cassette, so a later write-back can still deliver them. Room is the one thing
    // that runs out in practice, and it is settled before the material is touched; an
    // I/O error while frames are replaced in place leaves some replaced and the rest as
    // they were, as a tape pulled out mid-recording would, until the next write-back.
    const uint64_t oldSize = size_;
    std::vector<uint8_t> frame(FrameSize(DIO_PAL));
    const auto put = [&](int64_t p, uint64_t offset) {
        const size_t size = source.read(p, frame.data(), frame.size());
        if (size == 0) {
            if (error != nullptr) *error = "the recording at position " + std::to_string(p) + " cannot be read back";
            return size_t{0};
        }
        return file_->WriteAt(offset, frame.data(), size, error) ? size : size_t{0};
    };
    const auto fail = [&] {
        file_->Truncate(oldSize);
        return false;
    };
    if (appendBytes > 0) {
        if (!file_->Reserve(oldSize + appendBytes, error)) return false;
        uint64_t at = oldSize;
        for (int64_t p = length_; p < appendEnd; ++p) {
            const size_t size = put(p, at);
            if (size == 0) return fail();
            at += size;
        }
        if (!file_->Sync(error)) return fail();
    }
    // Frames of the material last: replaced in place, same size, so they need no room.
    for (const int64_t p : overwrite)
        if (put(p, OffsetOf(p)) == 0) return fail();
    if (!file_->Sync(error)) return fail();

    Unmap();
    if (!Map(error)) return false;
    Index();
    return true;
}

}  // namespace cardsim
