// A running measurement of the audio delivered to the host: frames and samples per
// channel counted since the last reset, and the time a measurement period began. The
// capture thread keeps it; the host reads the last completed one (queue parameter
// 0xb10002) word by word, so it may see words of two neighbouring measurements.
#include "capture/DV1394AudioInput.h"

#include "hostcore/HostLog.h"

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
