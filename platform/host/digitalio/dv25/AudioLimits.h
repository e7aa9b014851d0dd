// The audio a DV25 frame can hold, per video standard and sample rate: how few and
// how many samples per channel a frame may carry, and the codes of the source pack.
#pragma once

#include "digitalio/DIOTypes.h"

#include <cstdint>

namespace dv25 {

// Quantisation: 16-bit linear (two channels) or 12-bit non-linear (four channels,
// 32 kHz only).
enum class Quantization : uint8_t { Linear16 = 0, NonLinear12 = 1 };

struct SampleRange {
    uint32_t minimum;  // AF_SIZE counts up from here
    uint32_t maximum;
};

// {0, 0} for an unknown standard or rate.
SampleRange SampleRangeOf(DIO_VideoFormat standard, DIO_AudioFormat rate);

// Ring arrays hold one slot per channel number 0..127; a channel selected above that
// has no ring to name.
constexpr int kMaxChannelSlots = 128;

// The most samples one channel of any frame can hold (625/50, 16-bit).
constexpr uint32_t kMaxSamplesPerChannelAnyMode = 1944;

// SMP field of the source pack: 0 = 48 kHz, 1 = 44.1 kHz, 2 = 32 kHz.
int SmpCodeOf(DIO_AudioFormat rate);
DIO_AudioFormat RateOfSmpCode(int smp);

// Samples one channel of a half-frame block can hold in the mode (36 or 24 per block).
uint32_t CapacityOf(DIO_VideoFormat standard, Quantization quantization);

// Audio channels a mode carries: 2 for 16-bit, 4 for 12-bit.
inline int ChannelsOf(Quantization quantization) { return quantization == Quantization::NonLinear12 ? 4 : 2; }

// The mode this library writes for a rate: 12-bit four-channel at 32 kHz, else 16-bit.
inline Quantization WrittenQuantizationOf(DIO_AudioFormat rate) {
    return rate == DIO_Audio32000 ? Quantization::NonLinear12 : Quantization::Linear16;
}

}  // namespace dv25
