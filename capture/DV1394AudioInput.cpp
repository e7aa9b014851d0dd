// Construction and teardown of the audio input queues.
#include "DV1394AudioInput.h"

DV1394AudioInput::DV1394AudioInput()
    : m_eAudioFormat(DIO_NoAudioFormat),
      m_nChannels(-1),
      m_pChannels(nullptr),
      m_pDeshuffler(nullptr),
      m_nRingBufferSize(0),
      m_apBuffer{},
      m_apFifo{},
      m_nMaxSampsInFrame(1944),
      m_nPageSize(0),
      m_eState(VDMIdle),
      m_nLastFrames(0),
      m_llLastStart(0),
      m_nLastSamples(0),
      m_llPeriodStart(0),
      m_nPeriodEnd(0),
      m_nSamplesDeshuffled(0),
      m_bMeasureIdle(true),
      m_nFramesDeshuffled(0),
      m_nErrors(0),
      m_nOverruns(0),
      m_apFormatList{} {
    // Both start times begin as one tick count in milliseconds (low half; high half 0),
    // as a statistics reset leaves them.
    const __int64 now = static_cast<__int64>(GetTickCount());
    m_llLastStart.store(now);
    m_llPeriodStart.store(now);
}

DV1394AudioInput::~DV1394AudioInput() {
    for (int channel = 0; channel < kMaxChannels; ++channel) {
        delete m_apFifo[channel];
        delete[] m_apBuffer[channel];
        delete m_apFormatList[channel];
    }
    delete m_pChannels;
    delete m_pDeshuffler;
}
