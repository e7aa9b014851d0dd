// The VideoOut stream: ring set-up, give protocol and life cycle.
#include "device/CDV1394.h"
#include "queues/DV1394VideoOutput.h"

LONG CDV1394::GetVideoOutRingBufferSize() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::SetVideoOutRingBufferSize(LONG) {  // Not built yet: answers failure.
    return 0;
}

ULONG CDV1394::GetVideoOutRingBufferWritePosition() {  // Not built yet: answers failure.
    return 0;
}

ULONG CDV1394::GetVideoOutRingBufferReadPosition() {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::NegotiateVideoOutPageSize(LONG) {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::NegotiateVideoOutBlockSize(LONG) {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::ReqVideoOutGivePtr(LONG, LONG, int, LONG, void**) {  // Not built yet: answers failure.
    return 0;
}

void CDV1394::AckVideoOutGivePtr(LONG, int) {}  // Not built yet: does nothing.

unsigned char CDV1394::PrepareVideoOut() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::ArmVideoOut() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::StartVideoOut() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::PauseVideoOut() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::AbortVideoOut() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::TerminateVideoOut() {  // Not built yet: answers failure.
    return 0;
}

void CDV1394::FlushVideoOut() {}  // Not built yet: does nothing.

VDMDeviceState CDV1394::VideoOutGetState() {
    return m_pVideoOut != nullptr ? m_pVideoOut->GetState() : VDMIdle;
}

unsigned char CDV1394::VideoOutAwaitState(VDMDeviceState, LONG) {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::VideoOutCurrentFrame() {  // Not built yet: answers failure.
    return 0;
}

void CDV1394::VideoOutSetCurrentFrame(LONG) {}  // Not built yet: does nothing.

unsigned char CDV1394::VideoOutFrameIndexRequired(int) {  // Not built yet: answers failure.
    return 0;
}

void CDV1394::VideoOutSetFrameIndex(LONG, ULONG*) {}  // Not built yet: does nothing.
