// What the dvio tests share: a scratch folder, running dvio as a user does (with its
// arguments, in a process of its own), and DV files from FFmpeg.
#pragma once

#include "digitalio/DIOTypes.h"

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace dviotest {

// A private folder, removed with its files.
class Scratch {
public:
    Scratch();
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

struct Result {
    int exitCode = -1;  // 128 + signal when a signal ended it
    std::string out;
    std::string err;
};

// The dvio this build made.
std::string DvioPath();

// Runs dvio with `args` in `folder` and waits for it.
Result RunDvio(const std::vector<std::string>& args, const std::string& folder);

// A dvio running in the background.
class DvioProcess {
public:
    DvioProcess(const std::vector<std::string>& args, const std::string& folder);
    ~DvioProcess();
    DvioProcess(const DvioProcess&) = delete;
    DvioProcess& operator=(const DvioProcess&) = delete;
    void Signal(int signal);
    Result Wait();
    bool Running();

private:
    pid_t pid_ = -1;
    std::string outFile_, errFile_;
    Result result_;
    bool done_ = false;
};

std::vector<uint8_t> ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
int64_t FileSize(const std::string& path);

// The PCM data of a 16-bit WAV file (its samples as written, interleaved).
std::vector<int16_t> WavSamples(const std::string& path, int* rate = nullptr, int* channels = nullptr);
std::vector<int16_t> ReadPcm(const std::string& path);

// An FFmpeg-made DV tape: a moving test picture, a tone per channel, and timecode from
// `start`. False (with FFmpeg's complaint in *error) when FFmpeg refused.
bool MakeFfmpegTape(const std::string& path, DIO_VideoFormat standard, int sampleRate, double seconds,
                    const std::string& start, std::string* error);
// The stereo PCM FFmpeg extracts from a DV file (its first audio stream).
std::vector<int16_t> FfmpegPcm(const std::string& dvPath, const std::string& scratchPcm);

// Lines of text.
std::vector<std::string> Lines(const std::string& text);
bool Contains(const std::string& text, const std::string& part);

}  // namespace dviotest

namespace dviotest {
// ffmpeg and ffprobe are on PATH.
bool FfmpegAvailable();
// CI=true: a missing FFmpeg fails the tests that need it instead of skipping them.
bool InCi();
}  // namespace dviotest

// Skips a test that needs FFmpeg on a machine without it; fails it in CI.
#define DVIO_REQUIRE_FFMPEG()                                                            \
    do {                                                                                  \
        if (!dviotest::FfmpegAvailable()) {                                               \
            if (dviotest::InCi()) FAIL() << "ffmpeg and ffprobe must be on PATH in CI";   \
            GTEST_SKIP() << "ffmpeg or ffprobe not on PATH";                              \
        }                                                                                 \
    } while (0)
