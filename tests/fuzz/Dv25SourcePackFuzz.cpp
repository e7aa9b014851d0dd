// Fuzz target: reading the audio format of an arbitrary frame.
#include "FuzzFrameInput.h"

#include "digitalio/DV25audioDeshuffler.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    dv25fuzz::FuzzFrame frame = dv25fuzz::FrameFromInput(data, size);
    DIO_AudioFormat rate = DIO_NoAudioFormat;
    DIO_VideoFormat video = DIO_NoVideoFormat;
    if (DV25audioDeshuffler().GetRateAndSampsFromASPak(frame.bytes.get(), &rate, &video) == 0) {
        // A readable pack always names a real format.
        if (rate < DIO_Audio48000 || rate > DIO_Audio32000 || video < DIO_NTSC || video > DIO_PAL) std::abort();
    }
    return 0;
}
