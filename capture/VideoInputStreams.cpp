// The two video input streams. VideoIn carries the capture with its format records;
// VideoConfidence is a second view of the captured frames for monitoring: it receives
// every delivered frame, recognised or not, never a format record, and a frame that
// finds no room is simply not given to it. The capture thread fills both rings
// (capture/CaptureThread.cpp); the host empties them. Each slot forwards to the one
// body both streams share.
#include "capture/InputStreamSteps.h"
#include "device/AwaitStreamState.h"
#include "device/CDV1394.h"
#include "interface/ControlIds.h"
#include "queues/DV1394VideoInput.h"

using namespace dv1394;

namespace {

LONG RingBufferSize(const DV1394VideoInput* queue) {
    return queue != nullptr ? queue->GetRingBufferSize() : 0;
}

// The ring is allocated right here, not by Prepare.
unsigned char AllocateRing(DV1394VideoInput* queue, LONG size) {
    return queue != nullptr && queue->AllocateRingBuffer(size) != 0 ? 1 : 0;
}

ULONG GivePosition(const DV1394VideoInput* queue) {
    return queue != nullptr ? queue->GetGivePos() : 0;
}

ULONG TakePosition(const DV1394VideoInput* queue) {
    return queue != nullptr ? queue->GetTakePos() : 0;
}

LONG NegotiatePageSize(DV1394VideoInput* queue, LONG size) {
    if (size < 1) size = 1;
    if (queue != nullptr) queue->SetPageSize(size);
    return size;
}

LONG NegotiateBlockSize(DV1394VideoInput* queue, LONG size) {
    if (size < 1) size = 1;
    if (queue != nullptr) queue->SetBlockSize(size);
    return size;
}

LONG RequestTake(DV1394VideoInput* queue, LONG length, void** data, DIOFormat** format) {
    if (queue == nullptr || data == nullptr || format == nullptr) return 0;
    return queue->ReqTakePtr(length, data, format);
}

void AcknowledgeTake(DV1394VideoInput* queue, LONG length) {
    if (queue != nullptr) queue->AckTakePtr(length);
}

bool CanPrepare(const DV1394VideoInput* queue) {
    return queue != nullptr && queue->GetRingBufferSize() != 0 && queue->HasRing();
}

// What Prepare does once the device's own bookkeeping is done: the counters are
// cleared even when the state then refuses.
bool PrepareQueue(DV1394VideoInput* queue, VDMDeviceState state) {
    const LONG zero = 0;
    queue->SetParameter(kControlVideoInOverruns, &zero);
    queue->SetParameter(kControlErrorCount, &zero);
    return state == VDMIdle || state == VDMPrepared || state == VDMAborted;
}

void EnterPrepared(DV1394VideoInput* queue) {
    queue->ResetBuffer();
    queue->ResetFramesWritten();
    queue->SetState(VDMPrepared);
}

}  // namespace

LONG CDV1394::GetVideoInRingBufferSize() {
    return RingBufferSize(m_pVideoIn);
}

LONG CDV1394::GetVideoConfidenceRingBufferSize() {
    return RingBufferSize(m_pVideoConfidence);
}

unsigned char CDV1394::SetVideoInRingBufferSize(LONG size) {
    return AllocateRing(m_pVideoIn, size);
}

unsigned char CDV1394::SetVideoConfidenceRingBufferSize(LONG size) {
    return AllocateRing(m_pVideoConfidence, size);
}

ULONG CDV1394::GetVideoInRingBufferWritePosition() {
    return GivePosition(m_pVideoIn);
}

ULONG CDV1394::GetVideoConfidenceRingBufferWritePosition() {
    return GivePosition(m_pVideoConfidence);
}

ULONG CDV1394::GetVideoInRingBufferReadPosition() {
    return TakePosition(m_pVideoIn);
}

ULONG CDV1394::GetVideoConfidenceRingBufferReadPosition() {
    return TakePosition(m_pVideoConfidence);
}

LONG CDV1394::NegotiateVideoInPageSize(LONG size) {
    return NegotiatePageSize(m_pVideoIn, size);
}

LONG CDV1394::NegotiateVideoConfidencePageSize(LONG size) {
    return NegotiatePageSize(m_pVideoConfidence, size);
}

LONG CDV1394::NegotiateVideoInBlockSize(LONG size) {
    return NegotiateBlockSize(m_pVideoIn, size);
}

LONG CDV1394::NegotiateVideoConfidenceBlockSize(LONG size) {
    return NegotiateBlockSize(m_pVideoConfidence, size);
}

LONG CDV1394::ReqVideoInTakePtr(LONG length, void** data, DIOFormat** format) {
    return RequestTake(m_pVideoIn, length, data, format);
}

