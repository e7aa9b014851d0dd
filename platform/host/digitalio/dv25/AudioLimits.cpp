#include "digitalio/dv25/AudioLimits.h"

#include "digitalio/dv25/DifLayout.h"

namespace dv25 {

SampleRange SampleRangeOf(DIO_VideoFormat standard, DIO_AudioFormat rate) {
    // Minimum and maximum samples per frame and channel; the maxima are the capacity
    // of the mode the rate is recorded in.
    if (standard == DIO_NTSC) {
        switch (rate) {
        case DIO_Audio48000: return {1580, 1620};
        case DIO_Audio44100: return {1452, 1489};
        case DIO_Audio32000: return {1053, 1080};
        default: break;
        }
    } else if (standard == DIO_PAL) {
        switch (rate) {
        case DIO_Audio48000: return {1896, 1944};
        case DIO_Audio44100: return {1742, 1786};
        case DIO_Audio32000: return {1264, 1296};
        default: break;
        }
    }
    return {0, 0};
}

uint32_t CapacityOf(DIO_VideoFormat standard, Quantization quantization) {
    const uint32_t perBlock = quantization == Quantization::NonLinear12 ? 24 : 36;
    return perBlock * kAudioBlocksPerSequence * static_cast<uint32_t>(SequencesPerHalf(standard));
}

int SmpCodeOf(DIO_AudioFormat rate) {
    switch (rate) {
    case DIO_Audio48000: return 0;
    case DIO_Audio44100: return 1;
    case DIO_Audio32000: return 2;
    default: return -1;
    }
}

DIO_AudioFormat RateOfSmpCode(int smp) {
    switch (smp) {
    case 0: return DIO_Audio48000;
    case 1: return DIO_Audio44100;
    case 2: return DIO_Audio32000;
    default: return DIO_NoAudioFormat;
    }
}

}  // namespace dv25
