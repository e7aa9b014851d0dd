// The deck's timecode description. The capture thread adopts the drop-frame flag of
// captured material into it, so host threads copy and change it under the captured
// timecode's lock and never hold that lock across a library call.
#include "device/CDV1394.h"

timecodeDesc_t CDV1394::DeckTimecodeDesc() {
    EnterCriticalSection(&m_csCaptureThreadTimecode);
    const timecodeDesc_t desc = m_tcDesc;
    LeaveCriticalSection(&m_csCaptureThreadTimecode);
    return desc;
}

void CDV1394::SetDeckTimecodeDesc(const timecodeDesc_t& desc) {
    EnterCriticalSection(&m_csCaptureThreadTimecode);
    m_tcDesc = desc;
    LeaveCriticalSection(&m_csCaptureThreadTimecode);
}

void CDV1394::SetDeckDropFrameWord(DWORD dropFrame) {
    EnterCriticalSection(&m_csCaptureThreadTimecode);
    m_tcDesc.dropFrame = dropFrame;
    LeaveCriticalSection(&m_csCaptureThreadTimecode);
}

timecode_t CDV1394::DeckNoTimecode() {
    const timecodeDesc_t desc = DeckTimecodeDesc();
    return TCCreateDur(kTCEmptyFrameCount, &desc);
}
