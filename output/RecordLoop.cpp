// The record loop: once the card's output is started it assembles one frame at a time
// into the card's playback ring, paced by how many frames the card still holds, until
// any command (or the thread's end) arrives.
#include "device/CDV1394.h"
#include "queues/DV1394AudioOutput.h"
#include "queues/DV1394VideoOutput.h"

#include <algorithm>

namespace {

constexpr char kOutputDeviceError[] = "DV output device error";
// Fill levels of the card's ring that set the pace.
constexpr int kCardNearlyDry = 2;
constexpr int kCardWellFed = 8;
constexpr int kCardFull = 28;
// A queue that is not running counts as never empty.
constexpr ULONG kNotRunning = 9999;

}  // namespace

bool CDV1394::SendDataToCamera() {
    m_bSendingToCamera = true;
    if (!StartCardOutput()) {
        SetLastErrorText(kOutputDeviceError);
        // The Start stays unanswered. Nothing is being sent, so a later Terminate
        // takes the card out of playback itself instead of waiting for this loop.
        m_bSendingToCamera = false;
        return true;
    }
    PublishAcknowledgement(m_nCommandRunning);
    const DeviceEditMode_t mode = CurrentEditMode();
    if (mode == 1 || mode == 2) Sleep(10);

    DWORD timeout = 0;
    for (;;) {
        // Any command ends the loop; it stays posted for the dispatch that follows.
        if (WaitForMultipleObjects(3, m_hRecordEvents, FALSE, timeout) != WAIT_TIMEOUT) break;
        if (static_cast<ULONG>(m_nFramesSentToDriver.load()) >= static_cast<ULONG>(m_nNumOutputFrames.load())) {
            timeout = 1000;  // everything is sent: only a command can end the print now
            continue;
        }
        const int inCard = NumFramesInDVDriver();
        const ULONG video = m_pVideoOut != nullptr && m_pVideoOut->GetState() == VDMRunning
                                ? m_pVideoOut->GetNumFramesInQueue()
                                : kNotRunning;
        const ULONG audio = m_pAudioOut != nullptr && m_pAudioOut->GetState() == VDMRunning
                                ? static_cast<ULONG>(std::max<LONG>(m_pAudioOut->GetNumFramesInQueue(), 0))
                                : kNotRunning;
        DWORD pause = std::min(video, audio) > 1 ? 0 : 10;
        if (inCard > kCardWellFed) pause = 40;

        if (inCard <= kCardNearlyDry) {
            NotifyRecordUnderruns();
            if (!QueueAFrame()) Sleep(16);
        } else if (inCard < kCardFull) {
            QueueAFrame();
            Sleep(pause);
        } else {
            Sleep(5);
        }
    }

    ResetKordexRecord();
    m_bSendingToCamera = false;
    // The command that ended the loop has not been taken yet: answer the newest one
    // posted, so its slot is released with the card already stopped.
    PublishAcknowledgement(m_nCommandsPosted.load());
    return false;
}
