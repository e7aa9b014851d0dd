// The format a device starts with: NTSC, DV25, 48000 Hz, 16-bit samples.
#pragma once

#include "digitalio/DIOFormat.h"

constexpr LONG kKeywordVideoSignal = MakeFourCC('V', 'S', 'I', 'G');
constexpr LONG kKeywordVideoCompression = MakeFourCC('V', 'C', 'M', 'P');
constexpr LONG kKeywordAudioSampleRate = MakeFourCC('A', 'S', 'R', 'T');
constexpr LONG kKeywordAudioSampleSize = MakeFourCC('A', 'S', 'S', 'Z');

// A new format object the caller owns, or null when it cannot be allocated.
DIOFormat* CreateDefaultFormat();
