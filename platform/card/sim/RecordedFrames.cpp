#include "sim/RecordedFrames.h"

#include "sim/SubcodeTimecode.h"

#include <string>

namespace cardsim {

RecordedFrames::~RecordedFrames() { CloseFile(); }

void RecordedFrames::CloseFile() {
    file_.Close();
}

bool RecordedFrames::Put(int64_t position, const uint8_t* frame, size_t size, DIO_VideoFormat standard) {
    if (frame == nullptr || size == 0 || !file_.Open()) return false;
    Entry entry;
    entry.size = size;
    entry.standard = standard;
    entry.hasTimecode = ReadSubcodeTimecode(frame, standard, &entry.timecode);
    // A frame of the same size goes where the old one was; otherwise at the end.
    const auto old = index_.find(position);
    const bool inPlace = old != index_.end() && old->second.size == size;
    entry.offset = inPlace ? old->second.offset : fileEnd_;
    if (!file_.WriteAt(entry.offset, frame, size)) return false;
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
    if (it == index_.end() || destination == nullptr || capacity < it->second.size || !file_.IsOpen()) return 0;
    return file_.ReadAt(it->second.offset, destination, it->second.size) ? it->second.size : 0;
}

void RecordedFrames::Clear() {
    index_.clear();
    fileEnd_ = 0;
    // Closing the unnamed file gives its space back; the next recording opens another.
    CloseFile();
}

}  // namespace cardsim
