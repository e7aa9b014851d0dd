// The frames recorded over a cassette, kept in an unnamed temporary file rather than
// in memory: an hour printed to tape is some 13 GB of frames, while the index that
// stays in memory holds a few dozen bytes a frame. What the deck asks of a recorded
// position most (its standard, its timecode) is answered from the index.
#pragma once

#include "sim/HostFiles.h"
#include "sim/SimTypes.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace cardsim {

class RecordedFrames {
public:
    RecordedFrames() = default;
    ~RecordedFrames();
    RecordedFrames(const RecordedFrames&) = delete;
    RecordedFrames& operator=(const RecordedFrames&) = delete;

    // Stores `size` bytes of a DV frame of `standard` at `position`, replacing what was
    // recorded there. False when the frame cannot be stored (the file cannot be made
    // or written).
    bool Put(int64_t position, const uint8_t* frame, size_t size, DIO_VideoFormat standard);

    bool Has(int64_t position) const { return index_.count(position) != 0; }
    bool Empty() const { return index_.empty(); }
    // The first recorded position (0 when nothing is recorded).
    int64_t Begin() const { return index_.empty() ? 0 : index_.begin()->first; }
    // The last recorded position plus one (0 when nothing is recorded).
    int64_t End() const { return index_.empty() ? 0 : index_.rbegin()->first + 1; }

    // Recorded positions, in order.
    std::vector<int64_t> Positions() const;
    // The size of the frame recorded at `position` (0 when none).
    size_t SizeAt(int64_t position) const;
    // The standard of the frame recorded at `position` (DIO_NoVideoFormat when none).
    DIO_VideoFormat StandardAt(int64_t position) const;
    // The subcode timecode of the recorded frame; false when none or it has none.
    bool TimecodeAt(int64_t position, TapeTimecode* timecode) const;
    // Copies the recorded frame into `destination`: its size, or 0 when nothing is
    // recorded there, `capacity` is too small or the file cannot be read.
    size_t Read(int64_t position, uint8_t* destination, size_t capacity) const;

    // Forgets every recording and gives the file's space back.
    void Clear();

private:
    struct Entry {
        uint64_t offset = 0;
        size_t size = 0;
        DIO_VideoFormat standard = DIO_NoVideoFormat;
        bool hasTimecode = false;
        TapeTimecode timecode;
    };

    void CloseFile();

    ScratchFile file_;  // the unnamed file, once something was recorded
    uint64_t fileEnd_ = 0;
    std::map<int64_t, Entry> index_;
};

}  // namespace cardsim
