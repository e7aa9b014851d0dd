// Writes the captured audio that belongs to the frames written to the .dv file, and no
// more, sample for sample.
//
// The device delivers, per frame it hands to VideoIn, that frame's samples to every
// AudioIn ring, with one exception: the first frame after the streams start may carry
// a different number of samples, because the device silences a frame it takes as a
// repeat of the timecode before it, and at a start timecode the first frame repeats the
// start itself. How many samples it delivered for that frame is learnt from the
// device's running count of frames and samples (SetFirstFrameSamples). Every frame
// written adds its own sample count (from its audio source pack) in its own layout;
// a change of layout starts the next WAV file of the series at that frame.
#pragma once

#include "AudioTake.h"
#include "DvFrameFacts.h"
#include "WavSeries.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class CaptureAudio {
public:
    CaptureAudio(AudioTake* take, WavSeries* wav) : take_(take), wav_(wav) {}

    // A frame the device delivered, in order. `written`: it went into the .dv file
    // (`index` is its place there); otherwise its samples are taken and dropped.
    void AddFrame(const DvFrameFacts& facts, bool written, int64_t index, const std::string& timecode);
    // The samples the device delivered for its first frame; until this is known no
    // audio is written.
    void SetFirstFrameSamples(int64_t samples);
    bool FirstFrameKnown() const { return firstKnown_; }
    // The first frame is known to carry the device's silence whatever its count (it
    // carries the start timecode itself).
    void ExpectFirstFrameSilenced() { expectSilence_ = true; }
    // The sample counts of the frames the device delivered so far, in order.
    const std::vector<uint32_t>& FrameSamples() const { return frameSamples_; }

    // Writes what the rings hold of the audio owed. False with a sentence when a
    // file cannot be written.
    bool Pump(std::string* error);
    // Samples per channel the written frames carry that are not in the WAV yet.
    int64_t Owed() const;
    // The first frame was written and the device had silenced it.
    bool FirstFrameSilenced() const { return firstSilenced_; }

private:
    struct Entry {
        int64_t consume;   // samples to take from the rings (-1: not known yet)
        int64_t consumed;
        bool written;
        bool silence;      // write zeros instead of what the rings hold
        int sampleRate;
        int channels;
        int64_t write;     // samples to write
        int64_t wrote;
        int64_t index;
        std::string timecode;
    };

    AudioTake* take_;
    WavSeries* wav_;
    std::deque<Entry> entries_;
    std::vector<uint32_t> frameSamples_;
    bool firstKnown_ = false;
    bool firstSilenced_ = false;
    bool expectSilence_ = false;
    std::vector<int16_t> buffer_;
};
