// The AudioIn stream: per-channel rings, take protocol and life cycle.
#include "CDV1394.h"
#include "capture/DV1394AudioInput.h"

LONG CDV1394::GetAudioInRingBufferSize() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::SetAudioInRingBufferSize(LONG) {  // Not built yet: answers failure.
    return 0;
}

ULONG CDV1394::GetAudioInRingBufferWritePosition(int) {  // Not built yet: answers failure.
    return 0;
}

ULONG CDV1394::GetAudioInRingBufferReadPosition(int) {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::NegotiateAudioInPageSize(LONG) {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::NegotiateAudioInBlockSize(LONG) {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::ReqAudioInTakePtr(LONG, void**, DIOFormat**, int) {  // Not built yet: answers failure.
    return 0;
}

void CDV1394::AckAudioInTakePtr(LONG, int) {}  // Not built yet: does nothing.

unsigned char CDV1394::PrepareAudioIn(BitMask) {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::ArmAudioIn() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::StartAudioIn() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::PauseAudioIn() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::AbortAudioIn() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::TerminateAudioIn() {  // Not built yet: answers failure.
    return 0;
}

VDMDeviceState CDV1394::AudioInGetState() {
    return m_pAudioIn != nullptr ? m_pAudioIn->GetState() : VDMIdle;
}

unsigned char CDV1394::AudioInAwaitState(VDMDeviceState, LONG) {  // Not built yet: answers failure.
    return 0;
}
