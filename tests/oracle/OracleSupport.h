// What the tests that judge DV files by FFmpeg share: finding the tools, a scratch
// folder, files of bytes and PCM, DV files FFmpeg writes and the PCM it extracts.
#pragma once

#include "digitalio/DIOTypes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace oracle {

// ffmpeg and ffprobe are on PATH.
bool ToolsAvailable();
// The environment variable CI is "true": a missing tool is then a failure.
bool InCi();

// A private folder under the system's temporary directory, removed with its files.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Runs a shell command; its standard error is returned through `errors` (when given)
// and the result is the command's exit status.
int Run(const std::string& command, std::string* errors = nullptr);
// Standard output of a command, with trailing white space removed.
std::string Output(const std::string& command);
// ffprobe's `entries` of a file, one "key=value" line each.
std::string Probe(const std::string& path, const std::string& entries);

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// 16-bit little-endian samples.
std::vector<int16_t> Pcm(const std::vector<uint8_t>& bytes);
std::vector<int16_t> ReadPcm(const std::string& path);

// The frames of a DV file, each sized by its own header.
std::vector<std::vector<uint8_t>> SplitFrames(const std::vector<uint8_t>& file);

// Deterministic pseudo-random samples over the whole 16-bit range.
std::vector<int16_t> Noise(size_t count, uint32_t seed);

// Writes a DV file of `standard` from FFmpeg's lavfi sources: `picture` (say "testsrc",
// its own options after "=", the standard adds size and rate), `sound` (an audio source);
// `options` follow the target and override it. True when FFmpeg exited cleanly; what
// it said is in *errors.
bool FfmpegDv(const std::string& path, DIO_VideoFormat standard, const std::string& picture, const std::string& sound,
              const std::string& options, std::string* errors);
// The interleaved stereo PCM FFmpeg extracts from audio stream `stream` of a DV file.
std::vector<int16_t> FfmpegPcm(const std::string& dv, int stream = 0, std::string* errors = nullptr);

// Same samples, or failures naming the first few that differ.
void ExpectSamePcm(const std::vector<int16_t>& ours, const std::vector<int16_t>& theirs);

}  // namespace oracle

// Skips the test when FFmpeg is missing on a developer's machine; fails it in CI.
#define REQUIRE_FFMPEG()                                                              \
    do {                                                                              \
        if (!oracle::ToolsAvailable()) {                                              \
            if (oracle::InCi()) FAIL() << "ffmpeg and ffprobe must be on PATH in CI"; \
            GTEST_SKIP() << "ffmpeg or ffprobe not on PATH";                          \
        }                                                                             \
    } while (0)
