// What the three input streams (VideoIn, VideoConfidence, AudioIn) share: which of
// them will run and which run, and the bookkeeping their Prepare operations reset.
#include "device/CDV1394.h"
#include "queues/DV1394AudioInput.h"
#include "queues/DV1394VideoInput.h"

namespace {

constexpr int kVideoInputs = 1;  // VideoIn or VideoConfidence
constexpr int kAudioInput = 2;

}  // namespace

int CDV1394::WhichInputDevicesWillRun() {
    int inputs = 0;
    if ((m_pVideoIn != nullptr && m_pVideoIn->GetState() != VDMIdle) ||
        (m_pVideoConfidence != nullptr && m_pVideoConfidence->GetState() != VDMIdle))
        inputs |= kVideoInputs;
    if (m_bAudioInPrepared) inputs |= kAudioInput;
    return inputs;
}

int CDV1394::WhichInputDevicesAreRunning() {
    int inputs = 0;
    if ((m_pVideoIn != nullptr && m_pVideoIn->GetState() == VDMRunning) ||
        (m_pVideoConfidence != nullptr && m_pVideoConfidence->GetState() == VDMRunning))
        inputs |= kVideoInputs;
    if (m_pAudioIn != nullptr && m_pAudioIn->GetState() == VDMRunning) inputs |= kAudioInput;
    return inputs;
}

void CDV1394::ResetCaptureBookkeeping() {
    // A start timecode belongs to one capture: the host sets it after Prepare.
    EnterCriticalSection(&m_csCaptureThreadTimecode);
    m_tcStart = TCCreateDur(kTCEmptyFrameCount, &m_tcDesc);
    m_tcCurrent = TCCreateDur(kTCEmptyFrameCount, &m_tcDesc);
    LeaveCriticalSection(&m_csCaptureThreadTimecode);
    m_bStartMissed = false;
    m_bSignalPresent = false;
    m_bStartTimecodeSet = false;
    m_bStartTimecodeUsed = false;
}

bool CDV1394::CreateCaptureThreadEvents(bool needStartedEvent) {
    // Manual-reset and clear: the thread sets "started" once the card is in capture
    // mode (or refused it) and "done" as its last act.
    if (m_hCaptureThreadStarted == nullptr)
        m_hCaptureThreadStarted = CreateEventA(nullptr, TRUE, FALSE, "CaptureThreadStarted");
    if (m_hCaptureThreadStarted == nullptr && needStartedEvent) return false;
    if (m_hCaptureThreadDone == nullptr)
        m_hCaptureThreadDone = CreateEventA(nullptr, TRUE, FALSE, "CaptureThreadDone");
    return m_hCaptureThreadDone != nullptr;
}
