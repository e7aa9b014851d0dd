// Takes captured audio out of the device's AudioIn rings, one ring per channel, and
// keeps it per channel until it is written. The channels receive the same number of
// samples per frame, so they are read in step.
#pragma once

#include "interface/DigitalDevice.h"

#include <cstdint>
#include <vector>

class AudioTake {
public:
    AudioTake(DigitalDevice* device, int channels);

    // Moves everything the rings hold now into the per-channel stores.
    void Pump();
    // Samples every channel has ready.
    int64_t Available() const;
    // Removes `count` samples from every channel and appends the first `channels` of
    // them, interleaved, to *out. `count` must not exceed Available().
    void Pop(int64_t count, int channels, std::vector<int16_t>* out);
    // Format records seen on channel 0 (the others carry the same).
    int64_t FormatRecords() const { return formatRecords_; }
    int64_t ProtocolErrors() const { return protocolErrors_; }

private:
    struct Channel {
        std::vector<int16_t> samples;
        size_t read = 0;          // index of the first sample not yet popped
        bool oddByte = false;     // a take ended inside a sample
        uint8_t pendingByte = 0;
        const DIOFormat* lastRecord = nullptr;
    };

    DigitalDevice* device_;
    std::vector<Channel> channels_;
    int64_t formatRecords_ = 0;
    int64_t protocolErrors_ = 0;
};
