// Numbered device controls the host reads and sets.
#include "CDV1394.h"

unsigned char CDV1394::HasControl(LONG) {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::GetControl(LONG, void*) {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::GetControlRange(LONG, void*, void*) {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::GetControlDefault(LONG, void*) {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::GetControlSize(LONG) {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::SetControl(LONG, void*) {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::CanSetControl(LONG) {  // Not built yet: answers failure.
    return 0;
}
