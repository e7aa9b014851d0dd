// Tapes for the capture tests and what a host should receive from them: frames
// generated with the DV25 library (test pattern, audio of our choosing, timecode of our
// choosing) written to a .dv file the simulated deck plays, and the per-channel PCM
// the DV25 library deshuffles from given frames.
#pragma once

#include "digitalio/DIOTypes.h"
#include "hostcore/BitMask.h"
#include "hostcore/Timecode.h"

#include "OracleSupport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace capture_test {

using Frame = std::vector<uint8_t>;

// `count` frames with running timecode from `firstFrameCount`.
std::vector<Frame> MakeRun(DIO_VideoFormat standard, DIO_AudioFormat audio, int channels, int count,
                           LONG firstFrameCount, uint32_t seed);

// A .dv file in a scratch folder of its own, removed when the object goes.
class TapeFile {
public:
    std::string Path() const { return dir_.File("tape.dv"); }
    // Writes the frames and loads the file into the deck, stopped at position 0.
    bool Load(const std::vector<Frame>& frames);

private:
    oracle::ScratchDir dir_;
};

// The frame the deck plays at `position` (sized by its own header).
Frame TapeFrame(int64_t position);
// Positions first, first + 1, ..., `count` of them.
std::vector<int64_t> Span(int64_t first, int64_t count);
// The frames the deck plays at `positions`, one after the other.
std::vector<uint8_t> TapeBytes(const std::vector<int64_t>& positions);
// The DV25 library's black frame of `standard`: its sound is silence.
Frame BlackFrame(DIO_VideoFormat standard);

// The samples the DV25 library deshuffles from `frames` for the channels of `mask`
// (one vector per selected channel, in channel order).
std::vector<std::vector<int16_t>> Deshuffled(const std::vector<Frame>& frames, const BitMask& mask);
// The same for the frames the deck plays at `positions`.
std::vector<std::vector<int16_t>> TapeAudio(const std::vector<int64_t>& positions, const BitMask& mask);

// Index of the first element where `got` and `want` differ (their common length when
// one is a prefix of the other), for messages that point at the first difference.
template <typename T>
size_t FirstDifference(const std::vector<T>& got, const std::vector<T>& want) {
    size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i]) ++i;
    return i;
}

}  // namespace capture_test
