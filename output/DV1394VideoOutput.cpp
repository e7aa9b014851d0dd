// Construction and teardown of the video output queue.
#include "DV1394VideoOutput.h"

#include "locked_memory.h"

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
