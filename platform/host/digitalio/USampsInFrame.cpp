#include "digitalio/USampsInFrame.h"

#include <cstdint>

namespace {

// 525/60 runs at 30000/1001 frames per second, so a frame lasts rate * 1001 / 30000
// samples. Counting frame k as floor((k+1)*r) - floor(k*r) never drifts: any run of
// frames holds the samples of its duration, rounded down at its ends. The counts
// repeat after 15 frames at 32 kHz (16016 samples: four 1067, eleven 1068) and after
// 100 frames at 44.1 kHz (147147 samples: 1471 and 1472), so the frame number is
// reduced to that cycle first.
ULONG DriftFreeCount(uint64_t samplesPer30000Frames, uint64_t cycle, uint64_t k) {
    const uint64_t c = k % cycle;
    return static_cast<ULONG>(((c + 1) * samplesPer30000Frames) / 30000 - (c * samplesPer30000Frames) / 30000);
}

}  // namespace

USampsInFrame::USampsInFrame(DIO_AudioFormat audio, DIO_VideoFormat video) : audio_(audio), video_(video) {}

ULONG USampsInFrame::GetSampsForFrameNum(ULONG n) const {
    // Frame 1 is the first of the sequence; 0 is read as 1.
    const uint64_t k = n == 0 ? 0 : uint64_t{n} - 1;
    if (video_ == DIO_PAL) {
        switch (audio_) {
        case DIO_Audio48000: return 1920;
        case DIO_Audio44100: return 1764;
        case DIO_Audio32000: return 1280;
        default: return 0;
        }
    }
    if (video_ == DIO_NTSC) {
        switch (audio_) {
        // 8008 samples per five frames; the short frame opens the cycle.
        case DIO_Audio48000: return k % 5 == 0 ? 1600 : 1602;
        case DIO_Audio44100: return DriftFreeCount(44100ull * 1001, 100, k);
        case DIO_Audio32000: return DriftFreeCount(32000ull * 1001, 15, k);
        default: return 0;
        }
    }
    return 0;
}
