// One canonical WAV file of interleaved 16-bit PCM: a 44-byte header (RIFF, "fmt ",
// "data") and little-endian samples. The header's lengths are written when the file
// is closed; RIFF's 32-bit lengths limit the data to 4 GiB, which a write that would
// pass refuses instead of producing a file that lies about its length.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class WavFile {
public:
    WavFile() = default;
    ~WavFile();
    WavFile(const WavFile&) = delete;
    WavFile& operator=(const WavFile&) = delete;

    // Creates (or replaces) `path`. False with a sentence in *error.
    bool Open(const std::string& path, int sampleRate, int channels, std::string* error);
    // The same on a file already opened for writing at its start; takes it over.
    bool OpenOn(std::FILE* file, const std::string& path, int sampleRate, int channels, std::string* error);
    // Writes the header's lengths as they are now, so that the file is valid if the
    // process ends before Close.
    bool UpdateHeader();
    // `frames` sample frames of the file's channel count.
    bool Write(const int16_t* interleaved, int64_t frames, std::string* error);
    // Writes the final lengths and closes. True when no file is open.
    bool Close(std::string* error);
    bool IsOpen() const { return file_ != nullptr; }

private:
    bool WriteHeader(uint32_t dataBytes);

    std::FILE* file_ = nullptr;
    std::string path_;
    int sampleRate_ = 0;
    int channels_ = 0;
    uint64_t dataBytes_ = 0;
    bool failed_ = false;
};
