#include "sim/Cassette.h"

#include "digitalio/DVFrame.h"
#include "sim/DVFileTape.h"
#include "sim/DVFrameLayout.h"
#include "sim/HostFiles.h"
#include "sim/SubcodeTimecode.h"
#include "sim/TapeLabel.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace cardsim {

namespace {
constexpr int64_t kGuessWindow = 64;
}

Cassette::Cassette(std::unique_ptr<TapeMaterial> material, int64_t blankTail)
    : material_(std::move(material)), blankTail_(std::max<int64_t>(blankTail, 0)) {}

Cassette::Cassette(std::unique_ptr<DVFileTape> file, int64_t blankTail)
    : file_(file.get()), blankTail_(std::max<int64_t>(blankTail, 0)) {
    material_ = std::move(file);
}

const std::string& Cassette::FilePath() const {
    static const std::string none;
    return file_ != nullptr ? file_->Path() : none;
}

bool Cassette::WriteProtected() const { return writeProtected || (file_ != nullptr && !file_->Writable()); }

bool Cassette::IsBlank(int64_t position) const {
    if (position < 0 || position >= Length()) return true;
    if (recorded_.Has(position)) return false;
    return position >= material_->Length();
}

DIO_VideoFormat Cassette::StandardAt(int64_t position) const {
    if (recorded_.Has(position)) return recorded_.StandardAt(position);
    if (position >= 0 && position < material_->Length()) return material_->StandardAt(position);
    // A blank cassette is formatted by what is first recorded on it.
    if (material_->Length() == 0 && !recorded_.Empty()) return recorded_.StandardAt(recorded_.Begin());
    return material_->TrailingStandard();
}

size_t Cassette::ReadStoredFrame(int64_t position, uint8_t* destination, size_t capacity) const {
    if (destination == nullptr || IsBlank(position)) return 0;
    if (recorded_.Has(position)) return recorded_.Read(position, destination, capacity);
    return material_->ReadFrame(position, destination, capacity);
}

size_t Cassette::ReadFrame(int64_t position, uint8_t* destination, size_t capacity) const {
    if (destination == nullptr || IsBlank(position)) return 0;
    const size_t size = ReadStoredFrame(position, destination, capacity);
    if (size == 0 || faults_ == nullptr || !faults_->AffectsTape()) return size;
    const DIO_VideoFormat standard = FrameStandard(destination, size);
    if (faults_->SubcodeMissingAt(position)) {
        ClearSubcodePacks(destination, standard);
    } else if (const LONG shift = faults_->TimecodeShiftAt(position)) {
        TapeTimecode tc;
        if (ReadSubcodeTimecode(destination, standard, &tc))
            RewriteSubcodeTimecode(destination, standard, ShiftLabel(tc, standard, shift));
    }
    return size;
}

bool Cassette::TimecodeAt(int64_t position, TapeTimecode* timecode) const {
    if (IsBlank(position)) return false;
    if (faults_ != nullptr && faults_->SubcodeMissingAt(position)) return false;
    TapeTimecode tc;
    const bool found =
        recorded_.Has(position) ? recorded_.TimecodeAt(position, &tc) : material_->TimecodeAt(position, &tc);
    if (!found) return false;
    const LONG shift = faults_ != nullptr ? faults_->TimecodeShiftAt(position) : 0;
    *timecode = shift != 0 ? ShiftLabel(tc, StandardAt(position), shift) : tc;
    return true;
}

int64_t Cassette::FindTimecode(const TapeTimecode& label) const {
    auto shows = [&](int64_t p) {
        TapeTimecode tc;
        return p >= 0 && p < Length() && TimecodeAt(p, &tc) && tc == label;
    };
    // A deck winds to where the timecode should be and reads around it; only a tape
    // with breaks needs the whole search.
    const int64_t guess = material_->GuessPosition(label);
    if (guess >= 0) {
        for (int64_t d = 0; d <= kGuessWindow; ++d) {
            if (shows(guess + d)) return guess + d;
            if (d != 0 && shows(guess - d)) return guess - d;
        }
    }
    for (int64_t p = 0; p < Length(); ++p)
        if (shows(p)) return p;
    return -1;
}

int64_t Cassette::TrackOf(int64_t position) const {
    const int64_t materialLength = material_->Length();
    if (position <= materialLength) return material_->TracksBefore(std::max<int64_t>(position, 0));
    return material_->TracksBefore(materialLength) +
           (position - materialLength) * SequencesPerFrame(material_->TrailingStandard());
}

