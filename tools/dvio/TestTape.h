// Test tapes: the simulated deck's moving test pattern with a steady tone on every
// channel and continuous timecode, written as a raw DV file.
#pragma once

#include "digitalio/DIOTypes.h"
#include "digitalio/dv25/RecordingPacks.h"
#include "hostcore/Timecode.h"

#include <cstdint>
#include <string>
#include <vector>

struct TestTapeOptions {
    DIO_VideoFormat standard = DIO_NTSC;
    DIO_AudioFormat audio = DIO_Audio48000;
    int channels = 2;      // 2, or 4 at 32 kHz (12-bit)
    int64_t frames = 300;
    timecode_t start{};    // timecode of the first frame, with its description
    // A recorder's stamp: the first frame's wall-clock time, running on with the
    // frames; the first frame is marked as the start of a recording.
    bool stamped = false;
    dv25::RecordingDateTime recorded;
};

// Tone frequencies of channels 1 to 4 (the first two are the built-in tape's).
extern const double kTestToneHz[4];

// False with a sentence when the options cannot make a DV25 tape.
bool CheckTestTapeOptions(const TestTapeOptions& options, std::string* error);

// Frame `index` (0 is the first) of the tape into *frame. False when the host library
// refuses to build it.
bool BuildTestTapeFrame(const TestTapeOptions& options, int64_t index, std::vector<uint8_t>* frame);

// Writes the whole tape; false with a sentence.
bool WriteTestTape(const std::string& path, const TestTapeOptions& options, std::string* error);

// Frames in `seconds` of the standard (29.97 or 25 frames per second), rounded.
int64_t FramesInSeconds(DIO_VideoFormat standard, double seconds);
