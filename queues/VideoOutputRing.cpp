// The video output ring: locked memory aligned to the page size, the give side for
// the host and the whole-frame take side for the record thread.
#include "queues/DV1394VideoOutput.h"

#include "queues/LockedMemory.h"

#include <algorithm>
#include <cstdint>
#include <new>

using namespace dv1394;

bool DV1394VideoOutput::AllocateRingBuffer(LONG size) {
    LockedRingPlan plan;
    if (!PlanLockedRing(size, m_nPageSize, m_nBlockSize, &plan)) return false;

    ReleaseBuffers();
    m_nGranularity = static_cast<LONG>(plan.granularity);
    m_nAllocSize = plan.blockSize;
    m_pRawBuffer = AllocateLockedBlock(static_cast<SIZE_T>(m_nAllocSize));
    if (m_pRawBuffer == nullptr) {
        m_nRingBufferSize = 0;
        return false;
    }
    m_pBuffer = AlignLockedRing(m_pRawBuffer, plan, &m_nRingBufferSize);

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
