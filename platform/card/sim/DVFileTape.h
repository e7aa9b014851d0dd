// A raw .dv file as tape material: the file is mapped, not read, so an hour of tape
// costs no memory; frames of both standards may follow each other. Opening walks the
// frame headers once (a few bytes per frame) to learn where each frame starts; a
// trailing partial frame or bytes that are not a DIF header end the material there.
#pragma once

#include "sim/HostFiles.h"
#include "sim/TapeMaterial.h"

#include <memory>
#include <string>
#include <vector>

namespace cardsim {

class DVFileTape : public TapeMaterial {
public:
    // Null, with the reason in *error, when the file cannot be opened or mapped.
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

    const std::string& Path() const { return path_; }
    // Bytes after the last whole frame that were not understood (0 for a clean file).
    uint64_t IgnoredBytes() const { return ignoredBytes_; }

private:
    // Consecutive frames of one standard.
    struct Run {
        int64_t firstPosition;
        uint64_t firstOffset;
        DIO_VideoFormat standard;
        int64_t count;
    };
    DVFileTape() = default;
    bool Index(std::string* error);
    const Run* RunOf(int64_t position) const;
    uint64_t OffsetOf(int64_t position) const;

    std::string path_;
    MappedFile file_;
    const uint8_t* map_ = nullptr;
    uint64_t size_ = 0;
    int64_t length_ = 0;
    uint64_t ignoredBytes_ = 0;
    std::vector<Run> runs_;
};

}  // namespace cardsim
