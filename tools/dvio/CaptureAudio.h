// Writes the captured audio that belongs to the captured frames, and no more: each
// frame written to the .dv file adds its own sample count (from its audio source
// pack) to what the WAV series is owed, in the frame's layout (rate and channels).
// A change of layout starts the next WAV file of the series at that frame.
#pragma once

#include "AudioTake.h"
#include "DvFrameFacts.h"
#include "WavSeries.h"

#include <cstdint>
#include <deque>
#include <string>

class CaptureAudio {
public:
    CaptureAudio(AudioTake* take, WavSeries* wav) : take_(take), wav_(wav) {}

    // A frame went into the .dv file.
    void AddFrame(int64_t index, const DvFrameFacts& facts, const std::string& timecode);
    // Writes what the rings have of the audio owed. False with a sentence when a file
    // cannot be written.
    bool Pump(std::string* error);
    // Samples per channel still owed (the rings have not delivered them yet).
    int64_t Owed() const;
    int64_t Written() const { return written_; }

private:
    struct Segment {
        int sampleRate;
        int channels;
        int64_t firstFrame;
        std::string firstTimecode;
        int64_t owed;     // samples per channel the frames carry
        int64_t written;  // of them, written
    };

    AudioTake* take_;
    WavSeries* wav_;
    std::deque<Segment> segments_;
    int64_t written_ = 0;
    std::vector<int16_t> buffer_;
};
