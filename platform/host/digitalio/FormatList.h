// Format records keyed by byte positions of a ring buffer (DIOFifo positions).
//
// One thread adds changes (the producer of the ring), another reads and acknowledges
// them (the consumer); the list is internally locked. Positions are running 32-bit
// counters compared by signed difference.
//
// - InitFormatList starts over with a new current record (not pending).
// - AddFormatChange adds a pending record at a position, a copy of the newest record
//   with both flags clear, for the caller to fill.
// - GetNextFormatByteCount tells the consumer the current format and where the next
//   change lies (or `end` when none lies before it).
// - ACK(pos, false) makes the oldest pending record current when it lies at pos;
//   ACK(pos, true) accepts taking data up to pos, refusing when that would skip a change.
// A record handed out stays valid until the second InitFormatList after it, or until
// the list is destroyed.
#pragma once

#include "digitalio/DIOFormat.h"
#include "windows.h"

#include <deque>
#include <memory>
#include <mutex>
#include <vector>

class FormatList {
public:
    static constexpr size_t kMaxPending = 64;

    FormatList();
    ~FormatList();
    FormatList(const FormatList&) = delete;
    FormatList& operator=(const FormatList&) = delete;

    LONG InitFormatList(DIOFormat** record);
    LONG AddFormatChange(DIOFormat** record, ULONG position);
    LONG GetNextFormatByteCount(ULONG end, DIOFormat** format, ULONG* next);
    LONG ACK(ULONG position, bool dataOnly);

    size_t PendingCount() const;

private:
    struct Pending {
        ULONG position;
        DIOFormat* record;
    };

    mutable std::mutex mutex_;
    bool initialised_ = false;
    DIOFormat* current_ = nullptr;
    std::deque<Pending> pending_;
    // Every record of this generation and of the one before, so that pointers already
    // handed out stay valid as documented.
    std::vector<std::unique_ptr<DIOFormat>> records_;
    std::vector<std::unique_ptr<DIOFormat>> previousRecords_;
};
