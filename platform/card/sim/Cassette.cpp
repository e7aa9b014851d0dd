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

// What is left of a tape whose file could not be read again: nothing but blank tape.
class NoMaterial : public TapeMaterial {
public:
    explicit NoMaterial(DIO_VideoFormat standard) : standard_(standard) {}
    int64_t Length() const override { return 0; }
    DIO_VideoFormat StandardAt(int64_t) const override { return standard_; }
    DIO_VideoFormat TrailingStandard() const override { return standard_; }
    size_t ReadFrame(int64_t, uint8_t*, size_t) const override { return 0; }
    int64_t TracksBefore(int64_t) const override { return 0; }

private:
    DIO_VideoFormat standard_;
};
}  // namespace

Cassette::Cassette(std::unique_ptr<TapeMaterial> material, int64_t blankTail, std::string filePath)
    : material_(std::move(material)), blankTail_(std::max<int64_t>(blankTail, 0)), filePath_(std::move(filePath)) {}

bool Cassette::IsBlank(int64_t position) const {
    if (position < 0 || position >= Length()) return true;
    if (recorded_.Has(position)) return false;
    return position >= material_->Length();
}

DIO_VideoFormat Cassette::StandardAt(int64_t position) const {
    if (recorded_.Has(position)) return recorded_.StandardAt(position);
    if (position >= 0 && position < material_->Length()) return material_->StandardAt(position);
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
    return WritePartial(temporary, first, end, fillBlank, written, error) && Commit(temporary, path, error);
}

bool Cassette::WritePartial(const std::string& temporary, int64_t first, int64_t end, bool fillBlank,
                            int64_t* written, std::string* error) const {
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
    if (!ok) {
        if (error != nullptr) *error = "cannot write " + temporary + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    if (written != nullptr) *written = count;
    return true;
}

bool Cassette::Commit(const std::string& temporary, const std::string& path, std::string* error) {
    std::string reason;
    if (ReplaceWith(temporary, path, &reason)) return true;
    if (error != nullptr) *error = "cannot write " + path + ": " + reason;
    std::remove(temporary.c_str());
    return false;
}

bool Cassette::WriteBack(std::string* error) {
    if (!IsFileBacked() || recorded_.Empty()) return true;
    const int64_t oldLength = Length();
    const std::string temporary = filePath_ + ".partial";
    if (!WritePartial(temporary, 0, RecordedEnd(), true, nullptr, error)) return false;
    // The material maps the old file, and Windows replaces no mapped file: let go of it
    // first. Then read the file again, new or (when the replace failed) old.
    const DIO_VideoFormat standard = StandardAt(0);
    material_.reset();
    const bool committed = Commit(temporary, filePath_, error);
    std::string reopenError;
    std::unique_ptr<DVFileTape> reopened = DVFileTape::Open(filePath_, &reopenError);
    if (!reopened) {
        // The file went away under us: the cassette is blank tape of its old length.
        material_ = std::make_unique<NoMaterial>(standard);
        blankTail_ = oldLength;
        recorded_.Clear();
        if (error != nullptr && committed) *error = reopenError;
        return false;
    }
    material_ = std::move(reopened);
    if (!committed) return false;
    recorded_.Clear();
    blankTail_ = std::max<int64_t>(oldLength - material_->Length(), 0);
    return true;
}

bool Cassette::SaveRange(const std::string& path, int64_t first, int64_t count, int64_t* written,
                         std::string* error) const {
    const int64_t begin = std::clamp<int64_t>(first, 0, Length());
    const int64_t end = count < 0 ? Length() : std::clamp<int64_t>(begin + count, begin, Length());
    return WriteFramesTo(path, begin, end, false, written, error);
}

}  // namespace cardsim
