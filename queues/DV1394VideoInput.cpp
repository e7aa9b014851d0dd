// A video input queue: ring memory, whole-frame writes, the take protocol, format
// records and the queue parameters.
#include "queues/DV1394VideoInput.h"

#include "interface/ControlIds.h"
#include "queues/InputFormatRecord.h"
#include "queues/LockedMemory.h"
#include "queues/QueueParameter.h"
#include "queues/TakeWithinFormat.h"

#include <algorithm>
#include <cstdint>
#include <new>

using namespace dv1394;

DV1394VideoInput::DV1394VideoInput()
    : m_nFrameSize(0),
      m_nRingBufferSize(0),
      m_nAllocSize(0),
      m_pRawBuffer(nullptr),
      m_pBuffer(nullptr),
      m_pFifo(nullptr),
      m_nPageSize(512),
      m_nBlockSize(512),
      m_nGranularity(0),
      m_eState(VDMIdle),
      m_nOverruns(0),
      m_nErrors(0),
      m_nFramesWritten(0),
      m_bFormatListStarted(false) {}

DV1394VideoInput::~DV1394VideoInput() {
    ReleaseBuffers();
}

void DV1394VideoInput::ReleaseBuffers() {
    const auto held = m_Delivery.Hold();
    ReleaseLockedBlock(m_pRawBuffer, static_cast<SIZE_T>(m_nAllocSize));
    m_pRawBuffer = nullptr;
    m_pBuffer = nullptr;
    delete m_pFifo;
    m_pFifo = nullptr;
}

LONG DV1394VideoInput::AllocateRingBuffer(LONG size) {
    const auto held = m_Delivery.Hold();
    // The capture thread may be writing into the ring while the stream is armed or running.
    const VDMDeviceState state = GetState();
    if (state == VDMArmed || state == VDMRunning) return 0;
    LockedRingPlan plan;
    if (!PlanLockedRing(size, m_nPageSize, m_nBlockSize, &plan)) return 0;
    m_nGranularity = static_cast<LONG>(plan.granularity);

    ReleaseBuffers();
    m_nAllocSize = plan.blockSize;
    m_pRawBuffer = AllocateLockedBlock(static_cast<SIZE_T>(m_nAllocSize));
    if (m_pRawBuffer == nullptr) return 0;
    m_pBuffer = AlignLockedRing(m_pRawBuffer, plan, &m_nRingBufferSize);

    if (m_pFifo == nullptr) m_pFifo = new (std::nothrow) DIOFifo;
    if (m_pFifo == nullptr) return 0;
    if (!m_pFifo->InitializeFifo(m_pBuffer, static_cast<unsigned>(m_nRingBufferSize), 0, 0, false, false, "VideoInQ",
                                 false))
        return 0;
    ResetBuffer();
    return 1;
}

void DV1394VideoInput::ResetBuffer() {
    const auto held = m_Delivery.Hold();
    if (m_pFifo != nullptr) m_pFifo->ResetFifo();
    m_bFormatListStarted = false;
}

DV1394VideoInput::Delivery DV1394VideoInput::DeliverFrame(unsigned char* frame) {
    const auto held = m_Delivery.Hold();
    if (GetState() != VDMRunning) return Delivery::NotRunning;
    return WriteFrame(frame) ? Delivery::Delivered : Delivery::NoRoom;
}

void DV1394VideoInput::DeliverFormat(DIO_AudioFormat audio, DIO_VideoFormat video, bool changed, bool breakFlag) {
    const auto held = m_Delivery.Hold();
    if (GetState() != VDMRunning) return;
    if (changed || !m_bFormatListStarted) RecordFormatChange(audio, video, changed && breakFlag);
}

ULONG DV1394VideoInput::GetGivePos() const {
    return m_pFifo != nullptr ? m_pFifo->GetGivePos() : 0;
}

ULONG DV1394VideoInput::GetTakePos() const {
    return m_pFifo != nullptr ? m_pFifo->GetTakePos() : 0;
}

bool DV1394VideoInput::WriteFrame(unsigned char* frame) {
    const LONG frameSize = GetFrameSize();
    DIOFifo* fifo = m_pFifo;
    if (fifo == nullptr || frame == nullptr || frameSize <= 0) return false;
    // Whole frames or nothing: a host never finds half a frame in the ring.
    if (fifo->GetQAvail() < static_cast<ULONG>(frameSize)) return false;
    DeliveryGuard::PauseForTest(DeliveryGuard::Point::Frame);
    if (!fifo->WriteBytesInto(frame, static_cast<ULONG>(frameSize), false)) return false;
    m_nFramesWritten.fetch_add(1, std::memory_order_relaxed);
    return true;
}

LONG DV1394VideoInput::ReqTakePtr(LONG length, void** data, DIOFormat** format) {
    return TakeWithinFormat(m_pFifo, &m_FormatList, length, data, format, m_nErrors);
}

void DV1394VideoInput::AckTakePtr(LONG length) {
    AckWithinFormat(m_pFifo, &m_FormatList, length, m_nOverruns, m_nErrors);
}

void DV1394VideoInput::RecordFormatChange(DIO_AudioFormat audio, DIO_VideoFormat video, bool breakFlag) {
    DIOFormat* record = nullptr;
    // A list never started is started, never skipped: a change added to it would be
    // refused and the host would never get a format.
    if ((m_nFramesWritten.load() == 0 && !HoldsUntakenBytes(m_pFifo)) || !m_bFormatListStarted) {
        m_FormatList.InitFormatList(&record);
        FillFormatRecord(record, audio, video);
        MarkFirst(record);
        m_bFormatListStarted = true;
        return;
    }
    // The ring's give position rather than frames written x frame size: the counter
    // restarts at every activation while the ring's positions run on.
    const ULONG position = m_pFifo != nullptr ? m_pFifo->GetGivePos() : 0;
    if (m_FormatList.AddFormatChange(&record, position) != 0) {
        CountOverrun();
        return;
    }
    FillFormatRecord(record, audio, video);
    MarkChange(record, breakFlag);
}

bool DV1394VideoInput::GetParameter(LONG id, void* value) const {
    if (id == kControlVideoInOverruns) return ReadQueueParameter(m_nOverruns, value);
    if (id == kControlErrorCount) return ReadQueueParameter(m_nErrors, value);
    return false;  // 0xb10001 is known but has no value; anything else is not ours
}

bool DV1394VideoInput::SetParameter(LONG id, const void* value) {
    if (id == kControlVideoInOverruns) return WriteQueueParameter(m_nOverruns, value);
    if (id == kControlErrorCount) return WriteQueueParameter(m_nErrors, value);
    return false;
}
