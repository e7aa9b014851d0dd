// Takes captured DV frames out of the device's VideoIn ring with the take protocol:
// asks for bytes, acknowledges what it used, and notices each format record the
// device puts in its way (the device answers 0 bytes and the new format there).
#pragma once

#include "interface/DigitalDevice.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class VideoTake {
public:
    // Returns false to stop: the frame is not counted as used and no more are handed.
    using FrameHandler = std::function<bool(const uint8_t* frame, size_t size)>;
    using FormatHandler = std::function<void(const DIOFormat& format)>;

    // Frames handed out by one Pump at most.
    static constexpr int kFramesPerPump = 8;

    // Frames in the ring are `frameSize` bytes (the device's configured standard).
    VideoTake(DigitalDevice* device, size_t frameSize);

    // Hands out every whole frame the ring holds now, and every format record before
    // the frames it applies to. Returns the number of frames handed out; stops early
    // when a handler returns false (then Stopped() is true).
    int Pump(const FrameHandler& onFrame, const FormatHandler& onFormat);
    bool Stopped() const { return stopped_; }
    // The format of the frames handed out last (null before the first).
    const DIOFormat* Current() const { return current_.get(); }
    // Take requests the device answered with a negative or oversized count.
    int64_t ProtocolErrors() const { return protocolErrors_; }

private:
    bool IsNewRecord(const DIOFormat* format) const;

    DigitalDevice* device_;
    size_t frameSize_;
    // Assembles a frame that the ring hands out in two pieces (at its end); sized for
    // the larger standard, zero beyond what was written.
    std::vector<uint8_t> assembly_;
    size_t filled_ = 0;
    const DIOFormat* lastRecord_ = nullptr;
    std::unique_ptr<DIOFormat> current_;
    bool stopped_ = false;
    int64_t protocolErrors_ = 0;
};

// The text value of `key` ("VSIG", "ASRT", ...) in a format; "" when absent.
std::string FormatValue(const DIOFormat& format, const char* key);
