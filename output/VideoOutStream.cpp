// The VideoOut stream: ring set-up, give protocol and life cycle. Every step past the
// ring set-up is handed to the record thread, which alone drives the card's playback.
#include "device/CDV1394.h"
#include "interface/ControlIds.h"
#include "output/OutputStreamStep.h"
#include "queues/DV1394VideoOutput.h"

namespace {

bool IsLive(VDMDeviceState state) {
    return state == VDMArmed || state == VDMRunning;
}

}  // namespace

LONG CDV1394::GetVideoOutRingBufferSize() {
    return m_pVideoOut != nullptr ? m_pVideoOut->GetRingBufferSize() : 0;
}

unsigned char CDV1394::SetVideoOutRingBufferSize(LONG size) {
    if (m_pVideoOut == nullptr) return 0;
    std::lock_guard<std::mutex> hold(m_OutputHandOverLock);
    // The record thread may be copying frames out of the ring.
    if (IsLive(m_pVideoOut->GetState()) || !OutputSettled()) return 0;
    return m_pVideoOut->AllocateRingBuffer(size) ? 1 : 0;
}

ULONG CDV1394::GetVideoOutRingBufferWritePosition() {
    return m_pVideoOut != nullptr ? m_pVideoOut->GetGivePos() : 0;
}

ULONG CDV1394::GetVideoOutRingBufferReadPosition() {
    return m_pVideoOut != nullptr ? m_pVideoOut->GetTakePos() : 0;
}

LONG CDV1394::NegotiateVideoOutPageSize(LONG size) {
    if (size < 1) size = 1;
    if (m_pVideoOut != nullptr) m_pVideoOut->SetPageSize(size);
    return size;
}

LONG CDV1394::NegotiateVideoOutBlockSize(LONG size) {
    if (size < 1) size = 1;
    if (m_pVideoOut != nullptr) m_pVideoOut->SetBlockSize(size);
    return size;
}

LONG CDV1394::ReqVideoOutGivePtr(LONG length, LONG, int, LONG minimum, void** data) {
    if (m_pVideoOut == nullptr) {
        if (data != nullptr) *data = nullptr;
        return 0;
    }
    return m_pVideoOut->ReqGivePtr(length, minimum, data);
}

void CDV1394::AckVideoOutGivePtr(LONG length, int) {
    if (m_pVideoOut != nullptr) m_pVideoOut->AckGivePtr(length);
}

unsigned char CDV1394::PrepareVideoOut() {
    std::lock_guard<std::mutex> hold(m_OutputHandOverLock);
    // The stream counts as prepared for the event machine even when Prepare fails.
    LONG devices = m_nOutputDevices.load();
    if (devices == 0 || devices == 1) m_nOutputDevices.store(devices | 2);
    if (m_pVideoOut == nullptr || m_pVideoOut->GetRingBufferSize() == 0 || !m_pVideoOut->HasRing()) return 0;
    const VDMDeviceState state = m_pVideoOut->GetState();
    if (state != VDMIdle && state != VDMPrepared && state != VDMAborted) return 0;
    if (!OutputSettled()) return 0;  // the ring is reset below

    EnterCriticalSection(&m_csCaptureThreadTimecode);
    m_tcStart = TCCreateDur(kTCEmptyFrameCount, nullptr);
    m_tcRecord = timecode_t{};
    LeaveCriticalSection(&m_csCaptureThreadTimecode);
    m_bStartTimecodeSet = false;
    m_bStartTimecodeUsed = false;
    const ULONG noUnderruns[4] = {};
    m_pVideoOut->SetParameter(kControlVideoOutUnderruns, noUnderruns);
    m_pVideoOut->ResetBuffer();
    m_pVideoOut->ResetFrameCounters();

    if (!HandOverOutputCommand(EventPrepare, DeviceVideoOut)) return 0;
    m_bVideoOutPrepared = true;
    m_pVideoOut->SetState(VDMPrepared);
    return 1;
}

unsigned char CDV1394::ArmVideoOut() {
    return StepOutputStream(m_pVideoOut, VDMPrepared, VDMArmed, EventArm, DeviceVideoOut, false);
}

unsigned char CDV1394::StartVideoOut() {
    return StepOutputStream(m_pVideoOut, VDMArmed, VDMRunning, EventStart, DeviceVideoOut, true);
}

unsigned char CDV1394::PauseVideoOut() {
    return StepOutputStream(m_pVideoOut, VDMRunning, VDMArmed, EventPause, DeviceVideoOut, true);
}

unsigned char CDV1394::AbortVideoOut() {
    std::lock_guard<std::mutex> hold(m_OutputHandOverLock);
    if (m_pVideoOut == nullptr || !m_bRecordThreadRunning) return 0;
    const VDMDeviceState state = m_pVideoOut->GetState();
    if (state != VDMPrepared && state != VDMArmed && state != VDMRunning) return 0;
    if (!HandOverOutputCommand(EventAbort, DeviceVideoOut)) return 0;
    m_pVideoOut->SetState(VDMAborted);
    return 1;
}

unsigned char CDV1394::TerminateVideoOut() {
    return TerminateOutputStream(m_pVideoOut, DeviceVideoOut, 1, m_bVideoOutPrepared);
}

void CDV1394::FlushVideoOut() {
    if (m_pVideoOut == nullptr || m_pVideoOut->GetState() == VDMRunning) return;
    std::lock_guard<std::mutex> hold(m_OutputHandOverLock);
    if (OutputSettled()) m_pVideoOut->ResetBuffer();
}

VDMDeviceState CDV1394::VideoOutGetState() {
    return m_pVideoOut != nullptr ? m_pVideoOut->GetState() : VDMIdle;
}

unsigned char CDV1394::VideoOutAwaitState(VDMDeviceState state, LONG timeout) {
    // Polls every 10 ms for the time-out (microseconds), unlike the single wait of the
    // other streams.
    if (VideoOutGetState() == state) return 1;
    const LONG limit = timeout / 1000;
    for (LONG waited = 0; waited <= limit; waited += 10) {
        if (VideoOutGetState() == state) return 1;
        Sleep(10);
    }
    return VideoOutGetState() == state ? 1 : 0;
}

LONG CDV1394::VideoOutCurrentFrame() {
    return CurrentVideoOutFrame();
}

LONG CDV1394::CurrentVideoOutFrame() {
    return (m_pVideoOut != nullptr ? m_pVideoOut->GetCurrentFrame() : 0) + NumFramesPlayed();
}

void CDV1394::VideoOutSetCurrentFrame(LONG frame) {
    if (m_pVideoOut != nullptr) m_pVideoOut->SetCurrentFrame(frame);
}

unsigned char CDV1394::VideoOutFrameIndexRequired(int) {  // printed frames need no index
    return 0;
}

void CDV1394::VideoOutSetFrameIndex(LONG, ULONG*) {}
