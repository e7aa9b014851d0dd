// The audio writer of a capture: takes the AudioIn rings, learns from the device's
// delivery count how many samples its first frame got, and writes to the WAV series
// exactly the samples of the frames written to the .dv file.
#pragma once

#include "AudioTake.h"
#include "CaptureAudio.h"
#include "DeliveryCount.h"
#include "HostStreams.h"
#include "WavSeries.h"

#include <chrono>
#include <string>
#include <vector>

class AudioWriter {
public:
    AudioWriter(HostStreams* streams, const std::string& wavPath);

    // A frame the device delivered, in order (see CaptureAudio::AddFrame).
    void AddFrame(const DvFrameFacts& facts, bool written, int64_t index, const std::string& timecode) {
        audio_.AddFrame(facts, written, index, timecode);
    }
    void ExpectFirstFrameSilenced() { audio_.ExpectFirstFrameSilenced(); }

    // Reads the delivery count and writes what the rings hold of the audio owed.
    // False with a sentence when a file cannot be written.
    bool Pump(std::string* error);
    // After the streams stop delivering: collects the audio still owed until
    // `deadline`, and puts what a user should know about the audio into *notes.
    // Returns the samples per channel that never arrived.
    int64_t Drain(std::chrono::steady_clock::time_point deadline, std::vector<std::string>* notes);
    // Forgets every frame and sample taken so far (the streams start again); the WAV
    // files stay.
    void Restart();
    // Opens the first WAV file before the capture begins.
    bool Reserve(std::string* error) { return wav_.Reserve(error); }
    bool Close(std::string* error) { return wav_.Close(error); }
    // The audio from frame `firstFrame` on goes to `wavPath` (see WavSeries::FollowFrom).
    void FollowVideoFile(int64_t firstFrame, const std::string& wavPath) { wav_.FollowFrom(firstFrame, wavPath); }
    const std::vector<WavSeries::File>& Files() const { return wav_.Files(); }

private:
    void ReadDeliveryCount();

    HostStreams* streams_;
    WavSeries wav_;
    AudioTake take_;
    CaptureAudio audio_;
    DeliveryCount delivery_;
};
