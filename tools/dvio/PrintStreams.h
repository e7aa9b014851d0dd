// The device's output streams as a host that prints drives them: VideoOut and the
// AudioOut rings sized and prepared, told how many frames will come, given frames and
// samples as the rings have room, armed, started and ended; and the controls that
// count what went wrong.
#pragma once

#include "PrintFeed.h"

#include "interface/DigitalDevice.h"

#include <string>

struct OutputCounters {
    LONG videoUnderruns = 0;  // control 0x20005, the underrun record's count
    LONG audioUnderruns = 0;  // control 0xb20001
    LONG errors = 0;          // control 0xb00001
};

class PrintStreams {
public:
    static constexpr LONG kVideoRingFrames = 90;
    static constexpr LONG kAudioRingBytes = 1 << 20;  // per channel: over ten seconds at 48 kHz
    static constexpr size_t kAudioGiveSamples = 4096;

    // Frames [0, frames) of `source`; either stream may be left out.
    PrintStreams(DigitalDevice* device, const PrintSource& source, int64_t frames, bool video, bool audio);
    // Terminates the streams if they are still prepared.
    ~PrintStreams();
    PrintStreams(const PrintStreams&) = delete;
    PrintStreams& operator=(const PrintStreams&) = delete;

    bool Prepare(std::string* error);
    // Gives what the rings have room for; false with a sentence when a give fails.
    bool Feed(std::string* error);
    bool Arm(std::string* error);
    bool Start(std::string* error);
    // Terminates both streams.
    void End();

    // Frames handed over to the card (the lead-in still not counted).
    LONG FramesPlayed() const;
    int64_t FramesGiven() const { return framesGiven_; }
    OutputCounters Counters() const;
    std::string DeviceError() const;

private:
    bool Step(unsigned char (DigitalDevice::*video)(), unsigned char (DigitalDevice::*audio)(), const char* what,
              std::string* error);

    DigitalDevice* device_;
    const PrintSource& source_;
    int64_t frames_;
    bool video_, audio_;
    bool prepared_ = false;
    int64_t framesGiven_ = 0;
    std::vector<size_t> samplesGiven_;  // per channel
};
