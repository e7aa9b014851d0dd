// The VideoConfidence stream: a second view of the captured frames for monitoring.
// It receives every delivered frame, recognised or not, never a format record, and a
// frame that finds no room is simply not given to it.
#include "CDV1394.h"
#include "capture/DV1394VideoInput.h"
#include "capture/await_stream_state.h"

namespace {

constexpr LONG kParamOverruns = 0x70001;
constexpr LONG kParamErrors = 0xb00001;

}  // namespace

LONG CDV1394::GetVideoConfidenceRingBufferSize() {
    return m_pVideoConfidence != nullptr ? m_pVideoConfidence->GetRingBufferSize() : 0;
}

unsigned char CDV1394::SetVideoConfidenceRingBufferSize(LONG size) {
    return m_pVideoConfidence != nullptr && m_pVideoConfidence->AllocateRingBuffer(size) != 0 ? 1 : 0;
}

ULONG CDV1394::GetVideoConfidenceRingBufferWritePosition() {
    return m_pVideoConfidence != nullptr ? m_pVideoConfidence->GetGivePos() : 0;
}

ULONG CDV1394::GetVideoConfidenceRingBufferReadPosition() {
    return m_pVideoConfidence != nullptr ? m_pVideoConfidence->GetTakePos() : 0;
}

LONG CDV1394::NegotiateVideoConfidencePageSize(LONG size) {
    if (size < 1) size = 1;
    if (m_pVideoConfidence != nullptr) m_pVideoConfidence->SetPageSize(size);
    return size;
}

LONG CDV1394::NegotiateVideoConfidenceBlockSize(LONG size) {
    if (size < 1) size = 1;
    if (m_pVideoConfidence != nullptr) m_pVideoConfidence->SetBlockSize(size);
    return size;
}

LONG CDV1394::ReqVideoConfidenceTakePtr(LONG length, void** data, DIOFormat** format) {
    if (m_pVideoConfidence == nullptr || data == nullptr || format == nullptr) return 0;
    return m_pVideoConfidence->ReqTakePtr(length, data, format);
}

void CDV1394::AckVideoConfidenceTakePtr(LONG length) {
    if (m_pVideoConfidence != nullptr) m_pVideoConfidence->AckTakePtr(length);
}

unsigned char CDV1394::PrepareVideoConfidence() {
    if (m_pVideoConfidence == nullptr || m_pVideoConfidence->GetRingBufferSize() == 0 ||
        !m_pVideoConfidence->HasRing())
        return 0;
    const VDMDeviceState state = m_pVideoConfidence->GetState();
    // Unlike VideoIn, monitoring leaves the capture's start point and timecode alone.
    const LONG zero = 0;
    m_pVideoConfidence->SetParameter(kParamOverruns, &zero);
    m_pVideoConfidence->SetParameter(kParamErrors, &zero);
    if (state != VDMIdle && state != VDMPrepared && state != VDMAborted) return 0;
    // Only the "done" event is indispensable here: Terminate waits on it.
    if (!CreateCaptureThreadEvents(false)) return 0;
    m_pVideoConfidence->ResetBuffer();
    m_pVideoConfidence->ResetFramesWritten();
    m_bVideoConfidencePrepared = true;
    m_pVideoConfidence->SetState(VDMPrepared);
    return 1;
}

unsigned char CDV1394::ArmVideoConfidence() {
    if (m_pVideoConfidence == nullptr || m_pVideoConfidence->GetState() != VDMPrepared) return 0;
    if (!StartCaptureThreadOnce(true)) return 0;
    m_pVideoConfidence->SetState(VDMArmed);
    return 1;
}

unsigned char CDV1394::StartVideoConfidence() {
    if (m_pVideoConfidence == nullptr || m_pVideoConfidence->GetState() != VDMArmed || !m_bCaptureThreadRunning)
        return 0;
    m_pVideoConfidence->SetState(VDMRunning);
    return 1;
}

unsigned char CDV1394::PauseVideoConfidence() {
    if (m_pVideoConfidence == nullptr || m_pVideoConfidence->GetState() != VDMRunning || !m_bCaptureThreadRunning)
        return 0;
    m_pVideoConfidence->SetState(VDMArmed);
    return 1;
}

unsigned char CDV1394::AbortVideoConfidence() {
    if (m_pVideoConfidence == nullptr) return 0;
    const VDMDeviceState state = m_pVideoConfidence->GetState();
    if (state != VDMPrepared && state != VDMArmed && state != VDMRunning) return 0;
    m_pVideoConfidence->SetState(VDMAborted);
    return 1;
}

unsigned char CDV1394::TerminateVideoConfidence() {
    m_bVideoConfidencePrepared = false;
    if (m_pVideoConfidence == nullptr || m_pVideoConfidence->GetState() == VDMIdle) return 1;
    EndCaptureThreadIfUnused();
    m_pVideoConfidence->SetState(VDMIdle);
    return 1;
}

VDMDeviceState CDV1394::VideoConfidenceGetState() {
    return m_pVideoConfidence != nullptr ? m_pVideoConfidence->GetState() : VDMIdle;
}

unsigned char CDV1394::VideoConfidenceAwaitState(VDMDeviceState state, LONG timeout) {
    return AwaitStreamState([this] { return VideoConfidenceGetState(); }, state, timeout);
}
