#include "digitalio/dv25/AudioSourcePack.h"

#include "digitalio/dv25/DifLayout.h"

namespace dv25 {

bool ParseAudioSourcePack(const uint8_t* pack, AudioSource* out) {
    if (pack[0] != kAudioSourcePackType) return false;
    const int stype = pack[3] & 0x1F;
    if (stype != 0) return false;  // only the two-block (25 Mbit/s) layout
    AudioSource a{};
    a.standard = (pack[3] & 0x20) != 0 ? DIO_PAL : DIO_NTSC;
    a.rate = RateOfSmpCode((pack[4] >> 3) & 0x07);
    if (a.rate == DIO_NoAudioFormat) return false;
    const int qu = pack[4] & 0x07;
    if (qu == 0) {
        a.quantization = Quantization::Linear16;
    } else if (qu == 1 && a.rate == DIO_Audio32000) {
        a.quantization = Quantization::NonLinear12;
    } else {
        return false;
    }
    const SampleRange range = SampleRangeOf(a.standard, a.rate);
    a.samples = range.minimum + (pack[1] & 0x3F);
    if (a.samples > range.maximum || a.samples > CapacityOf(a.standard, a.quantization)) return false;
    a.locked = (pack[1] & 0x80) == 0;
    a.audioMode = pack[2] & 0x0F;
    *out = a;
    return true;
}

namespace {

bool SourcePackOfSequence(const uint8_t* frame, int sequence, AudioSource* out) {
    const int k = AudioMainAreaBlock(sequence, 0);
    const uint8_t* block = frame + AudioBlockOffset(sequence, k);
    return HasBlockId(block, Section::Audio, sequence, k) && ParseAudioSourcePack(block + 3, out);
}

}  // namespace

bool FindAudioSource(const uint8_t* frame, DIO_VideoFormat standard, AudioSource* out) {
    const int sequences = SequencesIn(standard);
    for (int s = 0; s < sequences; ++s) {
        AudioSource a;
        if (!SourcePackOfSequence(frame, s, &a)) continue;
        if (a.standard != standard) return false;  // a frame that contradicts itself
        *out = a;
        return true;
    }
    return false;
}

bool SecondHalfCarriesAudio(const uint8_t* frame, DIO_VideoFormat standard) {
    const int sequences = SequencesIn(standard);
    for (int s = SequencesPerHalf(standard); s < sequences; ++s) {
        AudioSource a;
        if (SourcePackOfSequence(frame, s, &a)) return a.audioMode != kNoAudioInBlockMode;
    }
    return true;
}

void WriteAudioSourcePack(uint8_t* pack, DIO_VideoFormat standard, DIO_AudioFormat rate, Quantization quantization,
                          uint32_t samples, bool locked, bool secondHalf) {
    const SampleRange range = SampleRangeOf(standard, rate);
    const bool twelve = quantization == Quantization::NonLinear12;
    pack[0] = kAudioSourcePackType;
    pack[1] = static_cast<uint8_t>((locked ? 0x00 : 0x80) | 0x40 | ((samples - range.minimum) & 0x3F));
    // 16-bit: one channel per block, CH1 in the first half and CH2 in the second.
    // 12-bit: two independent channels per block (CH1/CH2, then CH3/CH4).
    pack[2] = twelve ? 0x30 : (secondHalf ? 0x01 : 0x00);
    pack[3] = static_cast<uint8_t>(0xC0 | (DsfOf(standard) << 5));
    // Emphasis off, 50/15 us time constant bit set as recorders do.
    pack[4] = static_cast<uint8_t>(0xC0 | (SmpCodeOf(rate) << 3) | (twelve ? 1 : 0));
}

void WriteAudioSourceControlPack(uint8_t* pack) {
    // Copy free, no input-source information, original recording (not a start or end
    // point), no insert channel, forward at normal speed, no genre.
    static const uint8_t kPack[5] = {kAudioSourceControlPackType, 0x3F, 0xCF, 0xA0, 0xFF};
    for (int i = 0; i < 5; ++i) pack[i] = kPack[i];
}

}  // namespace dv25
