// Format records as the input queues write them into their format lists when the
// incoming material changes format.
#pragma once

#include "digitalio/DIOFifo.h"
#include "digitalio/DIOFormat.h"
#include "digitalio/DIOTypes.h"

namespace dv1394 {

// The record's video signal, compression and sample rate keywords.
void FillFormatRecord(DIOFormat* record, DIO_AudioFormat audio, DIO_VideoFormat video);

// A change at a position carries the change flag and, when the material broke, the
// break flag (left alone otherwise); the first record of a list carries neither.
void MarkChange(DIOFormat* record, bool breakFlag);
void MarkFirst(DIOFormat* record);

// The frame counters restart at every activation of the capture thread, while the
// host may still be taking what an earlier activation wrote. Starting the list afresh
// then would relabel those bytes and drop the changes still ahead of the host, so a
// ring that holds untaken bytes gets a change at its give position instead.
bool HoldsUntakenBytes(const DIOFifo* fifo);

}  // namespace dv1394
