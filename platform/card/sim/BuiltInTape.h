// The default cassette: a test pattern that changes from frame to frame, continuous
// timecode from the chosen start, a 1 kHz tone on channel 1 and a 500 Hz tone on
// channel 2, every frame generated on demand from its position with the host
// library, so a long tape costs no memory. An optional switch to the other standard
// part-way gives a tape that changes format.
#pragma once

#include "sim/TapeMaterial.h"

namespace cardsim {

class BuiltInTape : public TapeMaterial {
public:
    explicit BuiltInTape(const BuiltInTapeOptions& options);

    int64_t Length() const override { return options_.materialFrames; }
    DIO_VideoFormat StandardAt(int64_t position) const override;
    DIO_VideoFormat TrailingStandard() const override { return StandardAt(Length()); }
    size_t ReadFrame(int64_t position, uint8_t* destination, size_t capacity) const override;
    bool TimecodeAt(int64_t position, TapeTimecode* timecode) const override;
    int64_t GuessPosition(const TapeTimecode& label) const override;
    int64_t TracksBefore(int64_t position) const override;

    const BuiltInTapeOptions& Options() const { return options_; }

    // Tone frequencies and level of the two channels.
    static constexpr double kChannel1Hz = 1000.0;
    static constexpr double kChannel2Hz = 500.0;
    static constexpr double kToneAmplitude = 8192.0;  // -12 dBFS

private:
    bool InSecondPart(int64_t position) const;
    // Frame count of the timecode at `position` in its part's standard.
    LONG FrameCountAt(int64_t position) const;
    bool WriteTones(uint8_t* frame, DIO_VideoFormat standard, int64_t indexInPart) const;

    BuiltInTapeOptions options_;
    LONG secondPartFirstCount_ = 0;
};

// Samples of one channel before frame `index` (0-based) of a run in the standard's
// locked cadence.
int64_t SamplesBeforeFrame(DIO_AudioFormat audio, DIO_VideoFormat video, int64_t index);

}  // namespace cardsim
