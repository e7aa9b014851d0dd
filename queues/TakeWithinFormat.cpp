#include "queues/TakeWithinFormat.h"

namespace dv1394 {

LONG TakeWithinFormat(DIOFifo* fifo, FormatList* list, LONG length, void** data, DIOFormat** format,
                      std::atomic<LONG>& errors) {
    *data = nullptr;
    if (fifo == nullptr || list == nullptr || !fifo->IsInitialized()) {
        *format = nullptr;
        return 0;
    }
    // An empty ring answers with no format either. The capture thread creates a format
    // record first and fills it afterwards, and gives the frame's bytes only after
    // that: a record with bytes behind it is complete, one without may be half written.
    if (fifo->GetQDepth() == 0) {
        *format = nullptr;
        return 0;
    }
    // Positions are running 32-bit counters: the arithmetic wraps on purpose.
    const ULONG take = fifo->GetTakePos();
    const ULONG end = take + static_cast<ULONG>(length);
    ULONG next = 0;
    if (list->GetNextFormatByteCount(end, format, &next) != 0) {
        errors.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }

    if (next == take) {
        // A change lies at the take position: make it current and hand the host the
        // new format with no bytes, so that it asks again.
        if (list->ACK(take, false) != 0 || list->GetNextFormatByteCount(end, format, &next) != 0) {
            errors.fetch_add(1, std::memory_order_relaxed);
            return 0;
        }
        if (next == take && length != 0) errors.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }

    unsigned char* bytes = nullptr;
    if (next == end) {
        LONG taken = fifo->ReqTakePtr(length, &bytes);
        if (taken < 0) {
            errors.fetch_add(1, std::memory_order_relaxed);
            return 0;
        }
        *data = taken > 0 ? bytes : nullptr;
        return taken;
    }

    // The request reaches past a change: cut it there.
    const LONG before = static_cast<LONG>(next - take);
    if (before < 0) {
        errors.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }
    LONG taken = fifo->ReqTakePtr(before, &bytes);
    if (taken < 0) {
        errors.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }
    if (taken > before) taken = before;
    *data = taken > 0 ? bytes : nullptr;
    return taken;
}

void AckWithinFormat(DIOFifo* fifo, FormatList* list, LONG length, std::atomic<LONG>& overruns,
                     std::atomic<LONG>& errors) {
    if (fifo == nullptr || list == nullptr || !fifo->IsInitialized()) return;
    const ULONG upTo = fifo->GetTakePos() + static_cast<ULONG>(length);
    if (list->ACK(upTo, true) != 0) {
        // The host would step over a change it has not been given: keep the data.
        overruns.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    if (!fifo->AckTakePtr(length)) errors.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace dv1394
