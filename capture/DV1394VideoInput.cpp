// Construction and teardown of a video input queue.
#include "DV1394VideoInput.h"

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
    delete m_pFifo;
    m_pFifo = nullptr;
}
