// Construction, ring memory and teardown of a video input queue.
#include "DV1394VideoInput.h"

#include "locked_memory.h"

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
