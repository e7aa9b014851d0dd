// The VideoIn stream: ring set-up, take protocol and life cycle.
#include "CDV1394.h"
#include "capture/DV1394VideoInput.h"

LONG CDV1394::GetVideoInRingBufferSize() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::SetVideoInRingBufferSize(LONG) {  // Not built yet: answers failure.
    return 0;
}

ULONG CDV1394::GetVideoInRingBufferWritePosition() {  // Not built yet: answers failure.
    return 0;
}

ULONG CDV1394::GetVideoInRingBufferReadPosition() {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::NegotiateVideoInPageSize(LONG) {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::NegotiateVideoInBlockSize(LONG) {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::ReqVideoInTakePtr(LONG, void**, DIOFormat**) {  // Not built yet: answers failure.
    return 0;
}

void CDV1394::AckVideoInTakePtr(LONG) {}  // Not built yet: does nothing.

unsigned char CDV1394::PrepareVideoIn() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::ArmVideoIn() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::StartVideoIn() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::PauseVideoIn() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::AbortVideoIn() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::TerminateVideoIn() {  // Not built yet: answers failure.
    return 0;
}

VDMDeviceState CDV1394::VideoInGetState() {
    return m_pVideoIn != nullptr ? m_pVideoIn->GetState() : VDMIdle;
}

unsigned char CDV1394::VideoInAwaitState(VDMDeviceState, LONG) {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::VideoInCurrentFrame() {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::VideoConCurrentFrame() {  // Not built yet: answers failure.
    return 0;
}

void CDV1394::VideoInSetCurrentFrame(LONG) {}  // Not built yet: does nothing.

LONG CDV1394::VideoInReadFrameIndex(ULONG*, ULONG) {  // Not built yet: answers failure.
    return 0;
}
