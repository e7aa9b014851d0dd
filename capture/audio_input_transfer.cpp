// Moving audio through the AudioIn rings: the capture thread splits each delivered
// frame's audio into the selected channels, the host takes each channel's samples
// without crossing a format change.
#include "capture/DV1394AudioInput.h"
#include "capture/take_within_format.h"

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
    ULONG samples = 0;
    if (m_pDeshuffler->DeShuffleAudio(source, m_pChannels, m_apFifo, &samples) != 0) {
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
