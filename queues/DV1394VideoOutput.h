// The queue behind the VideoOut stream: a gap-managed ring of whole DV frames in
// page-aligned, locked memory, filled by a host thread and emptied by the record
// thread, with the underrun and error counters the host reads.
//
// Everything both threads touch (state, frame size, counters, expected frames) is an
// atomic of the documented 32-bit width. The ring itself is replaced only while the
// record thread leaves it alone (the device refuses otherwise).
#pragma once

#include "digitalio/DIOFifo.h"
#include "interface/DigitalDevice.h"

#include <atomic>
#include <mutex>

class DV1394VideoOutput {
public:
    DV1394VideoOutput();
    ~DV1394VideoOutput();
    DV1394VideoOutput(const DV1394VideoOutput&) = delete;
    DV1394VideoOutput& operator=(const DV1394VideoOutput&) = delete;

    VDMDeviceState GetState() const { return m_eState.load(std::memory_order_acquire); }
    void SetState(VDMDeviceState state) { m_eState.store(state, std::memory_order_release); }

    // ---- Ring set-up (host threads) ----
    // Reserves `size` bytes plus one granule, locked, aligned to the page size, and
    // makes the gap-managed FIFO over it. False for a size outside (0, 1 GiB], a failed
    // allocation or FIFO; the previous ring is gone either way.
    bool AllocateRingBuffer(LONG size);
    // Frees the FIFO and the ring memory.
    void ReleaseBuffers();
    // Empties the FIFO; keeps the memory.
    void ResetBuffer();
    LONG GetRingBufferSize() const { return m_nRingBufferSize; }
    // A usable ring exists (none after Terminate until the next allocation).
    bool HasRing() const { return m_pFifo != nullptr && m_pFifo->IsInitialized(); }
    void SetPageSize(LONG size) { m_nPageSize = size; }
    void SetBlockSize(LONG size) { m_nBlockSize = size; }
    // FIFO positions; 0 while there is no ring.
    ULONG GetGivePos() const;
    ULONG GetTakePos() const;

    // ---- Giving (one host thread) ----
    LONG ReqGivePtr(LONG length, LONG minimum, void** data);
    void AckGivePtr(LONG length);

    // ---- Taking (the record thread) ----
    // Whole frames queued; 0 without a ring or a frame size.
    ULONG GetNumFramesInQueue() const;
    // Exactly one frame into `destination`, or nothing when less than a frame is queued.
    bool CopyFrameOut(BYTE* destination);
    // An empty ring is an underrun only while frames the host announced are still due.
    void CountUnderrun();
    void CountError() { m_nErrors.fetch_add(1, std::memory_order_relaxed); }
    ULONG GetNumFramesExpected() const { return m_nFramesExpected.load(std::memory_order_acquire); }
    void ResetFrameCounters();

    void SetFrameSize(ULONG size) { m_nFrameSize.store(size, std::memory_order_release); }
    ULONG GetFrameSize() const { return m_nFrameSize.load(std::memory_order_acquire); }
    void SetCurrentFrame(LONG frame) { m_nCurrentFrame.store(frame, std::memory_order_relaxed); }
    LONG GetCurrentFrame() const { return m_nCurrentFrame.load(std::memory_order_relaxed); }

    // ---- Queue parameters (device controls) ----
    // 8 frames to print (set only), 0x20005 the underrun record (four words), 0xb00001
    // errors (get only).
    bool GetParameter(LONG id, void* value) const;
    bool SetParameter(LONG id, const void* value);

private:

    void* m_pRawBuffer;                 // reserved and locked block; null when none
    BYTE* m_pBuffer;                    // block start aligned up to the page size
    DIOFifo* m_pFifo;                   // owned; exists while the block does
    std::atomic<ULONG> m_nFrameSize;    // bytes of one DV frame of the configured standard
    LONG m_nRingBufferSize;             // usable ring bytes, a multiple of the granularity
    LONG m_nAllocSize;                  // requested size plus the granularity
    LONG m_nPageSize;                   // 0 until negotiated (then treated as 512)
    LONG m_nBlockSize;                  // 0 until negotiated (then treated as 512)
    LONG m_nGranularity;                // the larger of page and block size
    std::atomic<VDMDeviceState> m_eState;
    std::atomic<ULONG> m_nUnderruns;    // first word of the underrun record
    std::atomic<ULONG> m_nErrors;
    ULONG m_aUnderrunInfo[3];           // the record's other words, kept as the host set them
    std::atomic<ULONG> m_nFramesTaken;  // frames copied out since Prepare
    std::atomic<ULONG> m_nFramesExpected;  // frames the host will print; 0 until set
    std::atomic<LONG> m_nCurrentFrame;  // as the host last set it
    // The underrun record is four words that the host sets and reads as one.
    mutable std::mutex m_UnderrunRecordLock;
};
