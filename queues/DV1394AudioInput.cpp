// The audio input queues: channel rings, the deshuffling of each delivered frame, the
// take protocol, format records, the audio measurement and the queue parameters.
#include "queues/DV1394AudioInput.h"

#include "hostcore/HostLog.h"
#include "interface/ControlIds.h"
#include "queues/InputFormatRecord.h"
#include "queues/QueueParameter.h"
#include "queues/TakeWithinFormat.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <new>

using namespace dv1394;

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
      m_apFormatList{},
      m_bFormatListsStarted(false) {
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
    const auto held = m_Delivery.Hold();
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
    const auto held = m_Delivery.Hold();
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
    const auto held = m_Delivery.Hold();
    m_bFormatListsStarted = false;
    const bool complete = ForEachChannel([this](int channel) {
        if (DIOFifo* fifo = ChannelFifo(channel)) fifo->ResetFifo();
    });
    if (!complete) OutputDebugStringA("DV1394AudioInput::ResetBuffers channel index is out of range.\n");
}

void DV1394AudioInput::ReleaseBuffers() {
    const auto held = m_Delivery.Hold();
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

void DV1394AudioInput::ResetStats() {
    // A reset stores a tick count in milliseconds; a measurement stores microseconds of
    // the host clock. The host sees both through the same parameter.
    const __int64 now = static_cast<__int64>(GetTickCount());
    m_nLastFrames = 0;
    m_llLastStart = now;
    m_nLastSamples = 0;
    m_bMeasureIdle = true;
    m_llPeriodStart = now;
    m_nPeriodEnd = 0;
    m_nSamplesDeshuffled = 0;
    m_nFramesDeshuffled = 0;
}

void DV1394AudioInput::StartMeasurement(LONG periodEnd) {
    m_llPeriodStart = HostMicroseconds();
    m_nPeriodEnd = periodEnd;
    m_bMeasureIdle = false;
}

void DV1394AudioInput::FinishMeasurement() {
    m_llLastStart = m_llPeriodStart.load();
    m_nLastSamples = m_nSamplesDeshuffled.load();
    m_nLastFrames = m_nFramesDeshuffled.load();
    m_bMeasureIdle = true;
}

bool DV1394AudioInput::DeshuffleFrame(unsigned char* frame, bool useAlternate, unsigned char* alternate) {
    if (m_pDeshuffler == nullptr || m_pChannels == nullptr) return false;
    // Every channel must have room for the most samples a frame can carry, so that a
    // frame's audio lands in all channels or in none.
    const ULONG room = static_cast<ULONG>(2 * m_nMaxSampsInFrame);
    bool fits = true;
    ForEachChannel([&](int channel) {
        const DIOFifo* fifo = channel < kMaxChannels ? m_apFifo[channel] : nullptr;
        if (fifo == nullptr || fifo->GetQAvail() < room) fits = false;
    });
    if (!fits) return false;

    unsigned char* source = useAlternate ? alternate : frame;
    // What this frame's audio goes through, taken once: the host replaces these only
    // between deliveries (the delivery guard).
    DV25audioDeshuffler* deshuffler = m_pDeshuffler;
    BitMask* channels = m_pChannels;
    DIOFifo* fifos[kMaxChannels];
    std::copy(std::begin(m_apFifo), std::end(m_apFifo), fifos);
    DeliveryGuard::PauseForTest(DeliveryGuard::Point::Audio);
    ULONG samples = 0;
    if (deshuffler->DeShuffleAudio(source, channels, fifos, &samples) != 0) {
        CountError();
        return false;
    }
    m_nSamplesDeshuffled.fetch_add(static_cast<LONG>(samples), std::memory_order_relaxed);
    const LONG frames = m_nFramesDeshuffled.fetch_add(1, std::memory_order_relaxed) + 1;
    if (frames == m_nPeriodEnd.load(std::memory_order_relaxed)) FinishMeasurement();
    return true;
}

LONG DV1394AudioInput::ReqTakePtr(LONG length, void** data, DIOFormat** format, int channel) {
    DIOFifo* fifo = ChannelFifo(channel);
    FormatList* list = fifo != nullptr ? m_apFormatList[channel] : nullptr;
    return TakeWithinFormat(fifo, list, length, data, format, m_nErrors);
}

void DV1394AudioInput::AckTakePtr(LONG length, int channel) {
    DIOFifo* fifo = ChannelFifo(channel);
    FormatList* list = fifo != nullptr ? m_apFormatList[channel] : nullptr;
    AckWithinFormat(fifo, list, length, m_nOverruns, m_nErrors);
}

void DV1394AudioInput::SetAudioFormat(DIO_AudioFormat audio) {
    const auto held = m_Delivery.Hold();
    m_eAudioFormat = audio;
    delete m_pDeshuffler;
    m_pDeshuffler = new (std::nothrow) DV25audioDeshuffler;
}

void DV1394AudioInput::RecordFormatChange(DIO_AudioFormat audio, DIO_VideoFormat video, bool breakFlag) {
    const LONG channels = m_nChannels.load();
    if (channels < 1 || m_pChannels == nullptr) return;
    const bool deshuffledSinceReset = m_nFramesDeshuffled.load() != 0;
    LONG handled = 0;
    for (int index = 0; handled < channels; ++index) {
        unsigned char outOfRange = 0;
        const unsigned char selected = m_pChannels->GetBit(index, &outOfRange);
        if (outOfRange != 0) return;
        if (selected == 0) continue;
        ++handled;
        FormatList* list = index < kMaxChannels ? m_apFormatList[index] : nullptr;
        if (list == nullptr) continue;
        DIOFormat* record = nullptr;
        // A list never started is started, never skipped (see the video queue).
        if (m_bFormatListsStarted && (deshuffledSinceReset || HoldsUntakenBytes(m_apFifo[index]))) {
            const ULONG position = m_apFifo[index] != nullptr ? m_apFifo[index]->GetGivePos() : 0;
            if (list->AddFormatChange(&record, position) != 0) {
                CountOverrun();
                return;
            }
            FillFormatRecord(record, audio, video);
            MarkChange(record, breakFlag);
        } else {
            list->InitFormatList(&record);
            FillFormatRecord(record, audio, video);
            MarkFirst(record);
        }
    }
    m_bFormatListsStarted = true;
}

DV1394AudioInput::Delivery DV1394AudioInput::DeliverAudio(unsigned char* frame, bool useAlternate,
                                                          unsigned char* alternate) {
    const auto held = m_Delivery.Hold();
    if (GetState() != VDMRunning) return Delivery::NotRunning;
    return DeshuffleFrame(frame, useAlternate, alternate) ? Delivery::Delivered : Delivery::NotDelivered;
}

void DV1394AudioInput::DeliverFormat(DIO_AudioFormat audio, DIO_VideoFormat video, bool changed, bool breakFlag) {
    const auto held = m_Delivery.Hold();
    if (GetState() != VDMRunning) return;
    if (changed || !m_bFormatListsStarted) RecordFormatChange(audio, video, changed && breakFlag);
}

bool DV1394AudioInput::GetParameter(LONG id, void* value) const {
    if (id == kControlErrorCount) return ReadQueueParameter(m_nErrors, value);
    if (id == kControlAudioInOverruns) return ReadQueueParameter(m_nOverruns, value);
    if (id == kControlAudioInMeasurement) {
        if (value == nullptr) return false;
        // Frames, samples, then the start time's low and high halves. The host may see
        // the words of two different measurements; each word is whole.
        const __int64 start = m_llLastStart.load();
        const LONG words[4] = {m_nLastFrames.load(), m_nLastSamples.load(),
                               static_cast<LONG>(static_cast<uint64_t>(start) & 0xFFFFFFFFu),
                               static_cast<LONG>(static_cast<uint64_t>(start) >> 32)};
        std::memcpy(value, words, sizeof words);
        return true;
    }
    return false;  // 0xb10001 is known but has no value; anything else is not ours
}

bool DV1394AudioInput::SetParameter(LONG id, const void* value) {
    if (id == kControlErrorCount) return WriteQueueParameter(m_nErrors, value);
    if (id == kControlAudioInOverruns) return WriteQueueParameter(m_nOverruns, value);
    return false;
}
