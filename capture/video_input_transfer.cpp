// Moving frames through a video input ring: the capture thread writes whole frames,
// the host takes bytes without crossing a format change.
#include "capture/DV1394VideoInput.h"
#include "capture/take_within_format.h"

bool DV1394VideoInput::WriteFrame(unsigned char* frame) {
    const LONG frameSize = GetFrameSize();
    if (m_pFifo == nullptr || frame == nullptr || frameSize <= 0) return false;
    // Whole frames or nothing: a host never finds half a frame in the ring.
    if (m_pFifo->GetQAvail() < static_cast<ULONG>(frameSize)) return false;
    if (!m_pFifo->WriteBytesInto(frame, static_cast<ULONG>(frameSize), false)) return false;
    m_nFramesWritten.fetch_add(1, std::memory_order_relaxed);
    return true;
}

LONG DV1394VideoInput::ReqTakePtr(LONG length, void** data, DIOFormat** format) {
    return TakeWithinFormat(m_pFifo, &m_FormatList, length, data, format, m_nErrors);
}

void DV1394VideoInput::AckTakePtr(LONG length) {
    AckWithinFormat(m_pFifo, &m_FormatList, length, m_nOverruns, m_nErrors);
}
