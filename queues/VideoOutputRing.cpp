// The video output ring: locked memory aligned to the page size, the give side for
// the host and the whole-frame take side for the record thread.
#include "queues/DV1394VideoOutput.h"

#include "queues/LockedMemory.h"

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

bool DV1394VideoOutput::AllocateRingBuffer(LONG size) {
    if (size <= 0 || size > kMaxRingBytes) return false;
    const int64_t page = PowerOfTwoAtLeast(m_nPageSize);
    const int64_t granularity = std::max(page, PowerOfTwoAtLeast(m_nBlockSize));
    if (granularity > kMaxRingBytes) return false;

    ReleaseBuffers();
    m_nGranularity = static_cast<LONG>(granularity);
    m_nAllocSize = static_cast<LONG>(granularity + size);
    m_pRawBuffer = AllocateLockedBlock(static_cast<SIZE_T>(m_nAllocSize));
    if (m_pRawBuffer == nullptr) {
        m_nRingBufferSize = 0;
        return false;
    }
    const uintptr_t start = reinterpret_cast<uintptr_t>(m_pRawBuffer);
    const uintptr_t aligned = (start + static_cast<uintptr_t>(page) - 1) & ~(static_cast<uintptr_t>(page) - 1);
    m_pBuffer = reinterpret_cast<BYTE*>(aligned);
    m_nRingBufferSize = static_cast<LONG>((static_cast<int64_t>(m_nAllocSize) - static_cast<int64_t>(aligned - start)) &
                                          ~(granularity - 1));

    m_pFifo = new (std::nothrow) DIOFifo;
    if (m_pFifo == nullptr) return false;
    // Gap-managed with whole gives: every frame the host writes lies in one piece, so
    // the record thread copies it out with one chunk copy.
    if (!m_pFifo->InitializeFifo(m_pBuffer, static_cast<unsigned>(m_nRingBufferSize), 0,
                                 static_cast<unsigned>(m_nGranularity), true, true, "VideoOutQ", false))
        return false;
    ResetBuffer();
    return true;
}

void DV1394VideoOutput::ResetBuffer() {
    if (m_pFifo != nullptr) m_pFifo->ResetFifo();
}

ULONG DV1394VideoOutput::GetGivePos() const {
    return m_pFifo != nullptr ? m_pFifo->GetGivePos() : 0;
}

ULONG DV1394VideoOutput::GetTakePos() const {
    return m_pFifo != nullptr ? m_pFifo->GetTakePos() : 0;
}

LONG DV1394VideoOutput::ReqGivePtr(LONG length, LONG minimum, void** data) {
    if (data == nullptr) return 0;
    *data = nullptr;
    if (m_pFifo == nullptr) return 0;
    unsigned char* give = nullptr;
    const LONG answered = m_pFifo->ReqGivePtr(length, minimum, &give);
    *data = give;
    return answered;
}

void DV1394VideoOutput::AckGivePtr(LONG length) {
    if (m_pFifo != nullptr) m_pFifo->AckGivePtr(length);
}

ULONG DV1394VideoOutput::GetNumFramesInQueue() const {
    const ULONG frameSize = GetFrameSize();
    if (m_pFifo == nullptr || frameSize == 0) return 0;
    return m_pFifo->GetQDepthWithoutGap() / frameSize;
}

bool DV1394VideoOutput::CopyFrameOut(BYTE* destination) {
    const ULONG frameSize = GetFrameSize();
    if (m_pFifo == nullptr || destination == nullptr || frameSize == 0) return false;
    if (m_pFifo->GetQDepthWithoutGap() < frameSize) return false;
    const bool copied = m_pFifo->QueryBGM() ? m_pFifo->CopyAChunkFrom(destination, frameSize)
                                            : m_pFifo->CopyBytesFrom(destination, frameSize);
    if (copied) m_nFramesTaken.fetch_add(1, std::memory_order_relaxed);
    return copied;
}

void DV1394VideoOutput::CountUnderrun() {
    if (m_nFramesTaken.load(std::memory_order_relaxed) < m_nFramesExpected.load(std::memory_order_relaxed))
        m_nUnderruns.fetch_add(1, std::memory_order_relaxed);
}

void DV1394VideoOutput::ResetFrameCounters() {
    m_nCurrentFrame.store(0, std::memory_order_relaxed);
    m_nFramesTaken.store(0, std::memory_order_relaxed);
}
