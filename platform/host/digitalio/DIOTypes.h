// Value types the host and its device plug-ins exchange about media formats.
#pragma once

#include "windows.h"

enum DIO_VideoFormat {
    DIO_NoVideoFormat = 0,
    DIO_NTSC = 1,
    DIO_PAL = 2,
};

enum DIO_AudioFormat {
    DIO_NoAudioFormat = 0,
    DIO_Audio48000 = 1,
    DIO_Audio44100 = 2,
    DIO_Audio32000 = 3,
};

// A timecode as read from a DV frame. A field the frame does not carry holds
// kTimeCodeFieldAbsent.
struct TimeCode {
    ULONG hours;
    ULONG minutes;
    ULONG seconds;
    ULONG frames;
};
static_assert(sizeof(TimeCode) == 16, "four 32-bit fields");

constexpr ULONG kTimeCodeFieldAbsent = 0xFFFFFFFFu;

// DV25 frame sizes: 10 (525/60) or 12 (625/50) DIF sequences of 150 blocks of 80 bytes.
constexpr ULONG kDVFrameSizeNTSC = 120000;
constexpr ULONG kDVFrameSizePAL = 144000;
