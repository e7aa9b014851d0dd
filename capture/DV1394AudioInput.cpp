// Construction, channel rings and teardown of the audio input queues.
#include "DV1394AudioInput.h"

#include <cstdio>
#include <new>

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

void DV1394AudioInput::SetChannels(const BitMask& channels) {
    delete m_pChannels;
    m_pChannels = new (std::nothrow) BitMask(channels.GetNumBitsInMask());
    if (m_pChannels == nullptr) {
        m_nChannels = 0;
        return;
    }
    *m_pChannels = channels;
    m_nChannels = m_pChannels->GetNumBitsSet();
}

bool DV1394AudioInput::AllocateRingBuffer() {
    if (m_pChannels == nullptr) return false;
    const LONG size = m_nRingBufferSize;
    if (size <= 0 || size > (LONG{1} << 30)) return false;
    bool allocated = true;
    const bool complete = ForEachChannel([&](int channel) {
        if (!allocated || channel >= kMaxChannels) {
            allocated = false;
            return;
        }
        delete[] m_apBuffer[channel];
        m_apBuffer[channel] = new (std::nothrow) BYTE[static_cast<size_t>(size)];
        delete m_apFifo[channel];
        m_apFifo[channel] = nullptr;
        if (m_apBuffer[channel] == nullptr) {
            allocated = false;
            return;
        }
        m_apFifo[channel] = new (std::nothrow) DIOFifo;
        if (m_apFifo[channel] == nullptr) {
            allocated = false;
            return;
        }
        char name[32];
        std::snprintf(name, sizeof name, "AudioInQ[%d]", channel);
        if (!m_apFifo[channel]->InitializeFifo(m_apBuffer[channel], static_cast<unsigned>(size), 0, 0, false, false,
                                               name, false)) {
            allocated = false;
            return;
        }
        m_apFifo[channel]->ResetFifo();
        delete m_apFormatList[channel];
        m_apFormatList[channel] = new (std::nothrow) FormatList;
        if (m_apFormatList[channel] == nullptr) allocated = false;
    });
    return complete && allocated;
}

void DV1394AudioInput::ResetBuffers() {
    const bool complete = ForEachChannel([this](int channel) {
        if (DIOFifo* fifo = ChannelFifo(channel)) fifo->ResetFifo();
    });
    if (!complete) OutputDebugStringA("DV1394AudioInput::ResetBuffers channel index is out of range.\n");
}

void DV1394AudioInput::ReleaseBuffers() {
    const bool complete = ForEachChannel([this](int channel) {
        if (channel >= kMaxChannels) return;
        delete[] m_apBuffer[channel];
        m_apBuffer[channel] = nullptr;
        delete m_apFifo[channel];
        m_apFifo[channel] = nullptr;
    });
    if (!complete) OutputDebugStringA("DV1394AudioInput::ReleaseBuffers channel index is out of range.\n");
}

DIOFifo* DV1394AudioInput::ChannelFifo(int channel) const {
    if (channel < 0 || channel >= kMaxChannels) return nullptr;
    // A ring left from an earlier selection is not the host's to read any more.
    if (m_pChannels == nullptr || m_pChannels->GetBit(channel) == 0) return nullptr;
    DIOFifo* fifo = m_apFifo[channel];
    return fifo != nullptr && fifo->IsInitialized() ? fifo : nullptr;
}

ULONG DV1394AudioInput::GetGivePos(int channel) const {
    const DIOFifo* fifo = ChannelFifo(channel);
    return fifo != nullptr ? fifo->GetGivePos() : 0;
}

ULONG DV1394AudioInput::GetTakePos(int channel) const {
    const DIOFifo* fifo = ChannelFifo(channel);
    return fifo != nullptr ? fifo->GetTakePos() : 0;
}