LONG CDV1394::ReqVideoConfidenceTakePtr(LONG length, void** data, DIOFormat** format) {
    return RequestTake(m_pVideoConfidence, length, data, format);
}

void CDV1394::AckVideoInTakePtr(LONG length) {
    AcknowledgeTake(m_pVideoIn, length);
}

void CDV1394::AckVideoConfidenceTakePtr(LONG length) {
    AcknowledgeTake(m_pVideoConfidence, length);
}

unsigned char CDV1394::PrepareVideoIn() {
    if (!CanPrepare(m_pVideoIn)) return 0;
    const VDMDeviceState state = m_pVideoIn->GetState();
    // A new capture starts from here, even when this Prepare then fails on the state.
    ResetCaptureBookkeeping();
    if (!PrepareQueue(m_pVideoIn, state)) return 0;
    if (!CreateCaptureThreadEvents(true)) return 0;
    m_bVideoInPrepared = true;
    EnterPrepared(m_pVideoIn);
    return 1;
}

unsigned char CDV1394::PrepareVideoConfidence() {
    if (!CanPrepare(m_pVideoConfidence)) return 0;
    const VDMDeviceState state = m_pVideoConfidence->GetState();
    // Unlike VideoIn, monitoring leaves the capture's start point and timecode alone.
    if (!PrepareQueue(m_pVideoConfidence, state)) return 0;
    // Only the "done" event is indispensable here: Terminate waits on it.
    if (!CreateCaptureThreadEvents(false)) return 0;
    m_bVideoConfidencePrepared = true;
    EnterPrepared(m_pVideoConfidence);
    return 1;
}

// A video stream wants its frames on time: its thread runs time-critical.
unsigned char CDV1394::ArmVideoIn() {
    if (m_pVideoIn == nullptr || m_pVideoIn->GetState() != VDMPrepared) return 0;
    if (!StartCaptureThreadOnce(true)) return 0;
    m_pVideoIn->SetState(VDMArmed);
    return 1;
}

unsigned char CDV1394::ArmVideoConfidence() {
    if (m_pVideoConfidence == nullptr || m_pVideoConfidence->GetState() != VDMPrepared) return 0;
    if (!StartCaptureThreadOnce(true)) return 0;
    m_pVideoConfidence->SetState(VDMArmed);
    return 1;
}

unsigned char CDV1394::StartVideoIn() {
    return MoveInputStream(m_pVideoIn, VDMArmed, VDMRunning, m_bCaptureThreadRunning);
}

unsigned char CDV1394::StartVideoConfidence() {
    return MoveInputStream(m_pVideoConfidence, VDMArmed, VDMRunning, m_bCaptureThreadRunning);
}

unsigned char CDV1394::PauseVideoIn() {
    return MoveInputStream(m_pVideoIn, VDMRunning, VDMArmed, m_bCaptureThreadRunning);
}

unsigned char CDV1394::PauseVideoConfidence() {
    return MoveInputStream(m_pVideoConfidence, VDMRunning, VDMArmed, m_bCaptureThreadRunning);
}

unsigned char CDV1394::AbortVideoIn() {
    return AbortInputStream(m_pVideoIn);
}

unsigned char CDV1394::AbortVideoConfidence() {
    return AbortInputStream(m_pVideoConfidence);
}

// The ring stays at Terminate: the next allocation or the device's end frees it.
unsigned char CDV1394::TerminateVideoIn() {
    m_bVideoInPrepared = false;
    m_bStartTimecodeSet = false;
    m_bStartTimecodeUsed = false;
    if (m_pVideoIn == nullptr || m_pVideoIn->GetState() == VDMIdle) return 1;
    EndCaptureThreadIfUnused();
    m_pVideoIn->SetState(VDMIdle);
    return 1;
}

unsigned char CDV1394::TerminateVideoConfidence() {
    m_bVideoConfidencePrepared = false;
    if (m_pVideoConfidence == nullptr || m_pVideoConfidence->GetState() == VDMIdle) return 1;
    EndCaptureThreadIfUnused();
    m_pVideoConfidence->SetState(VDMIdle);
    return 1;
}

VDMDeviceState CDV1394::VideoInGetState() {
    return InputStreamState(m_pVideoIn);
}

VDMDeviceState CDV1394::VideoConfidenceGetState() {
    return InputStreamState(m_pVideoConfidence);
}

unsigned char CDV1394::VideoInAwaitState(VDMDeviceState state, LONG timeout) {
    return AwaitStreamState([this] { return VideoInGetState(); }, state, timeout);
}

unsigned char CDV1394::VideoConfidenceAwaitState(VDMDeviceState state, LONG timeout) {
    return AwaitStreamState([this] { return VideoConfidenceGetState(); }, state, timeout);
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
