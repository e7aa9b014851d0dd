// A lock-free byte ring over caller memory, for exactly one producer thread and one
// consumer thread.
//
// Contract:
// - Capacity is the whole buffer (`size` bytes, 0 < size < 2^31); all of it is usable.
// - Give and take positions are running 32-bit byte counters (0 after InitializeFifo
//   and ResetFifo); depth = give - take modulo 2^32.
// - The producer owns the give side (ReqGivePtr/AckGivePtr/WriteBytesInto), the
//   consumer the take side (ReqTakePtr/AckTakePtr/CopyBytesFrom/CopyAChunkFrom);
//   queries are safe from either. InitializeFifo and ResetFifo only while both idle.
// - When full, a give request answers 0 and nothing is overwritten.
// - With gap management, a give request that does not fit before the end of the
//   buffer may wrap to the start, leaving a gap at the end that the consumer skips;
//   regions handed out are then always contiguous whole requests (one DV frame).
//   Gap bytes count in GetQDepth and not in GetQDepthWithoutGap. At most one gap.
// - Every length is checked: a request beyond what is there answers what is there
//   (or a negative value for a bad argument), never memory outside the ring.
#pragma once

#include "windows.h"

#include <atomic>
#include <cstdint>
#include <string>

class DIOFifo {
public:
    DIOFifo();
    ~DIOFifo();
    DIOFifo(const DIOFifo&) = delete;
    DIOFifo& operator=(const DIOFifo&) = delete;

    // `reserved` must be 0. `blockSize` 0 or 1 means none; otherwise `size` must be a
    // multiple of it. `gaps` turns on gap management; `wholeGives` makes gap-managed
    // give requests all or nothing. `trace` logs the ring's set-up under `name`.
    bool InitializeFifo(void* buffer, unsigned size, unsigned reserved, unsigned blockSize, bool gaps,
                        bool wholeGives, const char* name, bool trace);
    void ResetFifo();

    // Producer. Answers n contiguous free bytes at *data with min <= n <= len (min <= 0
    // means 1, or len on a gap-managed ring), or 0 with *data null; -1 for a negative
    // len or no buffer.
    LONG ReqGivePtr(LONG len, LONG min, unsigned char** data);
    // Commits n bytes of the last answer (and its gap). False when n exceeds it.
    bool AckGivePtr(LONG n);
    // False when fewer than n bytes are free. `contiguous` false copies across the
    // wrap; true writes like a give (a gap-managed ring keeps the block in one piece).
    bool WriteBytesInto(const unsigned char* source, ULONG n, bool contiguous);

    // Consumer. Answers up to len contiguous queued bytes at *data, stopping at the end
    // of the buffer or at a gap (a gap at the take position is skipped first).
    LONG ReqTakePtr(LONG len, unsigned char** data);
    // Consumes n bytes of the last answer. False when n exceeds it.
    bool AckTakePtr(LONG n);
    // All or nothing: false when fewer than n bytes (not counting a gap) are queued.
    bool CopyBytesFrom(unsigned char* destination, ULONG n);
    // The same for one whole frame of a gap-managed ring.
    bool CopyAChunkFrom(unsigned char* destination, ULONG n);

    ULONG GetQDepth() const;
    ULONG GetQDepthWithoutGap() const;
    ULONG GetQAvail() const;
    ULONG GetGivePos() const;
    ULONG GetTakePos() const;
    ULONG GetSize() const { return size_; }
    bool QueryBGM() const { return gaps_; }
    bool IsInitialized() const { return buffer_ != nullptr; }

private:
    // The gap, packed so that the consumer never sees half of an update:
    // high word its start position, low word its length (0: none).
    static uint64_t PackGap(uint32_t start, uint32_t length) { return (uint64_t{start} << 32) | length; }
    bool GapAhead(uint32_t take, uint32_t* start, uint32_t* length) const;
    void SkipGapAtTake();

    unsigned char* buffer_ = nullptr;
    uint32_t size_ = 0;
    bool gaps_ = false;
    bool wholeGives_ = false;
    std::string name_;

    std::atomic<uint32_t> give_{0};
    std::atomic<uint32_t> take_{0};
    std::atomic<uint64_t> gap_{0};

    // Producer-owned.
    uint32_t giveIndex_ = 0;
    LONG lastGiveAnswer_ = 0;
    uint32_t pendingGap_ = 0;
    // Consumer-owned.
    uint32_t takeIndex_ = 0;
    LONG lastTakeAnswer_ = 0;
};
