// The AudioIn stream: per-channel rings, take protocol and life cycle. The capture
// thread fills the rings (capture/CaptureThread.cpp); the host empties them channel
// by channel.
#include "capture/InputStreamSteps.h"
#include "device/AwaitStreamState.h"
#include "device/CDV1394.h"
#include "interface/ControlIds.h"
#include "queues/DV1394AudioInput.h"

using namespace dv1394;

namespace {

constexpr LONG kMaxRingBytes = LONG{1} << 30;

// The queues hold 128 channels; a mask naming a higher one is not ours to serve.
bool SelectsChannelBeyondQueues(const BitMask& channels) {
    for (int index = DV1394AudioInput::kMaxChannels; index < channels.GetNumBitsInMask(); ++index)
        if (channels.GetBit(index) != 0) return true;
    return false;
}

}  // namespace

LONG CDV1394::GetAudioInRingBufferSize() {
    return m_pAudioIn != nullptr ? m_pAudioIn->GetRingBufferSize() : 0;
}

unsigned char CDV1394::SetAudioInRingBufferSize(LONG size) {
    // Only stored: Prepare allocates the channels' rings.
    if (m_pAudioIn == nullptr || size <= 0 || size > kMaxRingBytes) return 0;
    return m_pAudioIn->SetRingBufferSize(size) ? 1 : 0;
}

ULONG CDV1394::GetAudioInRingBufferWritePosition(int channel) {
    return m_pAudioIn != nullptr ? m_pAudioIn->GetGivePos(channel) : 0;
}

ULONG CDV1394::GetAudioInRingBufferReadPosition(int channel) {
    return m_pAudioIn != nullptr ? m_pAudioIn->GetTakePos(channel) : 0;
}

LONG CDV1394::NegotiateAudioInPageSize(LONG size) {
    if (m_pAudioIn != nullptr) m_pAudioIn->SetPageSize(size);
    return size;
}

LONG CDV1394::NegotiateAudioInBlockSize(LONG) {  // samples need no blocking
    return 0;
}

LONG CDV1394::ReqAudioInTakePtr(LONG length, void** data, DIOFormat** format, int channel) {
    if (m_pAudioIn == nullptr || data == nullptr || format == nullptr) return 0;
    return m_pAudioIn->ReqTakePtr(length, data, format, channel);
}

void CDV1394::AckAudioInTakePtr(LONG length, int channel) {
    if (m_pAudioIn != nullptr) m_pAudioIn->AckTakePtr(length, channel);
}

unsigned char CDV1394::PrepareAudioIn(BitMask channels) {
    if (m_pAudioIn == nullptr || SelectsChannelBeyondQueues(channels)) return 0;
    const VDMDeviceState state = m_pAudioIn->GetState();
    // While armed or running the capture thread deshuffles into the current rings with
    // the current mask: neither may be replaced under it.
    const bool inUse = state == VDMArmed || state == VDMRunning;
    if (!inUse) m_pAudioIn->SetChannels(channels);
    if (m_pAudioIn->GetRingBufferSize() == 0) return 0;
    if (!inUse && !m_pAudioIn->AllocateRingBuffer()) return 0;
    ResetCaptureBookkeeping();
    const LONG zero = 0;
    m_pAudioIn->SetParameter(kControlAudioInOverruns, &zero);  // errors are kept
    if (state != VDMIdle && state != VDMPrepared && state != VDMAborted) return 0;
    if (!CreateCaptureThreadEvents(true)) return 0;
    m_pAudioIn->ResetBuffers();
    m_pAudioIn->ResetStats();
    m_bAudioInPrepared = true;
    m_pAudioIn->SetState(VDMPrepared);
    return 1;
}

unsigned char CDV1394::ArmAudioIn() {
    if (m_pAudioIn == nullptr || m_pAudioIn->GetState() != VDMPrepared) return 0;
    // Audio alone does not need a time-critical thread.
    if (!StartCaptureThreadOnce(false)) return 0;
    Sleep(67);
    m_pAudioIn->SetState(VDMArmed);
    return 1;
}

unsigned char CDV1394::StartAudioIn() {
    if (m_pAudioIn == nullptr || m_pAudioIn->GetState() != VDMArmed || !m_bCaptureThreadRunning) return 0;
    EnterCriticalSection(&m_csCaptureThreadTimecode);
    const bool noStartTimecode = TCIsEmpty(m_tcStart);
    LeaveCriticalSection(&m_csCaptureThreadTimecode);
    if (noStartTimecode && WhichInputDevicesWillRun() == 2) Sleep(10);
    m_pAudioIn->SetState(VDMRunning);
    return 1;
}

unsigned char CDV1394::PauseAudioIn() {
    if (m_pAudioIn == nullptr || m_pAudioIn->GetState() != VDMRunning) {
        OutputDebugStringA("Could not Pause AudioIn - Must be running first\n");
        return 0;
    }
    if (!m_bCaptureThreadRunning) {
        OutputDebugStringA("Could not Pause Audio - Capture thread is not alive \n");
        return 0;
    }
    m_pAudioIn->SetState(VDMArmed);
    return 1;
}

unsigned char CDV1394::AbortAudioIn() {
    return AbortInputStream(m_pAudioIn);
}

unsigned char CDV1394::TerminateAudioIn() {
    m_bAudioInPrepared = false;
    m_bStartTimecodeSet = false;
    m_bStartTimecodeUsed = false;
    if (m_pAudioIn == nullptr || m_pAudioIn->GetState() == VDMIdle) return 1;
    // With the thread gone nothing writes into the rings any more; while a video
    // stream keeps it alive they stay until the next Prepare.
    if (EndCaptureThreadIfUnused()) m_pAudioIn->ReleaseBuffers();
    m_pAudioIn->SetState(VDMIdle);
    return 1;
}

VDMDeviceState CDV1394::AudioInGetState() {
    return InputStreamState(m_pAudioIn);
}

unsigned char CDV1394::AudioInAwaitState(VDMDeviceState state, LONG timeout) {
    return AwaitStreamState([this] { return AudioInGetState(); }, state, timeout);
}
