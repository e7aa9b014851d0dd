// Reads the audio of a DV25 frame: its format (from the audio source pack) and its
// samples, unshuffled into one PCM ring per channel.
#pragma once

#include "digitalio/DIOFifo.h"
#include "digitalio/DIOTypes.h"
#include "hostcore/BitMask.h"

class DV25audioDeshuffler {
public:
    DV25audioDeshuffler();
    ~DV25audioDeshuffler();

    // 0 with both formats filled when the frame's audio source pack is readable;
    // non-zero otherwise (outputs then unspecified).
    LONG GetRateAndSampsFromASPak(unsigned char* frame, DIO_AudioFormat* audio, DIO_VideoFormat* video);

    // Writes each selected channel's samples of the frame, 16-bit little-endian PCM,
    // into channels[channel] and reports the samples per channel in *samples.
    // Channels 0 and 1 are the first stereo pair; 2 and 3 the second (32 kHz 12-bit).
    // A selected channel the frame does not carry receives zeros for the frame's count.
    // Non-zero, writing nothing, when the pack is missing or impossible, an argument is
    // null, or a selected channel's ring lacks room.
    LONG DeShuffleAudio(unsigned char* frame, BitMask* mask, DIOFifo** channels, ULONG* samples);
};
