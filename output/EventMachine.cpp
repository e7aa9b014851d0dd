// The output streams' event machine, run by the record thread for every command a
// stream slot hands over. From which output streams are prepared and the deck's edit
// mode it decides when to switch the card to output, when to preload and when to send.
//
// "Done" (AcknowledgeCommand) releases the waiting slot; a step that fails leaves the
// command unanswered, so the slot times out and reports failure. The slots set their
// stream's new state only after the answer, so while a command runs the other stream
// shows the state from before: the first of two Arms or Starts only answers, the second
// does the shared work.
#include "device/CDV1394.h"
#include "queues/DV1394AudioOutput.h"
#include "queues/DV1394VideoOutput.h"

DeviceEditMode_t CDV1394::CurrentEditMode() {
    DeviceEditMode_t mode = static_cast<DeviceEditMode_t>(0);
    DeviceGetEditMode(&mode);
    return mode;
}

void CDV1394::TakeStartTimecode(DeviceEditMode_t mode) {
    if (!m_bStartTimecodeSet.load()) return;
    EnterCriticalSection(&m_csCaptureThreadTimecode);
    m_tcRecord = m_tcStart;
    LeaveCriticalSection(&m_csCaptureThreadTimecode);
    // In an edit the tape keeps its own timecode: the start timecode is not "used".
    if (mode == 0) m_bStartTimecodeUsed = true;
}

void CDV1394::ProcessEvent(CDV1394_Event event, CDV1394_Device device) {
    const LONG devices = m_nOutputDevices.load();
    if (devices == 3) {
        ProcessDoubleDeviceEvent(event, device);
    } else if (devices != 0) {
        ProcessSingleDeviceEvent(event, device);
    }
    // With no output stream prepared (the last Terminate) there is nothing to answer.
}

void CDV1394::ProcessSingleDeviceEvent(CDV1394_Event event, CDV1394_Device device) {
    const DeviceEditMode_t mode = CurrentEditMode();
    const bool edit = mode == 1 || mode == 2;
    // Output on, the stream's frame count, and the preload; false stops without answer.
    auto preparePlayback = [&] {
        if (!EnableKordexOutput()) return false;
        if (device == DeviceAudioOut) {
            m_nNumOutputFrames = m_pAudioOut != nullptr ? m_pAudioOut->GetNumFramesExpected() : 0;
            return PreloadAudio();
        }
        m_nNumOutputFrames = m_pVideoOut != nullptr ? static_cast<LONG>(m_pVideoOut->GetNumFramesExpected()) : 0;
        return PreloadVideo();
    };

    switch (event) {
    case EventPrepare:
        m_nNumOutputFrames = 0;
        m_bExtraFrameQueued = false;
        AcknowledgeCommand();
        return;
    case EventArm:
        TakeStartTimecode(mode);
        if (mode == 0 && !preparePlayback()) return;
        AcknowledgeCommand();
        return;
    case EventStart:
        if (edit && !preparePlayback()) return;
        // SendDataToCamera answers the Start itself once the card runs.
        if (SendDataToCamera()) RecordThreadErrors();
        return;
    case EventPause:
    case EventAbort:
    case EventTerminate:
        AcknowledgeCommand();
        m_bExtraFrameQueued = false;
        return;
    default:
        AcknowledgeCommand();
        return;
    }
}

void CDV1394::ProcessDoubleDeviceEvent(CDV1394_Event event, CDV1394_Device device) {
    const DeviceEditMode_t mode = CurrentEditMode();
    const bool known = device == DeviceAudioOut || device == DeviceVideoOut;
    VDMDeviceState other = VDMIdle;
    if (device == DeviceAudioOut && m_pVideoOut != nullptr) other = m_pVideoOut->GetState();
    if (device == DeviceVideoOut && m_pAudioOut != nullptr) other = m_pAudioOut->GetState();

    if (!known) {
        AcknowledgeCommand();
        return;
    }
    switch (event) {
    case EventPrepare:
        AcknowledgeCommand();
        return;
    case EventArm:
        TakeStartTimecode(mode);
        if (mode != 0) {
            AcknowledgeCommand();
            return;
        }
        if (!EnableKordexOutput()) return;
        if (other == VDMArmed) {
            DetermineNumOutputFrames();
            if (!PreloadAudioAndVideo()) return;
        }
        AcknowledgeCommand();
        return;
    case EventStart:
        if (other != VDMRunning) {
            AcknowledgeCommand();
            return;
        }
        if (mode != 1 && mode != 2) {
            // The result is of no further use here: a refused start stays unanswered.
            SendDataToCamera();
            return;
        }
        {
            const bool enabled = EnableKordexOutput();
            DetermineNumOutputFrames();
            const bool preloaded = PreloadAudioAndVideo();
            if (!preloaded || !enabled) return;
        }
        if (SendDataToCamera()) RecordThreadErrors();
        return;
    case EventPause:
    case EventAbort:
    case EventTerminate:
        AcknowledgeCommand();
        m_bExtraFrameQueued = false;
        return;
    default:
        AcknowledgeCommand();
        return;
    }
}
