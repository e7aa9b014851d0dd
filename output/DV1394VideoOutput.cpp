// Construction and teardown of the video output queue.
#include "DV1394VideoOutput.h"

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
    if (m_pRawBuffer != nullptr) {
        // The block was locked and counted into the working set when it was made, so
        // give both back before freeing it.
        SIZE_T minimum = 0;
        SIZE_T maximum = 0;
        GetProcessWorkingSetSize(GetCurrentProcess(), &minimum, &maximum);
        VirtualUnlock(m_pRawBuffer, static_cast<SIZE_T>(m_nAllocSize));
        VirtualFree(m_pRawBuffer, 0, MEM_RELEASE);
        const SIZE_T size = static_cast<SIZE_T>(m_nAllocSize);
        SetProcessWorkingSetSize(GetCurrentProcess(), minimum >= size ? minimum - size : 0,
                                 maximum >= size ? maximum - size : 0);
        m_pRawBuffer = nullptr;
        m_pBuffer = nullptr;
    }
}
