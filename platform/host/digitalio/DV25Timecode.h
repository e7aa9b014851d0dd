// Reads and writes the SMPTE timecode carried in a DV25 frame's subcode.
#pragma once

#include "digitalio/DIOTypes.h"
#include "hostcore/Timecode.h"

class DV25Timecode {
public:
    DV25Timecode();
    ~DV25Timecode();

    // True when the frame carries a timecode pack that is not all 0xFF. The fields are
    // kTimeCodeFieldAbsent when no copy is valid; *dropFrame is the pack's flag.
    bool GetTimecode(unsigned char* frame, TimeCode* record, bool* dropFrame);
    // True when a valid pack shows tc + k for some 0 <= k < max(n, 1); *tc becomes the
    // value found, with the pack's drop-frame flag.
    bool LookForTimeCode(unsigned char* frame, timecode_t* tc, int n);
    // Writes tc everywhere a reader may look. existingOnly false creates the packs
    // where missing; true only rewrites the packs already there.
    bool InsertTimecode(unsigned char* frame, timecode_t tc, DIO_VideoFormat standard, bool existingOnly);
};
