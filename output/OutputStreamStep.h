// The Arm, Start and Pause steps both output streams take alike: under the hand-over
// lock, from one state to the next once the record thread has acknowledged the command.
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
