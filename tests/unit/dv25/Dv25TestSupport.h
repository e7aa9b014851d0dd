// Helpers the DV25 tests share: rings of 16-bit samples over owned memory, frames of
// each standard.
#pragma once

#include "digitalio/DIOFifo.h"
#include "digitalio/DIOTypes.h"
#include "hostcore/BitMask.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

namespace dv25test {

// A DIOFifo over its own buffer.
class SampleRing {
public:
    explicit SampleRing(unsigned bytes);
    DIOFifo* fifo() { return &fifo_; }
    void Push(const std::vector<int16_t>& samples);
    // Takes every queued sample.
    std::vector<int16_t> PopAll();

private:
    std::vector<unsigned char> memory_;
    DIOFifo fifo_;
};

// Rings for DV channels 0..count-1, and the pointer array the library takes (128
// slots, as the plug-in passes, null where no ring exists).
class RingSet {
public:
    RingSet(int count, unsigned bytesEach);
    DIOFifo** array() { return pointers_.data(); }
    SampleRing& operator[](int channel) { return *rings_[channel]; }

private:
    std::vector<std::unique_ptr<SampleRing>> rings_;
    std::vector<DIOFifo*> pointers_;
};

struct FrameBuffer {
    std::unique_ptr<unsigned char[]> bytes;
    unsigned char* data() { return bytes.get(); }
};

// A black frame from the library (144000 bytes, whatever the standard).
FrameBuffer BlackFrame(DIO_VideoFormat standard);

// Deterministic pseudo-random samples covering the whole 16-bit range.
std::vector<int16_t> NoiseSamples(size_t count, uint32_t seed);

BitMask MaskOf(std::initializer_list<int> channels, int bits);
std::vector<unsigned char> Bytes(const unsigned char* p, size_t n);

}  // namespace dv25test
