// Audio samples per DV frame along the locked-audio cadence, so that any run of
// frames carries exactly the samples of its duration.
#pragma once

#include "digitalio/DIOTypes.h"

class USampsInFrame {
public:
    USampsInFrame(DIO_AudioFormat audio, DIO_VideoFormat video);

    // Samples in frame n of the sequence; frame 1 is the first and n = 0 answers
    // frame 1's count. 0 for an unknown format.
    ULONG GetSampsForFrameNum(ULONG n) const;

private:
    DIO_AudioFormat audio_;
    DIO_VideoFormat video_;
};
