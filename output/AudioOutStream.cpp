// The AudioOut stream: per-channel rings, give protocol and life cycle. Every step past
// the ring set-up is handed to the record thread, which alone drives the card.
#include "device/AwaitStreamState.h"
#include "device/CDV1394.h"
#include "interface/ControlIds.h"
#include "output/OutputStreamStep.h"
#include "queues/DV1394AudioOutput.h"

using namespace dv1394;

LONG CDV1394::GetAudioOutRingBufferSize() {
    return m_pAudioOut != nullptr ? m_pAudioOut->GetRingBufferSize() : 0;
}

unsigned char CDV1394::SetAudioOutRingBufferSize(LONG size) {
    // Only stored: Prepare allocates the rings.
    if (m_pAudioOut == nullptr) return 0;
    std::lock_guard<std::mutex> hold(m_OutputHandOverLock);
    m_pAudioOut->SetRingBufferSize(size);
    return 1;
}

ULONG CDV1394::GetAudioOutRingBufferWritePosition(int channel) {
    DIOFifo* fifo = m_pAudioOut != nullptr ? m_pAudioOut->ChannelFifo(channel) : nullptr;
    return fifo != nullptr ? fifo->GetGivePos() : 0;
}

ULONG CDV1394::GetAudioOutRingBufferReadPosition(int channel) {
    DIOFifo* fifo = m_pAudioOut != nullptr ? m_pAudioOut->ChannelFifo(channel) : nullptr;
    return fifo != nullptr ? fifo->GetTakePos() : 0;
}

LONG CDV1394::NegotiateAudioOutPageSize(LONG size) {
    if (m_pAudioOut != nullptr) m_pAudioOut->SetPageSize(size);
    return size;
}

LONG CDV1394::NegotiateAudioOutBlockSize(LONG size) {
    return size < 1 ? 1 : size;
}

LONG CDV1394::ReqAudioOutGivePtr(LONG length, LONG, int, LONG minimum, void** data, int channel) {
    if (data == nullptr) return 0;
    *data = nullptr;
    DIOFifo* fifo = m_pAudioOut != nullptr ? m_pAudioOut->ChannelFifo(channel) : nullptr;
    if (fifo == nullptr) return 0;
    unsigned char* give = nullptr;
    const LONG answered = fifo->ReqGivePtr(length, minimum, &give);
    *data = give;
    return answered;
}

void CDV1394::AckAudioOutGivePtr(LONG length, int, int channel) {
    DIOFifo* fifo = m_pAudioOut != nullptr ? m_pAudioOut->ChannelFifo(channel) : nullptr;
    if (fifo != nullptr) fifo->AckGivePtr(length);
}

unsigned char CDV1394::PrepareAudioOut(BitMask channels) {
    std::lock_guard<std::mutex> hold(m_OutputHandOverLock);
    // The stream counts as prepared for the event machine even when Prepare fails.
    LONG devices = m_nOutputDevices.load();
    if (devices == 0 || devices == 2) m_nOutputDevices.store(devices | 1);
    if (m_pAudioOut == nullptr) return 0;
    const VDMDeviceState state = m_pAudioOut->GetState();
    if (state != VDMIdle && state != VDMPrepared && state != VDMAborted) return 0;
    // The mask and the rings are replaced below.
    if (!OutputSettled()) return 0;
    if (!m_pAudioOut->SetChannels(channels)) return 0;
    if (m_pAudioOut->GetRingBufferSize() == 0 || !m_pAudioOut->AllocateRingBuffer()) return 0;

    EnterCriticalSection(&m_csCaptureThreadTimecode);
    m_tcStart = TCCreateDur(kTCEmptyFrameCount, nullptr);
    m_tcRecord = timecode_t{};
    LeaveCriticalSection(&m_csCaptureThreadTimecode);
    m_bStartTimecodeSet = false;
    m_bStartTimecodeUsed = false;
    const ULONG zero = 0;
    const LONG noCount = -1;
    m_pAudioOut->SetParameter(kControlAudioOutUnderruns, &zero);
    m_pAudioOut->SetParameter(kControlAudioOutFramesToPrint, &noCount);
    m_pAudioOut->ResetBuffer();
    m_pAudioOut->ResetStatistics();

    if (!HandOverOutputCommand(EventPrepare, DeviceAudioOut)) return 0;
    m_bAudioOutPrepared = true;
    m_pAudioOut->SetState(VDMPrepared);
    return 1;
}

unsigned char CDV1394::ArmAudioOut() {
    return StepOutputStream(m_pAudioOut, VDMPrepared, VDMArmed, EventArm, DeviceAudioOut, false);
}

unsigned char CDV1394::StartAudioOut() {
    return StepOutputStream(m_pAudioOut, VDMArmed, VDMRunning, EventStart, DeviceAudioOut, true);
}

unsigned char CDV1394::PauseAudioOut() {
    return StepOutputStream(m_pAudioOut, VDMRunning, VDMArmed, EventPause, DeviceAudioOut, true);
}

unsigned char CDV1394::AbortAudioOut() {
    // Unlike VideoOut, no check of the record thread: without it the wait times out.
    std::lock_guard<std::mutex> hold(m_OutputHandOverLock);
    if (m_pAudioOut == nullptr) return 0;
    const VDMDeviceState state = m_pAudioOut->GetState();
    if (state != VDMPrepared && state != VDMArmed && state != VDMRunning) return 0;
    if (!HandOverOutputCommand(EventAbort, DeviceAudioOut)) return 0;
    m_pAudioOut->SetState(VDMAborted);
    return 1;
}

unsigned char CDV1394::TerminateAudioOut() {
    return TerminateOutputStream(m_pAudioOut, DeviceAudioOut, 2, m_bAudioOutPrepared);
}

VDMDeviceState CDV1394::AudioOutGetState() {
    return m_pAudioOut != nullptr ? m_pAudioOut->GetState() : VDMIdle;
}

unsigned char CDV1394::AudioOutAwaitState(VDMDeviceState state, LONG timeout) {
    return AwaitStreamState([this] { return AudioOutGetState(); }, state, timeout);
}

LONG CDV1394::AudioOutCurrentFrame() {
    return NumFramesPlayed();
}
