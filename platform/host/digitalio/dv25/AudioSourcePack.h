// The AAUX source pack (0x50), which says the audio format of a frame, and the
// source control pack (0x51) written next to it.
//
// Source pack bytes after the type byte:
//   PC1: b7 LF (1 = unlocked), b6 = 1, b5-b0 AF_SIZE (samples - the rate's minimum)
//   PC2: b7 SM, b6-b5 CHN (0 one channel, 1 two channels per block), b4 PA,
//        b3-b0 audio mode (0xF = no audio in this block)
//   PC3: b7 = 1, b6 ML, b5 50/60 (1 = 625/50), b4-b0 STYPE (0 = 25 Mbit/s)
//   PC4: b7 EF, b6 TC, b5-b3 SMP (rate), b2-b0 QU (0 16-bit, 1 12-bit)
#pragma once

#include "digitalio/DIOTypes.h"
#include "digitalio/dv25/AudioLimits.h"

#include <cstdint>

namespace dv25 {

constexpr uint8_t kAudioSourcePackType = 0x50;
constexpr uint8_t kAudioSourceControlPackType = 0x51;
constexpr uint8_t kNoAudioInBlockMode = 0x0F;

struct AudioSource {
    DIO_VideoFormat standard;
    DIO_AudioFormat rate;
    Quantization quantization;
    uint32_t samples;  // per channel in this frame
    bool locked;
    uint8_t audioMode;  // of the block the pack describes
};

// Decodes a source pack; false when the pack is not one or describes something a
// DV25 frame cannot be (unknown rate, 12-bit outside 32 kHz, a sample count outside
// the rate's range, a 50 Mbit/s stream type).
bool ParseAudioSourcePack(const uint8_t* pack, AudioSource* out);

// The frame's audio format: the first sequence whose main-area source pack sits in a
// well-formed audio block and parses. The pack's 50/60 flag must agree with the
// standard the frame's header declares. False when there is none.
bool FindAudioSource(const uint8_t* frame, DIO_VideoFormat standard, AudioSource* out);

// Whether the second half of the frame (CH2, or CH3/CH4 in 12-bit) holds audio: false
// only when a source pack there says "no audio in this block".
bool SecondHalfCarriesAudio(const uint8_t* frame, DIO_VideoFormat standard);

// The packs this library writes for a frame of `samples` per channel; `secondHalf`
// selects the description of the second channel block.
void WriteAudioSourcePack(uint8_t* pack, DIO_VideoFormat standard, DIO_AudioFormat rate, Quantization quantization,
                          uint32_t samples, bool locked, bool secondHalf);
void WriteAudioSourceControlPack(uint8_t* pack);

}  // namespace dv25
