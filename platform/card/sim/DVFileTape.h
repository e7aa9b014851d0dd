// A raw .dv file as tape material: the file is mapped, not read, so an hour of tape
// costs no memory; frames of both standards may follow each other. Opening walks the
// frame headers once (a few bytes per frame) to learn where each frame starts.
//
// Bytes that are not a frame where one should start are a damaged stretch: it holds
// as many positions as whole frames of the neighbouring standard fit in it, which the
// deck cannot read, until the next frame start. A trailing piece shorter than a frame
// holds none. Nothing of either is ever rewritten: recording replaces only the frames
// it recorded (WriteBack).
#pragma once

#include "sim/CassetteFile.h"
#include "sim/TapeMaterial.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cardsim {

class DVFileTape : public TapeMaterial {
public:
    // Null, with the reason in *error, when the file cannot be opened, mapped or
    // locked, is not DV, or is empty without being marked as a blank cassette.
    static std::unique_ptr<DVFileTape> Open(const std::string& path, std::string* error);
    ~DVFileTape() override;
    DVFileTape(const DVFileTape&) = delete;
    DVFileTape& operator=(const DVFileTape&) = delete;

    int64_t Length() const override { return length_; }
    DIO_VideoFormat StandardAt(int64_t position) const override;
    DIO_VideoFormat TrailingStandard() const override;
    size_t ReadFrame(int64_t position, uint8_t* destination, size_t capacity) const override;
    bool TimecodeAt(int64_t position, TapeTimecode* timecode) const override;
    int64_t TracksBefore(int64_t position) const override;

    const std::string& Path() const { return file_->Path(); }
    bool Writable() const { return file_->Writable(); }
    bool IsDamaged(int64_t position) const;
    // Bytes that belong to no position: the pieces of damaged stretches and the trailing
    // piece too short for a frame (0 for a clean file).
    uint64_t IgnoredBytes() const { return ignoredBytes_; }

    // Frames to write: a position's size, and its bytes into `destination`.
    struct FrameSource {
        std::function<size_t(int64_t position)> sizeAt;
        std::function<size_t(int64_t position, uint8_t* destination, size_t capacity)> read;
    };
    // Puts recordings into the file: each of `overwrite` (positions of the material,
    // frames of the size the material has there) in place, and positions Length() ..
    // appendEnd - 1 after the file's last byte. The room for the appended frames is
    // reserved and they are written before any frame of the material is touched, so a
    // full disk or a size limit leaves the file as it was. Afterwards the material is
    // the file as it now is.
    bool WriteBack(const std::vector<int64_t>& overwrite, int64_t appendEnd, const FrameSource& source,
                   std::string* error);

private:
    // Consecutive frames of one standard, or a damaged stretch counted in frames of it.
    struct Run {
        int64_t firstPosition;
        uint64_t firstOffset;
        DIO_VideoFormat standard;
        int64_t count;
        bool damaged;
    };
    DVFileTape() = default;
    bool Map(std::string* error);
    void Unmap();
    void Index();
    const Run* RunOf(int64_t position) const;
    uint64_t OffsetOf(int64_t position) const;

    std::unique_ptr<CassetteFile> file_;
    const uint8_t* map_ = nullptr;
    uint64_t size_ = 0;
    int64_t length_ = 0;
    uint64_t ignoredBytes_ = 0;
    std::vector<Run> runs_;
};

}  // namespace cardsim
