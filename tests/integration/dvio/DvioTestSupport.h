// What the dvio tests share beyond the FFmpeg helpers: running dvio as a user does
// (with its arguments, in a process of its own), WAV files, and tapes FFmpeg records.
#pragma once

#include "OracleSupport.h"

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dviotest {

using Scratch = oracle::ScratchDir;
using oracle::ReadBytes;
using oracle::WriteBytes;

struct Result {
    int exitCode = -1;  // 128 + signal when a signal ended it
    std::string out;
    std::string err;
};

// What a run of dvio is given beyond its arguments.
struct Surroundings {
    std::string stdoutPath;      // standard output goes here (e.g. /dev/full) instead of Result::out
    int64_t fileSizeLimit = -1;  // the largest file dvio may write (a disk that fills up)
};

// Runs dvio with `args` in `folder` and waits for it.
Result RunDvio(const std::vector<std::string>& args, const std::string& folder,
               const Surroundings& surroundings = Surroundings());

// A dvio running in the background.
class DvioProcess {
public:
    DvioProcess(const std::vector<std::string>& args, const std::string& folder,
                const Surroundings& surroundings = Surroundings());
    ~DvioProcess();
    DvioProcess(const DvioProcess&) = delete;
    DvioProcess& operator=(const DvioProcess&) = delete;
    void Signal(int signal);
    // Sends `signal` once `ready` holds (polled; at most a minute) or dvio has ended.
    void SignalWhen(const std::function<bool()>& ready, int signal);
    Result Wait();
    bool Running();

private:
    pid_t pid_ = -1;
    std::string outFile_, errFile_;
    Result result_;
    bool done_ = false;
};

int64_t FileSize(const std::string& path);

// The samples of a 16-bit PCM WAV file as written, interleaved; none for any other file.
std::vector<int16_t> WavSamples(const std::string& path, int* rate = nullptr, int* channels = nullptr);

// An FFmpeg-made DV tape: a moving test picture, a tone per channel, and timecode from
// `start`. False (with FFmpeg's complaint in *error) when FFmpeg refused.
bool MakeFfmpegTape(const std::string& path, DIO_VideoFormat standard, int sampleRate, double seconds,
                    const std::string& start, std::string* error);
// Frames [first, first + count) of a DV file's bytes, frames being `frameSize` bytes.
std::vector<uint8_t> Frames(const std::vector<uint8_t>& tape, size_t frameSize, int64_t first, int64_t count);
// The files `parts` of `dir` one after the other, written to `name` there; its bytes.
std::vector<uint8_t> Splice(const Scratch& dir, const std::vector<std::string>& parts, const std::string& name);
// The stereo PCM FFmpeg extracts from `bytes` as a DV file.
std::vector<int16_t> FfmpegPcmOf(const std::vector<uint8_t>& bytes);

std::vector<std::string> Lines(const std::string& text);
bool Contains(const std::string& text, const std::string& part);
// Each of `parts` occurs in `text`.
void ExpectContains(const std::string& text, const std::vector<std::string>& parts);
// ffprobe reads the file without complaint.
bool ProbeAccepts(const std::string& path);

}  // namespace dviotest
