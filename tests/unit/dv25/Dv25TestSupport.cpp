#include "Dv25TestSupport.h"

#include "digitalio/DVFrame.h"

#include <cstring>

namespace dv25test {

SampleRing::SampleRing(unsigned bytes) : memory_(bytes) {
    fifo_.InitializeFifo(memory_.data(), bytes, 0, 0, false, false, "TestRing", false);
}

void SampleRing::Push(const std::vector<int16_t>& samples) {
    std::vector<unsigned char> bytes(samples.size() * 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        const uint16_t v = static_cast<uint16_t>(samples[i]);
        bytes[2 * i] = static_cast<unsigned char>(v);
        bytes[2 * i + 1] = static_cast<unsigned char>(v >> 8);
    }
    fifo_.WriteBytesInto(bytes.data(), static_cast<ULONG>(bytes.size()), false);
}

std::vector<int16_t> SampleRing::PopAll() {
    const ULONG depth = fifo_.GetQDepthWithoutGap();
    std::vector<unsigned char> bytes(depth);
    if (depth > 0) fifo_.CopyBytesFrom(bytes.data(), depth);
    std::vector<int16_t> samples(depth / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
    }
    return samples;
}

RingSet::RingSet(int count, unsigned bytesEach) : pointers_(128, nullptr) {
    for (int i = 0; i < count; ++i) {
        rings_.push_back(std::make_unique<SampleRing>(bytesEach));
        pointers_[i] = rings_.back()->fifo();
    }
}

FrameBuffer BlackFrame(DIO_VideoFormat standard) {
    DVFrame generator;
    return FrameBuffer{std::unique_ptr<unsigned char[]>(generator.GenBlackFrame(standard))};
}

std::vector<int16_t> NoiseSamples(size_t count, uint32_t seed) {
    std::vector<int16_t> out(count);
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < count; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        out[i] = static_cast<int16_t>(x >> 7);
    }
    return out;
}

BitMask MaskOf(std::initializer_list<int> channels, int bits) {
    BitMask mask(bits);
    for (int c : channels) mask.SetBit(c, 1);
    return mask;
}

std::vector<unsigned char> Bytes(const unsigned char* p, size_t n) { return std::vector<unsigned char>(p, p + n); }

}  // namespace dv25test
