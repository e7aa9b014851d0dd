// Seeking the tape to a timecode.
#include "CDV1394.h"

DDCError_t CDV1394::DeviceSeekToTimecode(timecode_t) {  // Not built yet: answers failure.
    return DDC_CommandNotImplemented;
}
