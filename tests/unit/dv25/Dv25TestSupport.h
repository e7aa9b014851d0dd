// Helpers the DV25 tests share: rings of 16-bit samples over owned memory, frames of
// each standard, and direct access to shuffled samples through the layout formulas
// written out independently of the library's tables.
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

// Frame offset of slot n of a channel block written out from the layout rules:
// half 0 or 1, 2-byte (16-bit) or 3-byte (12-bit) slots.
size_t SlotOffset(DIO_VideoFormat standard, int half, int slotBytes, int n);

// The AAUX source pack of sequence s (at its parity's main-area block).
unsigned char* SourcePackOf(unsigned char* frame, int sequence);
// Writes a source pack into every sequence: pc2 differs between the frame's halves.
void SetSourcePacks(unsigned char* frame, DIO_VideoFormat standard, unsigned char pc1, unsigned char pc2first,
                    unsigned char pc2second, unsigned char pc4);

// Sample n of a channel, by the layout formulas: 16-bit (channels 0..1, big-endian)
// and 12-bit codes (channels 0..3, two to a 3-byte slot).
void Put16(unsigned char* frame, DIO_VideoFormat standard, int channel, int n, uint16_t code);
int16_t Get16(const unsigned char* frame, DIO_VideoFormat standard, int channel, int n);
void Put12(unsigned char* frame, DIO_VideoFormat standard, int channel, int n, uint16_t code);
uint16_t Get12(const unsigned char* frame, DIO_VideoFormat standard, int channel, int n);

BitMask MaskOf(std::initializer_list<int> channels, int bits);
std::vector<unsigned char> Bytes(const unsigned char* p, size_t n);

}  // namespace dv25test
