// Steps the three input streams (VideoIn, VideoConfidence, AudioIn) take alike, on
// their queue objects. Each answers as the stream slots do: 1 done, 0 refused with
// the state unchanged; a missing queue refuses.
#pragma once

#include "interface/DigitalDevice.h"

namespace dv1394 {

template <typename Queue>
VDMDeviceState InputStreamState(const Queue* queue) {
    return queue != nullptr ? queue->GetState() : VDMIdle;
}

// Prepared, armed or running streams may be aborted.
template <typename Queue>
unsigned char AbortInputStream(Queue* queue) {
    if (queue == nullptr) return 0;
    const VDMDeviceState state = queue->GetState();
    if (state != VDMPrepared && state != VDMArmed && state != VDMRunning) return 0;
    queue->SetState(VDMAborted);
    return 1;
}

// Armed -> Running and Running -> Armed both need the capture thread alive.
template <typename Queue>
unsigned char MoveInputStream(Queue* queue, VDMDeviceState from, VDMDeviceState to, bool threadRunning) {
    if (queue == nullptr || queue->GetState() != from || !threadRunning) return 0;
    queue->SetState(to);
    return 1;
}

}  // namespace dv1394
