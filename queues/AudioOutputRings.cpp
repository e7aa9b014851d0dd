// The audio output rings: one per selected channel, and the shuffle of one frame's
// samples from them into a DV frame for the record thread.
#include "queues/DV1394AudioOutput.h"

#include <cstdio>
#include <new>

template <typename Visit>
bool DV1394AudioOutput::ForEachChannel(Visit visit) const {
    const LONG wanted = m_nChannels.load();
    if (m_pChannels == nullptr || wanted < 1) return true;
    LONG found = 0;
    for (int index = 0; found < wanted; ++index) {
        unsigned char outOfRange = 0;
        const unsigned char selected = m_pChannels->GetBit(index, &outOfRange);
        if (outOfRange != 0) return false;
        if (selected == 0) continue;
        ++found;
        visit(index);
    }
    return true;
}

bool DV1394AudioOutput::SetChannels(const BitMask& channels) {
    // The rings are indexed by bit, and there are 128 of them.
    for (int index = kMaxChannels; index < channels.GetNumBitsInMask(); ++index)
        if (channels.GetBit(index) != 0) return false;
    BitMask* copy = new (std::nothrow) BitMask(channels.GetNumBitsInMask());
    if (copy == nullptr) return false;
    *copy = channels;
    delete m_pChannels;
    m_pChannels = copy;
    m_nChannels = channels.GetNumBitsSet();
    return true;
}

DIOFifo* DV1394AudioOutput::ChannelFifo(int channel) const {
    if (channel < 0 || channel >= kMaxChannels) return nullptr;
    return m_apFifo[channel];
}

bool DV1394AudioOutput::AllocateRingBuffer() {
    if (m_nChannels.load() < 1) return true;
    const LONG size = m_nRingBufferSize;
    if (size <= 0 || size > (LONG{1} << 30)) return false;
    bool allocated = true;
    const bool complete = ForEachChannel([&](int channel) {
        if (!allocated) return;
        delete[] m_apBuffer[channel];
        delete m_apFifo[channel];
        m_apFifo[channel] = nullptr;
        m_apBuffer[channel] = new (std::nothrow) BYTE[static_cast<size_t>(size)];
        if (m_apBuffer[channel] == nullptr) {
            allocated = false;
            return;
        }
        m_apFifo[channel] = new (std::nothrow) DIOFifo;
        if (m_apFifo[channel] == nullptr) {
            m_nRingBufferSize = 0;
            allocated = false;
            return;
        }
        char name[32];
        std::snprintf(name, sizeof name, "AudioOutQ[%d]", channel);
        if (!m_apFifo[channel]->InitializeFifo(m_apBuffer[channel], static_cast<unsigned>(size), 0, 0, false, false,
                                               name, false)) {
            allocated = false;
            return;
        }
        m_apFifo[channel]->ResetFifo();
    });
    if (!complete) OutputDebugStringA("DV1394AudioOutput::AllocateRingBuffer: channel index is out of range.\n");
    return complete && allocated;
}

void DV1394AudioOutput::ReleaseBuffers() {
    const bool complete = ForEachChannel([this](int channel) {
        delete m_apFifo[channel];
        m_apFifo[channel] = nullptr;
        delete[] m_apBuffer[channel];
        m_apBuffer[channel] = nullptr;
    });
    if (!complete) OutputDebugStringA("DV1394AudioOutput::ReleaseBuffers: channel index is out of range.\n");
}

void DV1394AudioOutput::ResetBuffer() {
    const bool complete = ForEachChannel([this](int channel) {
        if (m_apFifo[channel] != nullptr) m_apFifo[channel]->ResetFifo();
    });
    if (!complete) OutputDebugStringA("DV1394AudioOutput::ResetBuffer: channel index is out of range.\n");
}

LONG DV1394AudioOutput::GetNumFramesInQueue() {
    if (m_pSampsInFrame == nullptr) return 0;
    m_nBytesInFrame = m_pSampsInFrame->GetSampsForFrameNum(m_nFrameCounter.load() + 1) * 2;
    if (m_nBytesInFrame == 0 || m_nChannels.load() < 1) return 0;
    ULONG least = 99999999;
    const bool complete = ForEachChannel([&](int channel) {
        const ULONG depth = m_apFifo[channel] != nullptr ? m_apFifo[channel]->GetQDepth() : 0;
        if (depth < least) least = depth;
    });
    if (!complete) {
        OutputDebugStringA("DV1394AudioOutput::GetNumFramesInQueue: channel index out of range.\n");
        return 0;
    }
    // Judged by the next frame's size only: with a varying cadence this is an estimate.
    return static_cast<LONG>(least / m_nBytesInFrame);
}

bool DV1394AudioOutput::ShuffleIntoFrame(BYTE* frame) {
    if (m_pReshuffler == nullptr) {
        CountUnderrun();
        return false;
    }
    LONG shuffled = 0;
    {
        std::lock_guard<std::mutex> hold(m_ReshufflerLock);
        shuffled = m_pReshuffler->ReShuffleAudio(frame, m_nFrameCounter.load() + 1, m_pChannels, m_apFifo);
    }
    if (shuffled == 0) {
        m_nFrameCounter.fetch_add(1);
        return true;
    }
    CountUnderrun();
    return false;
}
