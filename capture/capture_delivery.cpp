// Handing one captured frame to the input streams, and what happens when the host
// does not keep up. Runs on the capture thread.
#include "capture/capture_run.h"

#include "KDXCORE.h"
#include "capture/DV1394AudioInput.h"
#include "capture/DV1394VideoInput.h"

namespace {

bool Running(const DV1394VideoInput* queue) {
    return queue != nullptr && queue->GetState() == VDMRunning;
}

bool Running(const DV1394AudioInput* queue) {
    return queue != nullptr && queue->GetState() == VDMRunning;
}

}  // namespace

int CDV1394::NumFramesInCaptureQueue() {
    return CapturedFrameCounter() - m_nCaptureFrameBase - m_nCaptureFramesTaken;
}

void CDV1394::NotifyCaptureOverrun() {
    if (Running(m_pVideoIn)) m_pVideoIn->CountOverrun();
    if (Running(m_pVideoConfidence)) m_pVideoConfidence->CountOverrun();
    if (Running(m_pAudioIn)) m_pAudioIn->CountOverrun();
}

void CDV1394::DeliverCapturedFrame(CaptureRun& run, unsigned char* frame) {
    bool videoPending = true;
    bool audioPending = true;
    // An unrecognised frame (no readable audio source pack) reaches only the monitor.
    if (DetectAndProcessFormatChange(frame, &run.trackedAudio, &run.trackedVideo) == 1) {
        videoPending = false;
        audioPending = false;
    }
    CheckTimeCodeContinuity(&run.lastTimecode, frame, &run.repeat);

    // The monitor takes what fits and misses the rest without counting it.
    if (Running(m_pVideoConfidence)) m_pVideoConfidence->WriteFrame(frame);

    // A frame that does not fit is retried only while both its video and its audio
    // wait for room, so that picture and sound stay together. Once
    // one of them is settled the other's attempt is given up without counting, unless
    // the card's backlog shows the host has fallen behind: then the loss is counted.
    while (videoPending && audioPending && !m_bStopCaptureThread) {
        if (!Running(m_pVideoIn) || m_pVideoIn->WriteFrame(frame)) {
            videoPending = false;
        } else if (NumFramesInCaptureQueue() > kCaptureBacklogLimit) {
            m_pVideoIn->CountOverrun();
            videoPending = false;
        }
        // A frame repeating the previous timecode carries the same sound again: the
        // black frame's silence goes in its place.
        if (!Running(m_pAudioIn) || m_pAudioIn->DeshuffleFrame(frame, run.repeat, m_pBlackFrame)) {
            audioPending = false;
        } else if (NumFramesInCaptureQueue() > kCaptureBacklogLimit) {
            m_pAudioIn->CountOverrun();
            audioPending = false;
        }
        // Waiting for the host to make room: give the processor to it.
        if (videoPending && audioPending) Sleep(1);
    }
}
