// What the card has been given and has played of the current print, and the counts
// that the record thread leaves for the host.
#include "device/CDV1394.h"
#include "KDXCORE.h"
#include "queues/DV1394AudioOutput.h"
#include "queues/DV1394VideoOutput.h"

void CDV1394::TracePlayback(const char* line) {
    if (m_bTracePlayback) OutputDebugStringA(line);
}

void CDV1394::ResetPlaybackCounters() {
    const LONG played = PdvGetPlaybackFrame();
    TracePlayback("PdvGetPlaybackFrame\n");
    const LONG base = played == -1 ? 0 : played;
    m_nPlaybackFrameBase = base;
    m_nFramesSentToDriver = 0;
    m_nPlaybackFrameNow = base;
    m_nFramesInDriver = 0;
}

int CDV1394::NumFramesInDVDriver() {
    LONG played = PdvGetPlaybackFrame();
    TracePlayback("PdvGetPlaybackFrame\n");
    if (played < 0) played = 0;
    m_nPlaybackFrameNow = played;
    const LONG inCard = m_nFramesSentToDriver.load() + m_nPlaybackFrameBase.load() - played;
    m_nFramesInDriver = inCard;
    return inCard;
}

LONG CDV1394::NumFramesPlayed() {
    // Host threads call this too: it works on a local, not on the record thread's reading.
    const LONG played = PdvGetPlaybackFrame();
    TracePlayback("PdvGetPlaybackFrame\n");
    LONG frames = played - m_nPlaybackFrameBase.load();
    if (m_bExtraFrameQueued.load()) --frames;  // the lead-in still is not the host's frame
    return frames < 0 ? 0 : frames;
}

void CDV1394::NotifyRecordUnderruns() {
    if (m_pVideoOut != nullptr && m_pVideoOut->GetState() == VDMRunning) m_pVideoOut->CountUnderrun();
}

void CDV1394::RecordThreadErrors() {
    if (m_pVideoOut != nullptr) m_pVideoOut->CountError();
    if (m_pAudioOut != nullptr) m_pAudioOut->CountError();
}