int64_t Cassette::PositionOfTrack(int64_t track) const {
    if (track < 0 || track >= TrackOf(Length())) return -1;
    // Track numbers rise with the position: find the last position starting at or
    // before the track.
    int64_t low = 0;
    int64_t high = Length() - 1;
    while (low < high) {
        const int64_t mid = low + (high - low + 1) / 2;
        if (TrackOf(mid) <= track) low = mid;
        else high = mid - 1;
    }
    return low;
}

bool Cassette::WriteFrame(int64_t position, const uint8_t* frame, size_t available) {
    if (position < 0 || position >= Length() || frame == nullptr) return false;
    const DIO_VideoFormat standard = FrameStandard(frame, available);
    const size_t size = FrameSize(standard);
    if (size == 0 || available < size) return false;
    if (position < material_->Length() && material_->StandardAt(position) != standard) return false;
    return recorded_.Put(position, frame, size, standard);
}

int64_t Cassette::RecordedEnd() const {
    int64_t end = material_->Length();
    if (!recorded_.Empty()) end = std::max(end, recorded_.End());
    return end;
}

bool Cassette::WriteFramesTo(const std::string& path, int64_t first, int64_t end, bool fillBlank,
                             int64_t* written, std::string* error) const {
    // Written beside the target and renamed over it, so a crash leaves either the old
    // file or the new one, never half of one.
    const std::string temporary = path + ".partial";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        if (error != nullptr) *error = "cannot create " + temporary + ": " + std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> frame(FrameSize(DIO_PAL));
    int64_t count = 0;
    bool ok = true;
    for (int64_t p = first; p < end && ok; ++p) {
        size_t size = ReadStoredFrame(p, frame.data(), frame.size());
        if (size == 0) {
            if (!fillBlank) continue;
            // A file cannot hold blank tape: a blank stretch between recordings becomes
            // black frames of the standard the tape is formatted for there.
            DVFrame generator;
            const DIO_VideoFormat standard = StandardAt(p);
            std::unique_ptr<unsigned char[]> black(generator.GenBlackFrame(standard));
            size = FrameSize(standard);
            if (!black) { ok = false; break; }
            std::memcpy(frame.data(), black.get(), size);
        }
        if (std::fwrite(frame.data(), 1, size, file) != size) {
            ok = false;
            break;
        }
        ++count;
    }
    if (ok && !SyncToDisk(file)) ok = false;
    if (std::fclose(file) != 0) ok = false;
    std::string reason = std::strerror(errno);
    if (ok && !ReplaceWith(temporary, path, &reason)) ok = false;
    if (!ok) {
        if (error != nullptr) *error = "cannot write " + path + ": " + reason;
        std::remove(temporary.c_str());
        return false;
    }
    if (written != nullptr) *written = count;
    return true;
}

bool Cassette::WriteBack(std::string* error) {
    if (file_ == nullptr || recorded_.Empty()) return true;
    const int64_t oldLength = Length();
    const int64_t materialLength = file_->Length();
    std::vector<int64_t> overwrite = recorded_.Positions();
    const int64_t appendEnd = std::max(recorded_.End(), materialLength);
    overwrite.erase(std::lower_bound(overwrite.begin(), overwrite.end(), materialLength), overwrite.end());
    // A file cannot hold blank tape: a blank stretch before a recording past the
    // material becomes black frames of the standard the tape is formatted for there.
    DVFileTape::FrameSource source;
    source.sizeAt = [&](int64_t p) {
        return recorded_.Has(p) ? recorded_.SizeAt(p) : FrameSize(StandardAt(p));
    };
    source.read = [&](int64_t p, uint8_t* destination, size_t capacity) -> size_t {
        if (recorded_.Has(p)) return recorded_.Read(p, destination, capacity);
        const DIO_VideoFormat standard = StandardAt(p);
        DVFrame generator;
        std::unique_ptr<unsigned char[]> black(generator.GenBlackFrame(standard));
        const size_t size = FrameSize(standard);
        if (!black || capacity < size) return 0;
        std::memcpy(destination, black.get(), size);
        return size;
    };
    if (!file_->WriteBack(overwrite, appendEnd, source, error)) return false;
    recorded_.Clear();
    blankTail_ = std::max<int64_t>(oldLength - file_->Length(), 0);
    return true;
}

bool Cassette::SaveRange(const std::string& path, int64_t first, int64_t count, int64_t* written,
                         std::string* error) const {
    const int64_t begin = std::clamp<int64_t>(first, 0, Length());
    const int64_t end = count < 0 ? Length() : std::clamp<int64_t>(begin + count, begin, Length());
    return WriteFramesTo(path, begin, end, false, written, error);
}

}  // namespace cardsim
