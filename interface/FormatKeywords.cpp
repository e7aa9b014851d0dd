// The texts of the format keywords.
#include "interface/FormatKeywords.h"

#include <cstring>

namespace {

constexpr const char* kUnknown = "UNKNOWN";

struct VideoName {
    DIO_VideoFormat video;
    const char* text;
};
constexpr VideoName kVideoNames[] = {{DIO_NTSC, "NTSC"}, {DIO_PAL, "PAL"}};

struct RateName {
    DIO_AudioFormat audio;
    const char* text;
};
constexpr RateName kRateNames[] = {
    {DIO_Audio48000, "48000"}, {DIO_Audio44100, "44100"}, {DIO_Audio32000, "32000"}};

}  // namespace

const char* VideoSignalKeywordValue(DIO_VideoFormat video) {
    for (const VideoName& name : kVideoNames)
        if (name.video == video) return name.text;
    return kUnknown;
}

const char* SampleRateKeywordValue(DIO_AudioFormat audio) {
    for (const RateName& name : kRateNames)
        if (name.audio == audio) return name.text;
    return kUnknown;
}

const char* SampleSizeKeywordValue(DIO_AudioFormat audio) {
    return audio == DIO_Audio32000 ? "12" : "16";
}

DIO_VideoFormat VideoFormatFromKeywordValue(const char* value) {
    if (value == nullptr) return DIO_NoVideoFormat;
    for (const VideoName& name : kVideoNames)
        if (std::strcmp(value, name.text) == 0) return name.video;
    return DIO_NoVideoFormat;
}

DIO_AudioFormat AudioFormatFromKeywordValue(const char* value) {
    if (value == nullptr) return DIO_NoAudioFormat;
    for (const RateName& name : kRateNames)
        if (std::strcmp(value, name.text) == 0) return name.audio;
    return DIO_NoAudioFormat;
}
