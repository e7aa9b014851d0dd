// The VideoIn stream: ring set-up, take protocol and life cycle. The capture thread
// fills the ring (capture/capture_thread.cpp); the host empties it.
#include "CDV1394.h"
#include "capture/DV1394VideoInput.h"
#include "capture/await_stream_state.h"

namespace {

constexpr LONG kParamOverruns = 0x70001;
constexpr LONG kParamErrors = 0xb00001;

}  // namespace

LONG CDV1394::GetVideoInRingBufferSize() {
    return m_pVideoIn != nullptr ? m_pVideoIn->GetRingBufferSize() : 0;
}

unsigned char CDV1394::SetVideoInRingBufferSize(LONG size) {
    // The ring is allocated right here, not by Prepare.
    return m_pVideoIn != nullptr && m_pVideoIn->AllocateRingBuffer(size) != 0 ? 1 : 0;
}

ULONG CDV1394::GetVideoInRingBufferWritePosition() {
    return m_pVideoIn != nullptr ? m_pVideoIn->GetGivePos() : 0;
}

ULONG CDV1394::GetVideoInRingBufferReadPosition() {
    return m_pVideoIn != nullptr ? m_pVideoIn->GetTakePos() : 0;
}

LONG CDV1394::NegotiateVideoInPageSize(LONG size) {
    if (size < 1) size = 1;
    if (m_pVideoIn != nullptr) m_pVideoIn->SetPageSize(size);
    return size;
}

LONG CDV1394::NegotiateVideoInBlockSize(LONG size) {
    if (size < 1) size = 1;
    if (m_pVideoIn != nullptr) m_pVideoIn->SetBlockSize(size);
    return size;
}

LONG CDV1394::ReqVideoInTakePtr(LONG length, void** data, DIOFormat** format) {
    if (m_pVideoIn == nullptr || data == nullptr || format == nullptr) return 0;
    return m_pVideoIn->ReqTakePtr(length, data, format);
}

void CDV1394::AckVideoInTakePtr(LONG length) {
    if (m_pVideoIn != nullptr) m_pVideoIn->AckTakePtr(length);
}

unsigned char CDV1394::PrepareVideoIn() {
    if (m_pVideoIn == nullptr || m_pVideoIn->GetRingBufferSize() == 0 || !m_pVideoIn->HasRing()) return 0;
    const VDMDeviceState state = m_pVideoIn->GetState();
    // A new capture starts from here, even when this Prepare then fails on the state.
    ResetCaptureBookkeeping();
    const LONG zero = 0;
    m_pVideoIn->SetParameter(kParamOverruns, &zero);
    m_pVideoIn->SetParameter(kParamErrors, &zero);
    if (state != VDMIdle && state != VDMPrepared && state != VDMAborted) return 0;
    if (!CreateCaptureThreadEvents(true)) return 0;
    m_pVideoIn->ResetBuffer();
    m_pVideoIn->ResetFramesWritten();
    m_bVideoInPrepared = true;
    m_pVideoIn->SetState(VDMPrepared);
    return 1;
}

unsigned char CDV1394::ArmVideoIn() {
    if (m_pVideoIn == nullptr || m_pVideoIn->GetState() != VDMPrepared) return 0;
    // A video stream wants its frames on time: its thread runs time-critical.
    if (!StartCaptureThreadOnce(true)) return 0;
    m_pVideoIn->SetState(VDMArmed);
    return 1;
}

unsigned char CDV1394::StartVideoIn() {
    if (m_pVideoIn == nullptr || m_pVideoIn->GetState() != VDMArmed || !m_bCaptureThreadRunning) return 0;
    m_pVideoIn->SetState(VDMRunning);
    return 1;
}

unsigned char CDV1394::PauseVideoIn() {
    if (m_pVideoIn == nullptr || m_pVideoIn->GetState() != VDMRunning || !m_bCaptureThreadRunning) return 0;
    m_pVideoIn->SetState(VDMArmed);
    return 1;
}

unsigned char CDV1394::AbortVideoIn() {
    if (m_pVideoIn == nullptr) return 0;
    const VDMDeviceState state = m_pVideoIn->GetState();
    if (state != VDMPrepared && state != VDMArmed && state != VDMRunning) return 0;
    m_pVideoIn->SetState(VDMAborted);
    return 1;
}

unsigned char CDV1394::TerminateVideoIn() {
    m_bVideoInPrepared = false;
    m_bStartTimecodeSet = false;
    m_bStartTimecodeUsed = false;
    if (m_pVideoIn == nullptr || m_pVideoIn->GetState() == VDMIdle) return 1;
    // The ring stays: the next allocation or the device's end frees it.
    EndCaptureThreadIfUnused();
    m_pVideoIn->SetState(VDMIdle);
    return 1;
}

VDMDeviceState CDV1394::VideoInGetState() {
    return m_pVideoIn != nullptr ? m_pVideoIn->GetState() : VDMIdle;
}

unsigned char CDV1394::VideoInAwaitState(VDMDeviceState state, LONG timeout) {
    return AwaitStreamState([this] { return VideoInGetState(); }, state, timeout);
}

LONG CDV1394::VideoInCurrentFrame() {
    return m_pVideoIn != nullptr ? m_pVideoIn->GetFramesWritten() : 0;
}

LONG CDV1394::VideoConCurrentFrame() {
    return m_pVideoConfidence != nullptr ? m_pVideoConfidence->GetFramesWritten() : 0;
}

void CDV1394::VideoInSetCurrentFrame(LONG) {}  // frames are counted by the capture thread only

LONG CDV1394::VideoInReadFrameIndex(ULONG*, ULONG) {  // captured frames carry no index
    return 0;
}
