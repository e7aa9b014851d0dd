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

namespace {

constexpr LONG kDefaultPageSize = 512;
constexpr int64_t kMaxRingBytes = int64_t{1} << 30;

// Page and block sizes become masks below, so they must be powers of two: anything
// else is rounded up to one. Sizes below 1 fall back to the default.
int64_t PowerOfTwoAtLeast(LONG size) {
    if (size < 1) return kDefaultPageSize;
    int64_t power = 1;
    while (power < size) power <<= 1;
    return power;
}

}  // namespace

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
      m_nFramesWritten(0) {}

DV1394VideoInput::~DV1394VideoInput() {
    ReleaseBuffers();
}

void DV1394VideoInput::ReleaseBuffers() {
    ReleaseLockedBlock(m_pRawBuffer, static_cast<SIZE_T>(m_nAllocSize));
    m_pRawBuffer = nullptr;
    m_pBuffer = nullptr;
    delete m_pFifo;
    m_pFifo = nullptr;
}

LONG DV1394VideoInput::AllocateRingBuffer(LONG size) {
    // The capture thread may be writing into the ring while the stream is armed or running.
    const VDMDeviceState state = GetState();
    if (state == VDMArmed || state == VDMRunning) return 0;
    if (size <= 0 || size > kMaxRingBytes) return 0;
    const int64_t page = PowerOfTwoAtLeast(m_nPageSize);
    const int64_t granularity = std::max(page, PowerOfTwoAtLeast(m_nBlockSize));
    if (granularity > kMaxRingBytes) return 0;
    m_nGranularity = static_cast<LONG>(granularity);

    ReleaseBuffers();
    m_nAllocSize = static_cast<LONG>(granularity + size);
    m_pRawBuffer = AllocateLockedBlock(static_cast<SIZE_T>(m_nAllocSize));
    if (m_pRawBuffer == nullptr) return 0;

    const uintptr_t start = reinterpret_cast<uintptr_t>(m_pRawBuffer);
    const uintptr_t aligned = (start + static_cast<uintptr_t>(page) - 1) & ~(static_cast<uintptr_t>(page) - 1);
    m_pBuffer = reinterpret_cast<BYTE*>(aligned);
    // What is left after the alignment, in whole granules; the frame size need not divide it.
    m_nRingBufferSize = static_cast<LONG>((static_cast<int64_t>(m_nAllocSize) - static_cast<int64_t>(aligned - start)) &
                                          ~(granularity - 1));

    if (m_pFifo == nullptr) m_pFifo = new (std::nothrow) DIOFifo;
    if (m_pFifo == nullptr) return 0;
    if (!m_pFifo->InitializeFifo(m_pBuffer, static_cast<unsigned>(m_nRingBufferSize), 0, 0, false, false, "VideoInQ",
                                 false))
        return 0;
    ResetBuffer();
    return 1;
}

void DV1394VideoInput::ResetBuffer() {
    if (m_pFifo != nullptr) m_pFifo->ResetFifo();
}

ULONG DV1394VideoInput::GetGivePos() const {
    return m_pFifo != nullptr ? m_pFifo->GetGivePos() : 0;
}

ULONG DV1394VideoInput::GetTakePos() const {
    return m_pFifo != nullptr ? m_pFifo->GetTakePos() : 0;
}

bool DV1394VideoInput::WriteFrame(unsigned char* frame) {
    const LONG frameSize = GetFrameSize();
    if (m_pFifo == nullptr || frame == nullptr || frameSize <= 0) return false;
    // Whole frames or nothing: a host never finds half a frame in the ring.
    if (m_pFifo->GetQAvail() < static_cast<ULONG>(frameSize)) return false;
    if (!m_pFifo->WriteBytesInto(frame, static_cast<ULONG>(frameSize), false)) return false;
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
    if (m_nFramesWritten.load() == 0 && !HoldsUntakenBytes(m_pFifo)) {
        m_FormatList.InitFormatList(&record);
        FillFormatRecord(record, audio, video);
        MarkFirst(record);
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
