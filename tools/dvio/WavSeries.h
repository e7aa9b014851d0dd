// Interleaved 16-bit WAV files that never mislabel their audio: when the sample rate
// or the channel count changes, the series closes its file and goes on in a new one
// numbered after the first (OUT.wav, OUT-2.wav, OUT-3.wav, ...). A file's header is
// valid from the moment it is opened and its sizes are brought up to date at least
// once a second, so that a process killed mid-write leaves a readable file. A series
// with an empty first path writes nothing.
#pragma once

#include "WavFile.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class WavSeries {
public:
    struct File {
        std::string path;
        int sampleRate = 0;
        int channels = 0;
        int64_t firstFrame = 0;   // index of the first DV frame whose audio it holds
        std::string firstTimecode;
        int64_t samples = 0;      // per channel
    };

    explicit WavSeries(std::string firstPath);
    ~WavSeries();
    WavSeries(const WavSeries&) = delete;
    WavSeries& operator=(const WavSeries&) = delete;

    // Opens the first file now, before its layout is known, so that a file that
    // cannot be written is found before anything else happens. False with a sentence.
    bool Reserve(std::string* error);
    // Makes sure the open file has this layout: nothing to do when it has; otherwise
    // closes it and opens the next file of the series. False with a sentence.
    bool Use(int sampleRate, int channels, int64_t firstFrame, const std::string& firstTimecode,
             std::string* error);
    // `frames` sample frames of the open file's channel count.
    bool Write(const int16_t* interleaved, int64_t frames, std::string* error);
    // From the frame `firstFrame` on, the audio goes to `firstPath` (and its numbered
    // follow-ons): WAV files that follow a capture's video files. A series that follows
    // video files writes nothing before the first of them.
    void FollowFrom(int64_t firstFrame, const std::string& firstPath);
    // Closes the open file (its header then holds the final length).
    bool Close(std::string* error);

    const std::vector<File>& Files() const { return files_; }
    bool IsOpen() const { return file_.IsOpen(); }

    // The path of file number n (1 is the first path itself).
    static std::string NumberedPath(const std::string& firstPath, int n);

private:
    bool Discards() const { return firstPath_.empty() && !follows_; }
    struct Segment {
        int64_t firstFrame;
        std::string firstPath;
    };

    std::string firstPath_;
    WavFile file_;
    std::FILE* reserved_ = nullptr;  // the first file, opened by Reserve
    std::chrono::steady_clock::time_point headerWritten_;
    std::vector<File> files_;
    bool follows_ = false;
    std::deque<Segment> segments_;  // video files still to come
    size_t segmentStart_ = 0;       // the first of files_ written to the current one
};
