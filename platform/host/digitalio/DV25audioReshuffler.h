// Writes PCM into the audio blocks of a DV25 frame, with its audio source and source
// control packs, for one audio format and video standard.
#pragma once

#include "digitalio/DIOFifo.h"
#include "digitalio/DIOTypes.h"
#include "hostcore/BitMask.h"

class DV25audioReshuffler {
public:
    DV25audioReshuffler(DIO_AudioFormat audio, DIO_VideoFormat video);
    ~DV25audioReshuffler();

    // Takes exactly the samples of frame `frameNumber` of the sample cadence (frame 1
    // is the first) from each selected channel's ring and writes them into the frame.
    // With no ring array it writes silence for the mask's channels. All or nothing:
    // non-zero, frame untouched and no ring advanced, when a selected channel lacks
    // the samples or an argument is missing.
    LONG ReShuffleAudio(unsigned char* frame, ULONG frameNumber, BitMask* mask, DIOFifo** channels);

    // Locked (default) or unlocked audio, as written into the packs.
    void SetIsAudioLocked(bool locked);
    bool IsAudioLocked() const;

private:
    DIO_AudioFormat audio_;
    DIO_VideoFormat video_;
    bool locked_ = true;
};
