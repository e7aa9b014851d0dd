// The AudioOut stream: per-channel rings, give protocol and life cycle.
#include "device/CDV1394.h"
#include "queues/DV1394AudioOutput.h"

LONG CDV1394::GetAudioOutRingBufferSize() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::SetAudioOutRingBufferSize(LONG) {  // Not built yet: answers failure.
    return 0;
}

ULONG CDV1394::GetAudioOutRingBufferWritePosition(int) {  // Not built yet: answers failure.
    return 0;
}

ULONG CDV1394::GetAudioOutRingBufferReadPosition(int) {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::NegotiateAudioOutPageSize(LONG) {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::NegotiateAudioOutBlockSize(LONG) {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::ReqAudioOutGivePtr(LONG, LONG, int, LONG, void**, int) {  // Not built yet: answers failure.
    return 0;
}

void CDV1394::AckAudioOutGivePtr(LONG, int, int) {}  // Not built yet: does nothing.

unsigned char CDV1394::PrepareAudioOut(BitMask) {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::ArmAudioOut() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::StartAudioOut() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::PauseAudioOut() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::AbortAudioOut() {  // Not built yet: answers failure.
    return 0;
}

unsigned char CDV1394::TerminateAudioOut() {  // Not built yet: answers failure.
    return 0;
}

VDMDeviceState CDV1394::AudioOutGetState() {
    return m_pAudioOut != nullptr ? m_pAudioOut->GetState() : VDMIdle;
}

unsigned char CDV1394::AudioOutAwaitState(VDMDeviceState, LONG) {  // Not built yet: answers failure.
    return 0;
}

LONG CDV1394::AudioOutCurrentFrame() {  // Not built yet: answers failure.
    return 0;
}
