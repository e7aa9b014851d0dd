// The video output queue: construction, teardown and the queue parameters.
#include "queues/DV1394VideoOutput.h"

#include "interface/ControlIds.h"
#include "queues/LockedMemory.h"
#include "queues/QueueParameter.h"

#include <cstring>

using namespace dv1394;

DV1394VideoOutput::DV1394VideoOutput()
    : m_pRawBuffer(nullptr),
      m_pBuffer(nullptr),
      m_pFifo(nullptr),
      m_nFrameSize(0),
      m_nRingBufferSize(0),
      m_nAllocSize(0),
      m_nPageSize(0),
      m_nBlockSize(0),
      m_nGranularity(0),
      m_eState(VDMIdle),
      m_nUnderruns(0),
      m_nErrors(0),
      m_aUnderrunInfo{},
      m_nFramesTaken(0),
      m_nFramesExpected(0),
      m_nCurrentFrame(0) {}

DV1394VideoOutput::~DV1394VideoOutput() {
    ReleaseBuffers();
}

void DV1394VideoOutput::ReleaseBuffers() {
    delete m_pFifo;
    m_pFifo = nullptr;
    ReleaseLockedBlock(m_pRawBuffer, static_cast<SIZE_T>(m_nAllocSize));
    m_pRawBuffer = nullptr;
    m_pBuffer = nullptr;
}

bool DV1394VideoOutput::GetParameter(LONG id, void* value) const {
    if (id == kControlErrorCount) return ReadQueueParameter(m_nErrors, value);
    if (id == kControlVideoOutUnderruns) {
        if (value == nullptr) return false;
        std::lock_guard<std::mutex> hold(m_UnderrunRecordLock);
        const ULONG record[4] = {m_nUnderruns.load(), m_aUnderrunInfo[0], m_aUnderrunInfo[1], m_aUnderrunInfo[2]};
        std::memcpy(value, record, sizeof record);
        return true;
    }
    return false;  // frames to print can be set, not read
}

bool DV1394VideoOutput::SetParameter(LONG id, const void* value) {
    if (id == kControlFramesToPrint) return WriteQueueParameter(m_nFramesExpected, value);
    if (id == kControlVideoOutUnderruns) {
        if (value == nullptr) return false;
        ULONG record[4];
        std::memcpy(record, value, sizeof record);
        std::lock_guard<std::mutex> hold(m_UnderrunRecordLock);
        m_nUnderruns.store(record[0]);
        std::memcpy(m_aUnderrunInfo, record + 1, sizeof m_aUnderrunInfo);
        return true;
    }
    return false;
}
