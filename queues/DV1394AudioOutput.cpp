// The audio output queues: construction, teardown and the queue parameters.
#include "queues/DV1394AudioOutput.h"

#include "interface/ControlIds.h"
#include "queues/QueueParameter.h"

#include <new>

using namespace dv1394;

DV1394AudioOutput::DV1394AudioOutput()
    : m_nChannels(-1),
      m_pChannels(nullptr),
      m_pReshuffler(nullptr),
      m_pSampsInFrame(nullptr),
      m_eAudioFormat(DIO_NoAudioFormat),
      m_nRingBufferSize(0),
      m_apBuffer{},
      m_apFifo{},
      m_nBytesInFrame(0),
      m_nPageSize(0),
      m_eState(VDMIdle),
      m_nFrameCounter(0),
      m_nErrors(0),
      m_nUnderruns(0),
      m_nFramesExpected(-1) {}

DV1394AudioOutput::~DV1394AudioOutput() {
    for (int channel = 0; channel < kMaxChannels; ++channel) {
        delete m_apFifo[channel];
        delete[] m_apBuffer[channel];
    }
    delete m_pChannels;
    delete m_pReshuffler;
    delete m_pSampsInFrame;
}

void DV1394AudioOutput::SetAudioFormat(DIO_AudioFormat audio, DIO_VideoFormat video) {
    m_eAudioFormat = audio;
    delete m_pReshuffler;
    m_pReshuffler = new (std::nothrow) DV25audioReshuffler(audio, video);
    delete m_pSampsInFrame;
    m_pSampsInFrame = new (std::nothrow) USampsInFrame(audio, video);
}

bool DV1394AudioOutput::GetParameter(LONG id, void* value) const {
    if (id == kControlErrorCount) return ReadQueueParameter(m_nErrors, value);
    if (id == kControlAudioOutUnderruns) return ReadQueueParameter(m_nUnderruns, value);
    return false;
}

bool DV1394AudioOutput::SetParameter(LONG id, const void* value) {
    if (id == kControlErrorCount) return WriteQueueParameter(m_nErrors, value);
    if (id == kControlAudioOutUnderruns) return WriteQueueParameter(m_nUnderruns, value);
    if (id == kControlAudioOutFramesToPrint) return WriteQueueParameter(m_nFramesExpected, value);
    if (id == kControlAudioLocked) {
        if (value == nullptr || m_pReshuffler == nullptr) return false;
        // The record thread may be shuffling with the reshuffler right now.
        std::lock_guard<std::mutex> hold(m_ReshufflerLock);
        m_pReshuffler->SetIsAudioLocked(*static_cast<const unsigned char*>(value) != 0);
        return true;
    }
    return false;
}
