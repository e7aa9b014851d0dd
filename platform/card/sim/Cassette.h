// The tape in the deck: its material (built-in or a .dv file), blank tape after it,
// the frames recorded over it, and the tape's injected faults (timecode breaks,
// missing subcode). Positions run from 0 to Length() - 1; a position holds a frame
// or is blank. A cassette loaded from a file is the user's tape: when asked (after each
// recording and at unload) the frames recorded are written into that file in place,
// and nothing else of it changes (DVFileTape::WriteBack). Called only under the world's
// lock.
#pragma once

#include "sim/DVFileTape.h"
#include "sim/Faults.h"
#include "sim/RecordedFrames.h"
#include "sim/TapeMaterial.h"

#include <memory>
#include <string>
#include <vector>

namespace cardsim {

class Cassette {
public:
    // `blankTail` positions of blank tape follow the material.
    Cassette(std::unique_ptr<TapeMaterial> material, int64_t blankTail);
    // A cassette that is the file `file` (written back to it).
    Cassette(std::unique_ptr<DVFileTape> file, int64_t blankTail);

    int64_t Length() const { return material_->Length() + blankTail_; }
    bool IsBlank(int64_t position) const;
    // The standard of the frame at `position`; for blank tape the standard it is
    // formatted for.
    DIO_VideoFormat StandardAt(int64_t position) const;

    // Copies the frame at `position`, with the tape's faults, into `destination`;
    // answers its size, or 0 for blank tape, a position outside, or too little room.
    size_t ReadFrame(int64_t position, uint8_t* destination, size_t capacity) const;
    // The frame as stored, without the tape's faults (0 for blank tape).
    size_t ReadStoredFrame(int64_t position, uint8_t* destination, size_t capacity) const;
    // The timecode the deck reads at `position` (false on blank tape or without subcode).
    bool TimecodeAt(int64_t position, TapeTimecode* timecode) const;
    // The first position, near where continuous timecode would put it, that shows
    // `label`; -1 when no frame of the tape shows it.
    int64_t FindTimecode(const TapeTimecode& label) const;

    // Absolute track number of `position` (tracks before it: 10 per 525/60 frame, 12
    // per 625/50 frame), and the position holding `track` (-1 beyond the tape).
    int64_t TrackOf(int64_t position) const;
    int64_t PositionOfTrack(int64_t track) const;

    // Records a frame (its size comes from its header) at `position`. False outside
    // the tape, for bytes that are not a DV frame, for a frame of the other standard
    // where the material is (the tape is formatted for its standard there), or when it
    // cannot be stored.
    bool WriteFrame(int64_t position, const uint8_t* frame, size_t available);

    // The write-protect tab; a file that cannot be written protects the cassette too.
    bool writeProtected = false;
    bool WriteProtected() const;
    void SetFaults(const Faults* faults) { faults_ = faults; }

    bool IsFileBacked() const { return file_ != nullptr; }
    const std::string& FilePath() const;
    bool HasUnsavedRecording() const { return !recorded_.Empty(); }
    // Writes the recordings into the file (no-op without unsaved recordings). On failure
    // the file is as it was and the recordings stay, for a later attempt.
    bool WriteBack(std::string* error);
    // Writes the frames of positions [first, first + count) that are not blank to a
    // .dv file (count < 0: to the end); *written receives how many.
    bool SaveRange(const std::string& path, int64_t first, int64_t count, int64_t* written,
                   std::string* error) const;

    const TapeMaterial& Material() const { return *material_; }

private:
    // The last position that holds a frame, plus one.
    int64_t RecordedEnd() const;
    bool WriteFramesTo(const std::string& path, int64_t first, int64_t end, bool fillBlank, int64_t* written,
                       std::string* error) const;

    std::unique_ptr<TapeMaterial> material_;
    DVFileTape* file_ = nullptr;  // the material, when it is a file
    int64_t blankTail_;
    RecordedFrames recorded_;
    const Faults* faults_ = nullptr;
};

}  // namespace cardsim
