// Builds whole DV25 frames.
#pragma once

#include "digitalio/DIOTypes.h"

class DVFrame {
public:
    DVFrame();
    ~DVFrame();

    // One complete black frame of the standard (header, subcode, VAUX, silent audio
    // and black video all valid) in a new[] buffer of the frame's size. The caller owns
    // it and frees it with delete[]. Null for DIO_NoVideoFormat.
    unsigned char* GenBlackFrame(DIO_VideoFormat standard);

    // Like GenBlackFrame, with a picture that differs from frame to frame (colour bars
    // with a marker that moves with `frameNumber`), for test tapes and the simulated
    // deck. Audio silent, no timecode written. Null for DIO_NoVideoFormat.
    unsigned char* GenTestPatternFrame(DIO_VideoFormat standard, ULONG frameNumber);
};
