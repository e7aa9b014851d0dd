// Writes the whole audio area of a DV25 frame: every audio block's ID, its AAUX pack
// and its 72 bytes of shuffled samples, and the header's "audio valid" flags.
#pragma once

#include "digitalio/DIOTypes.h"
#include "digitalio/dv25/AudioLimits.h"

#include <cstdint>

namespace dv25 {

struct AudioFrameContent {
    DIO_VideoFormat standard;
    DIO_AudioFormat rate;
    Quantization quantization;
    uint32_t samples;  // per channel; at most the mode's capacity
    bool locked;
    // Samples of DV channels 0..3 (host order); null means silence. 16-bit frames use
    // channels 0 and 1 only.
    const int16_t* channels[4];
};

// Whether the content describes a frame that can be written (known standard and
// rate, a mode the rate allows, a sample count within the rate's range and capacity).
bool IsWritableAudio(const AudioFrameContent& content);

// False (frame untouched) when the content is not writable.
bool WriteAudioBlocks(uint8_t* frame, const AudioFrameContent& content);

}  // namespace dv25
