// The format a device starts with.
#include "default_format.h"

#include <new>

DIOFormat* CreateDefaultFormat() {
    // Capacity 3 is what hosts pass; DIOFormat takes the fourth keyword anyway.
    DIOFormat* format = new (std::nothrow) DIOFormat(3);
    if (format == nullptr) return nullptr;
    format->SetKeywordParameter(kKeywordVideoSignal, "NTSC");
    format->SetKeywordParameter(kKeywordVideoCompression, "DV25");
    format->SetKeywordParameter(kKeywordAudioSampleRate, "48000");
    format->SetKeywordParameter(kKeywordAudioSampleSize, "16");
    format->SetFormatChange(false);
    format->SetFormatChangeBreak(false);
    return format;
}
