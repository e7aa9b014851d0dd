// Reads a WAV file of 16-bit PCM whole: its rate, channel count and interleaved
// samples. Other encodings are refused with a sentence that names what the file holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct WavContents {
    int sampleRate = 0;
    int channels = 0;
    std::vector<int16_t> interleaved;  // whole sample frames only
};

// False with a sentence in *error when the file cannot be read or is not 16-bit PCM.
bool ReadWavFile(const std::string& path, WavContents* contents, std::string* error);
