// Builds whole DV25 frames.
#pragma once

#include "digitalio/DIOTypes.h"

class DVFrame {
public:
    DVFrame();
    ~DVFrame();

    // One complete black frame of the standard (header, subcode with timecode
    // 00:00:00:00, VAUX, silent 48 kHz audio and black video all valid) in a new[]
    // buffer of at least the frame's size (144000 bytes for either standard, so a
    // reader that mistakes the standard stays inside it). The caller owns it and
    // frees it with delete[]. Null for DIO_NoVideoFormat.
    unsigned char* GenBlackFrame(DIO_VideoFormat standard);

    // Like GenBlackFrame, with a picture that differs from frame to frame (colour bars
    // with a marker that moves with `frameNumber`), for test tapes and the simulated
    // deck. Audio silent, no timecode written. Same buffer rules as GenBlackFrame.
    unsigned char* GenTestPatternFrame(DIO_VideoFormat standard, ULONG frameNumber);
};
