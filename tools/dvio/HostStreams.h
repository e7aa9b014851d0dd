// The device's capture streams as a host drives them: VideoIn and AudioIn sized and
// negotiated, prepared, armed, started, taken from and ended, and the controls that
// count what went wrong.
#pragma once

#include "interface/DigitalDevice.h"

#include <string>

struct InputCounters {
    LONG videoOverruns = 0;  // control 0x70001
    LONG audioOverruns = 0;  // control 0xb10003
    LONG errors = 0;         // control 0xb00001 (every stream's error counter)
    bool startMissed = false;  // control 0xb10001
    TimecodeDiscontinuity discontinuity{};  // control 0xb10006: the latest break the device saw
};

class HostStreams {
public:
    static constexpr int kAudioChannels = 4;  // every channel a DV25 frame can carry
    static constexpr LONG kVideoRingFrames = 60;
    static constexpr LONG kAudioRingBytes = 1 << 20;  // per channel: over ten seconds at 48 kHz

    explicit HostStreams(DigitalDevice* device) : device_(device) {}
    // Ends the streams if they are still prepared.
    ~HostStreams();
    HostStreams(const HostStreams&) = delete;
    HostStreams& operator=(const HostStreams&) = delete;

    // Negotiates page and block sizes and sizes the rings for frames of `frameSize`.
    bool Configure(LONG frameSize, std::string* error);
    bool Prepare(std::string* error);
    // After Prepare (which clears it): the timecode at which delivery is to begin.
    bool SetStartTimecode(const timecode_t& start, std::string* error);
    bool Arm(std::string* error);
    bool Start(std::string* error);
    // Pauses what runs and terminates both streams; the capture thread ends with them.
    void End();

    InputCounters Counters() const;
    // The device's running count of the frames and samples (per channel) it delivered
    // to AudioIn, as of its last completed measurement (control 0xb10002); false when
    // none has completed yet.
    bool DeliveredAudio(LONG* frames, LONG* samples) const;
    // Whether the device received a frame from the card lately (control 0xb10005).
    bool SignalPresent() const;
    // The device's last error text (control 0xb00002).
    std::string DeviceError() const;

    DigitalDevice* Device() const { return device_; }

private:
    std::string Failure(const std::string& what) const;

    DigitalDevice* device_;
    bool prepared_ = false;
};
