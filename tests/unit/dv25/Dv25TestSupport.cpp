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

size_t SlotOffset(DIO_VideoFormat standard, int half, int slotBytes, int n) {
    const int h = standard == DIO_PAL ? 6 : 5;
    const int p = 9 * h;
    const int sequence = (n / 3 + 2 * (n % 3)) % h + half * h;
    const int block = 3 * (n % 3) + (n % p) / (p / 3);
    const int byte = 8 + slotBytes * (n / p);
    return static_cast<size_t>(sequence) * 12000 + 480 + 1280 * block + byte;
}

unsigned char* SourcePackOf(unsigned char* frame, int sequence) {
    const int block = sequence % 2 == 0 ? 3 : 0;
    return frame + static_cast<size_t>(sequence) * 12000 + 480 + 1280 * block + 3;
}

void SetSourcePacks(unsigned char* frame, DIO_VideoFormat standard, unsigned char pc1, unsigned char pc2first,
                    unsigned char pc2second, unsigned char pc4) {
    const int sequences = standard == DIO_PAL ? 12 : 10;
    for (int s = 0; s < sequences; ++s) {
        const unsigned char pack[5] = {0x50, pc1, s < sequences / 2 ? pc2first : pc2second,
                                       static_cast<unsigned char>(standard == DIO_PAL ? 0xE0 : 0xC0), pc4};
        std::memcpy(SourcePackOf(frame, s), pack, 5);
    }
}

void Put16(unsigned char* frame, DIO_VideoFormat standard, int channel, int n, uint16_t code) {
    unsigned char* p = frame + SlotOffset(standard, channel, 2, n);
    p[0] = static_cast<unsigned char>(code >> 8);
    p[1] = static_cast<unsigned char>(code);
}

int16_t Get16(const unsigned char* frame, DIO_VideoFormat standard, int channel, int n) {
    const unsigned char* p = frame + SlotOffset(standard, channel, 2, n);
    return static_cast<int16_t>(static_cast<uint16_t>((p[0] << 8) | p[1]));
}

void Put12(unsigned char* frame, DIO_VideoFormat standard, int channel, int n, uint16_t code) {
    unsigned char* p = frame + SlotOffset(standard, channel / 2, 3, n);
    if (channel % 2 == 0) {
        p[0] = static_cast<unsigned char>(code >> 4);
        p[2] = static_cast<unsigned char>((p[2] & 0x0F) | ((code & 0x0F) << 4));
    } else {
        p[1] = static_cast<unsigned char>(code >> 4);
        p[2] = static_cast<unsigned char>((p[2] & 0xF0) | (code & 0x0F));
    }
}

uint16_t Get12(const unsigned char* frame, DIO_VideoFormat standard, int channel, int n) {
    const unsigned char* p = frame + SlotOffset(standard, channel / 2, 3, n);
    return channel % 2 == 0 ? static_cast<uint16_t>((p[0] << 4) | (p[2] >> 4))
                            : static_cast<uint16_t>((p[1] << 4) | (p[2] & 0x0F));
}

BitMask MaskOf(std::initializer_list<int> channels, int bits) {
    BitMask mask(bits);
    for (int c : channels) mask.SetBit(c, 1);
    return mask;
}

std::vector<unsigned char> Bytes(const unsigned char* p, size_t n) { return std::vector<unsigned char>(p, p + n); }

}  // namespace dv25test
