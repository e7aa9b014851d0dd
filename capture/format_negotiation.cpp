// Taking a format from the host and re-dimensioning the device to it.
#include "CDV1394.h"

bool CDV1394::UpdateFormat(DIOFormat*, bool* videoChanged) {  // Not built yet: answers failure.
    if (videoChanged != nullptr) *videoChanged = false;
    return false;
}

bool CDV1394::UpdateFormats(DIOFormat*, DIOFormat*, bool* videoChanged) {  // Not built yet: answers failure.
    if (videoChanged != nullptr) *videoChanged = false;
    return false;
}
