// The VideoConfidence stream: a second view of the captured frames for monitoring.
#include "CDV1394.h"
#include "capture/DV1394VideoInput.h"

LONG CDV1394::GetVideoConfidenceRingBufferSize() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::SetVideoConfidenceRingBufferSize(LONG) {  // Not built yet: answers failure.
    return 0;
}

ULONG CDV1394::GetVideoConfidenceRingBufferWritePosition() {  // Not built yet: answers failure.
    return 0;
}

ULONG CDV1394::GetVideoConfidenceRingBufferReadPosition() {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::NegotiateVideoConfidencePageSize(LONG) {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::NegotiateVideoConfidenceBlockSize(LONG) {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::ReqVideoConfidenceTakePtr(LONG, void**, DIOFormat**) {  // Not built yet: answers failure.
    return 0;
}

void CDV1394::AckVideoConfidenceTakePtr(LONG) {}  // Not built yet: does nothing.

unsigned char CDV1394::PrepareVideoConfidence() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::ArmVideoConfidence() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::StartVideoConfidence() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::PauseVideoConfidence() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::AbortVideoConfidence() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::TerminateVideoConfidence() {  // Not built yet: answers failure.
    return 0;
}

VDMDeviceState CDV1394::VideoConfidenceGetState() {
    return m_pVideoConfidence != nullptr ? m_pVideoConfidence->GetState() : VDMIdle;
}

unsigned char CDV1394::VideoConfidenceAwaitState(VDMDeviceState, LONG) {  // Not built yet: answers failure.
    return 0;
}
