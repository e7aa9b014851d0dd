// Adapter and node queries of the host interface.
#include "CDV1394.h"

LONG CDV1394::GetNumberHostAdapters() {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::GetHostAdapterName(LONG, char*) {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::GetHostAdapterFormat() {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::GetHostAdapterAttributes() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::HasAVDevice(LONG, LONG) {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::HasAVWritableDevice(LONG, LONG) {  // Not built yet: answers failure.
    return 0;
}

void CDV1394::SetToCurrentAVDevice(LONG, LONG) {}  // Not built yet: does nothing.

LONG CDV1394::GetMaxNodes() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::SetControlNode(int) {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::GetControlNode(int*) {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::SetIONode(int) {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::GetIONode(int*) {  // Not built yet: answers failure.
    return 0;
}
