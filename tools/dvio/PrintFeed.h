// What dvio print sends: every frame of a raw DV file, read and checked before the
// device or the deck is touched (so bad input leaves the cassette as it was), and the
// audio as an editing host hands it over: per-channel PCM, deshuffled from the DV
// file's own frames or read from a WAV file.
#pragma once

#include "digitalio/DIOTypes.h"

#include <cstdint>
#include <string>
#include <vector>

struct PrintSource {
    DIO_VideoFormat standard = DIO_NoVideoFormat;
    size_t frameSize = 0;
    std::vector<std::vector<uint8_t>> frames;
    // The audio: its rate, and one PCM stream per channel (2, or 4 at 32 kHz).
    DIO_AudioFormat audioRate = DIO_NoAudioFormat;
    std::vector<std::vector<int16_t>> channels;
    std::string audioFrom;  // the file the audio came from

    int64_t Frames() const { return static_cast<int64_t>(frames.size()); }
};

// Reads `dvPath` whole and the audio (from `wavPath`, or the DV file when it is empty;
// none when `wantAudio` is false). False with a sentence in *error for a file that is
// not DV, a truncated last frame, frames of mixed standards, or audio the format does
// not allow.
bool LoadPrintSource(const std::string& dvPath, const std::string& wavPath, bool wantAudio, PrintSource* source,
                     std::string* error);
