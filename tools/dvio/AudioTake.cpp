#include "AudioTake.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr LONG kTakeBytes = 1 << 16;

}  // namespace

AudioTake::AudioTake(DigitalDevice* device, int channels) : device_(device), channels_(channels) {}

void AudioTake::Pump() {
    for (size_t c = 0; c < channels_.size(); ++c) {
        Channel& channel = channels_[c];
        const int index = static_cast<int>(c);
        // Bounded: the capture thread may keep adding while this runs.
        for (int round = 0; round < 64; ++round) {
            void* data = nullptr;
            DIOFormat* format = nullptr;
            const LONG got = device_->ReqAudioInTakePtr(kTakeBytes, &data, &format, index);
            const bool newRecord = format != nullptr && format != channel.lastRecord;
            if (newRecord) {
                channel.lastRecord = format;
                if (c == 0) ++formatRecords_;
            }
            if (got < 0 || got > kTakeBytes) {
                ++protocolErrors_;
                break;
            }
            if (got == 0 || data == nullptr) {
                if (newRecord) continue;  // the samples behind the change come next
                break;
            }
            // 16-bit little-endian samples; a piece may end inside one at the ring's end.
            const auto* bytes = static_cast<const uint8_t*>(data);
            size_t at = 0;
            if (channel.oddByte) {
                channel.samples.push_back(static_cast<int16_t>(channel.pendingByte | (bytes[0] << 8)));
                channel.oddByte = false;
                at = 1;
            }
            const size_t whole = (static_cast<size_t>(got) - at) / 2;
            const size_t first = channel.samples.size();
            channel.samples.resize(first + whole);
            for (size_t i = 0; i < whole; ++i) {
                const auto value = static_cast<uint16_t>(bytes[at + 2 * i] | (bytes[at + 2 * i + 1] << 8));
                channel.samples[first + i] = static_cast<int16_t>(value);
            }
            at += 2 * whole;
            if (at < static_cast<size_t>(got)) {
                channel.oddByte = true;
                channel.pendingByte = bytes[at];
            }
            device_->AckAudioInTakePtr(got, index);
        }
    }
}

int64_t AudioTake::Available() const {
    int64_t available = INT64_MAX;
    for (const Channel& channel : channels_)
        available = std::min<int64_t>(available, static_cast<int64_t>(channel.samples.size() - channel.read));
    return channels_.empty() ? 0 : available;
}

void AudioTake::Pop(int64_t count, int channels, std::vector<int16_t>* out) {
    count = std::max<int64_t>(0, std::min(count, Available()));
    channels = std::min(channels, static_cast<int>(channels_.size()));
    const size_t first = out->size();
    out->resize(first + static_cast<size_t>(count) * channels);
    for (size_t c = 0; c < channels_.size(); ++c) {
        Channel& channel = channels_[c];
        if (static_cast<int>(c) < channels) {
            for (int64_t n = 0; n < count; ++n)
                (*out)[first + static_cast<size_t>(n) * channels + c] = channel.samples[channel.read + n];
        }
        channel.read += static_cast<size_t>(count);
        // Drop what was read once it is the larger part of the store.
        if (channel.read > 65536 && channel.read * 2 > channel.samples.size()) {
            channel.samples.erase(channel.samples.begin(), channel.samples.begin() + static_cast<long>(channel.read));
            channel.read = 0;
        }
    }
}
