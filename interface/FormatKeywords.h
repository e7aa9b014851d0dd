// The keywords and values a format description carries between host and device, and
// the one mapping between those texts and the video standards and sample rates.
#pragma once

#include "digitalio/DIOFormat.h"
#include "digitalio/DIOTypes.h"

constexpr LONG kKeywordVideoSignal = MakeFourCC('V', 'S', 'I', 'G');
constexpr LONG kKeywordVideoCompression = MakeFourCC('V', 'C', 'M', 'P');
constexpr LONG kKeywordAudioSampleRate = MakeFourCC('A', 'S', 'R', 'T');
constexpr LONG kKeywordAudioSampleSize = MakeFourCC('A', 'S', 'S', 'Z');

constexpr const char* kVideoCompressionDV25 = "DV25";

// "NTSC", "PAL", or "UNKNOWN" for anything else: a record never claims a standard the
// material does not have.
const char* VideoSignalKeywordValue(DIO_VideoFormat video);
// "48000", "44100", "32000", or "UNKNOWN".
const char* SampleRateKeywordValue(DIO_AudioFormat audio);
// "12" at 32 kHz (DV's four-channel mode), else "16".
const char* SampleSizeKeywordValue(DIO_AudioFormat audio);

// The standard or rate a keyword value names; none for any other text.
DIO_VideoFormat VideoFormatFromKeywordValue(const char* value);
DIO_AudioFormat AudioFormatFromKeywordValue(const char* value);
