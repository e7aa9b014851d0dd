// The steps both output streams take alike, under the hand-over lock: Arm, Start and
// Pause from one state to the next once the record thread has acknowledged the
// command, and Terminate.
#pragma once

#include "device/CDV1394.h"

#include <mutex>

template <typename Queue>
unsigned char CDV1394::StepOutputStream(Queue* queue, VDMDeviceState from, VDMDeviceState to, CDV1394_Event event,
                                        CDV1394_Device device, bool needsRecordThread) {
    std::lock_guard<std::mutex> hold(m_OutputHandOverLock);
    if (queue == nullptr || queue->GetState() != from || (needsRecordThread && !m_bRecordThreadRunning)) return 0;
    if (!HandOverOutputCommand(event, device)) return 0;
    queue->SetState(to);
    return 1;
}

template <typename Queue>
unsigned char CDV1394::TerminateOutputStream(Queue* queue, CDV1394_Device device, LONG keptDevice,
                                             std::atomic<bool>& prepared) {
    std::lock_guard<std::mutex> hold(m_OutputHandOverLock);
    const LONG devices = m_nOutputDevices.load();
    if (devices == 3 || devices == (3 & ~keptDevice)) m_nOutputDevices.store(devices & keptDevice);
    m_bStartTimecodeSet = false;
    m_bStartTimecodeUsed = false;
    prepared = false;
    if (queue == nullptr || queue->GetState() == VDMIdle) return 1;
    bool ringsFree = false;
    if (!StopOutputForTerminate(device, &ringsFree)) return 0;
    // Rings the record thread may still read are kept for the next allocation or the
    // device's end.
    if (ringsFree) {
        queue->ResetBuffer();
        queue->ReleaseBuffers();
    }
    queue->SetState(VDMIdle);
    return 1;
}
