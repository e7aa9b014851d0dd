// The timecode of the captured frames: read from every frame the capture thread takes,
// and served to deck-control timecode queries while it is fresh.
//
// m_tcCurrent, m_tcDesc and m_bTimecodeFromFrame are written by the capture thread
// under m_csCaptureThreadTimecode and read by host threads under the same lock.
#include "device/CDV1394.h"
#include "device/DeviceLog.h"
#include "digitalio/DV25Timecode.h"

using namespace dv1394;

namespace {

// A captured timecode older than this is stale: the card no longer delivers frames.
constexpr DWORD kFreshTimecodeMs = 100;
// How long a query waits for a frame that is being decoded right now.
constexpr DWORD kDecodeWaitMs = 30;

bool AllFieldsPresent(const TimeCode& record) {
    return record.hours != kTimeCodeFieldAbsent && record.minutes != kTimeCodeFieldAbsent &&
           record.seconds != kTimeCodeFieldAbsent && record.frames != kTimeCodeFieldAbsent;
}

}  // namespace

int CDV1394::DecodeTimecode(unsigned char* frame) {
    EnterCriticalSection(&m_csCaptureThreadTimecode);
    m_bTimecodeFromFrame = false;
    m_tcCurrent = TCCreateDur(kTCEmptyFrameCount, &m_tcDesc);
    TimeCode record{};
    bool dropFrame = false;
    DV25Timecode reader;
    if (frame == nullptr || !reader.GetTimecode(frame, &record, &dropFrame)) {
        LeaveCriticalSection(&m_csCaptureThreadTimecode);
        return 0;
    }
    if (AllFieldsPresent(record)) {
        // At 30 frames per second the material decides whether the count drops frames.
        if (m_tcDesc.frameRate == 30) {
            if (dropFrame && (m_tcDesc.dropFrame & 1) == 0) m_tcDesc.dropFrame = 1;
            if (!dropFrame && (m_tcDesc.dropFrame & 1) != 0) m_tcDesc.dropFrame = 0;
        }
        m_tcCurrent = TCConstruct(0, static_cast<short>(record.hours), static_cast<short>(record.minutes),
                                  static_cast<short>(record.seconds), static_cast<short>(record.frames), &m_tcDesc);
        if (TCIsEmpty(m_tcFirstDecoded)) {
            m_tcExpected = m_tcCurrent;
            m_tcFirstDecoded = m_tcCurrent;
        }
    }
    // A record was there, even if one of its fields was not.
    m_bTimecodeFromFrame = true;
    LeaveCriticalSection(&m_csCaptureThreadTimecode);
    return 1;
}

timecode_t CDV1394::CapturedTimecode() {
    EnterCriticalSection(&m_csCaptureThreadTimecode);
    const timecode_t current = m_tcCurrent;
    LeaveCriticalSection(&m_csCaptureThreadTimecode);
    return current;
}

void CDV1394::GetCurrentTimeCode(timecode_t* timecode, LONG* tick, bool* fromFrame) {
    // The caller holds m_csCaptureThreadTimecode.
    if (timecode != nullptr) *timecode = m_tcCurrent;
    if (tick != nullptr) *tick = static_cast<LONG>(m_dwLastTCTick.load());
    if (fromFrame != nullptr) *fromFrame = m_bTimecodeFromFrame.load();
}

unsigned char CDV1394::GetTimecodeFromCaptureThread(timecode_t* timecode) {
    if (timecode == nullptr) return 0;
    LONG tick = 0;
    bool fromFrame = false;
    const bool running = m_bCaptureThreadRunning;
    if (running) {
        EnterCriticalSection(&m_csCaptureThreadTimecode);
        GetCurrentTimeCode(timecode, &tick, &fromFrame);
        LeaveCriticalSection(&m_csCaptureThreadTimecode);
        if (!fromFrame) {
            // The thread may be between clearing and reading a frame's timecode.
            Sleep(kDecodeWaitMs);
            EnterCriticalSection(&m_csCaptureThreadTimecode);
            GetCurrentTimeCode(timecode, &tick, &fromFrame);
            LeaveCriticalSection(&m_csCaptureThreadTimecode);
        }
    }

    unsigned char result = 0;
    const DWORD age = GetTickCount() - static_cast<DWORD>(tick);
    EnterCriticalSection(&m_csCaptureThreadTimecode);
    if (running && age < kFreshTimecodeMs && !TCIsEmpty(*timecode)) {
        result = 1;
        // The deck's description follows the drop-frame flag of the captured material.
        if (m_tcDesc.frameRate == 30 && ((timecode->desc.dropFrame ^ m_tcDesc.dropFrame) & 1) != 0)
            m_tcDesc.dropFrame = timecode->desc.dropFrame;
    } else {
        *timecode = TCCreateDur(kTCEmptyFrameCount, &m_tcDesc);
    }
    LeaveCriticalSection(&m_csCaptureThreadTimecode);

    if (result != 0 && m_bTraceDeckControl) LogDDCTimecode("CaptureThreadTC", *timecode, 0);
    return result;
}
