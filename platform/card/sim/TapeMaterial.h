// What a cassette was loaded with: a run of DV frames at positions 0 .. Length()-1.
// The cassette (Cassette.h) adds blank tape after it, recordings over it and the
// tape's injected faults. Called only under the world's lock.
#pragma once

#include "digitalio/DIOTypes.h"
#include "sim/SimTypes.h"

#include <cstddef>
#include <cstdint>

namespace cardsim {

class TapeMaterial {
public:
    virtual ~TapeMaterial() = default;

    virtual int64_t Length() const = 0;
    // The standard of the frame at `position` (< Length()).
    virtual DIO_VideoFormat StandardAt(int64_t position) const = 0;
    // The standard blank tape after the material is formatted for.
    virtual DIO_VideoFormat TrailingStandard() const = 0;
    // Copies the frame at `position` into `destination`; answers its size, or 0 when
    // the position is outside or `capacity` is too small.
    virtual size_t ReadFrame(int64_t position, uint8_t* destination, size_t capacity) const = 0;
    // The timecode recorded at `position`; the default reads the frame's subcode.
    virtual bool TimecodeAt(int64_t position, TapeTimecode* timecode) const;
    // Where `label` would be if the timecode ran on without a break; -1 when unknown.
    virtual int64_t GuessPosition(const TapeTimecode& label) const;
    // Tracks (DIF sequences) on the tape before `position` (<= Length()).
    virtual int64_t TracksBefore(int64_t position) const = 0;
};

}  // namespace cardsim
