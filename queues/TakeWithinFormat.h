// The take protocol of the input rings: a host takes bytes from a FIFO whose format
// list marks where the material changes format, and never receives bytes of two
// formats in one piece.
//
// At a change lying at the take position the host receives 0 bytes and the new format,
// and asks again; a request reaching past a change is cut at it. Both calls run on the
// ring's one consumer thread; the capture thread adds changes concurrently (the list
// is locked inside). A missing FIFO or list (no ring yet), or an empty ring, answers 0
// with a null format.
#pragma once

#include "digitalio/DIOFifo.h"
#include "digitalio/DIOFormat.h"
#include "digitalio/FormatList.h"
#include "windows.h"

#include <atomic>

namespace dv1394 {

// Bytes the host may take at *data (0 with *data null when none); *format receives
// the format those bytes are in. Protocol errors add one to `errors`.
LONG TakeWithinFormat(DIOFifo* fifo, FormatList* list, LONG length, void** data, DIOFormat** format,
                      std::atomic<LONG>& errors);

// Consumes `length` bytes unless that would skip a format change the host has not
// received (one more in `overruns`, nothing consumed). A FIFO refusing the length
// counts in `errors`.
void AckWithinFormat(DIOFifo* fifo, FormatList* list, LONG length, std::atomic<LONG>& overruns,
                     std::atomic<LONG>& errors);

}  // namespace dv1394
