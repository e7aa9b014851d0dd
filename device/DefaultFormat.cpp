// The format a device starts with.
#include "device/DefaultFormat.h"

#include <new>

namespace dv1394 {

DIOFormat* CreateDefaultFormat() {
    // Capacity 3 is what hosts pass; DIOFormat takes the fourth keyword anyway.
    DIOFormat* format = new (std::nothrow) DIOFormat(3);
    if (format == nullptr) return nullptr;
    format->SetKeywordParameter(kKeywordVideoSignal, VideoSignalKeywordValue(DIO_NTSC));
    format->SetKeywordParameter(kKeywordVideoCompression, kVideoCompressionDV25);
    format->SetKeywordParameter(kKeywordAudioSampleRate, SampleRateKeywordValue(DIO_Audio48000));
    format->SetKeywordParameter(kKeywordAudioSampleSize, SampleSizeKeywordValue(DIO_Audio48000));
    format->SetFormatChange(false);
    format->SetFormatChangeBreak(false);
    return format;
}

}  // namespace dv1394
