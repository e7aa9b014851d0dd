#include "VideoTake.h"

#include "InterfaceValueText.h"

#include "digitalio/DIOTypes.h"

#include <algorithm>
#include <cstring>

std::string FormatValue(const DIOFormat& format, const char* key) {
    char value[DIOFormat::kMaxValueLength + 1] = {};
    if (!format.GetKeywordParameter(FourCC(key), value)) return "";
    return value;
}

VideoTake::VideoTake(DigitalDevice* device, size_t frameSize)
    : device_(device), frameSize_(frameSize), assembly_(kDVFrameSizePAL, 0) {}

bool VideoTake::IsNewRecord(const DIOFormat* format) const {
    if (format == nullptr) return false;
    if (format != lastRecord_ || !current_) return true;
    return FormatValue(*format, "VSIG") != FormatValue(*current_, "VSIG") ||
           FormatValue(*format, "ASRT") != FormatValue(*current_, "ASRT");
}

int VideoTake::Pump(const FrameHandler& onFrame, const FormatHandler& onFormat) {
    int frames = 0;
    // Bounded, so that the audio gets its turn while a long backlog drains.
    for (int round = 0; round < 4 * kFramesPerPump && frames < kFramesPerPump; ++round) {
        void* data = nullptr;
        DIOFormat* format = nullptr;
        const LONG wanted = static_cast<LONG>(frameSize_ - filled_);
        const LONG got = device_->ReqVideoInTakePtr(wanted, &data, &format);
        const bool newRecord = IsNewRecord(format);
        if (newRecord) {
            lastRecord_ = format;
            current_ = std::make_unique<DIOFormat>(*format);
            onFormat(*current_);
        }
        if (got < 0 || got > wanted) {
            ++protocolErrors_;
            break;
        }
        if (got == 0 || data == nullptr) {
            // At a change the device answers no bytes and the new format: ask again.
            if (newRecord) continue;
            break;
        }
        std::memcpy(assembly_.data() + filled_, data, static_cast<size_t>(got));
        if (filled_ + static_cast<size_t>(got) < frameSize_) {
            // The ring's end cut the frame: the rest comes from its start.
            filled_ += static_cast<size_t>(got);
            device_->AckVideoInTakePtr(got);
            continue;
        }
        if (!onFrame(assembly_.data(), frameSize_)) {
            stopped_ = true;
            return frames;
        }
        device_->AckVideoInTakePtr(got);
        filled_ = 0;
        ++frames;
    }
    return frames;
}
