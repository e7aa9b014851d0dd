// The queue behind one video input stream (VideoIn or VideoConfidence): a ring of
// whole DV frames in page-aligned, locked memory, its format records and counters.
//
// The capture thread is the ring's only producer and one host thread its consumer.
// The state, the frame size and the counters are written by one side and read by the
// other, hence atomics of the documented 32-bit width.
#pragma once

#include "digitalio/DIOFifo.h"
#include "digitalio/DIOTypes.h"
#include "digitalio/FormatList.h"
#include "interface/DigitalDevice.h"
#include "queues/DeliveryGuard.h"

#include <atomic>

class DV1394VideoInput {
public:
    DV1394VideoInput();
    ~DV1394VideoInput();
    DV1394VideoInput(const DV1394VideoInput&) = delete;
    DV1394VideoInput& operator=(const DV1394VideoInput&) = delete;

    VDMDeviceState GetState() const { return m_eState.load(std::memory_order_acquire); }
    void SetState(VDMDeviceState state) { m_eState.store(state, std::memory_order_release); }

    // Frees the ring memory and its FIFO; the usable size is kept.
    void ReleaseBuffers();

    // ---- Ring set-up (host threads, while the capture thread leaves the ring alone) ----
    LONG GetRingBufferSize() const { return m_nRingBufferSize; }
    // A ring exists and its FIFO is usable (an allocation may have failed half way).
    bool HasRing() const { return m_pFifo != nullptr && m_pFifo->IsInitialized(); }
    // Allocates `size` bytes plus alignment, page aligned and locked in memory, and
    // makes the FIFO over it. 1 on success; 0 for a size outside (0, 1 GiB], a ring the
    // capture thread may be writing (Armed or Running), or a failed allocation.
    LONG AllocateRingBuffer(LONG size);
    void ResetBuffer();
    void SetPageSize(LONG size) { m_nPageSize = size; }
    void SetBlockSize(LONG size) { m_nBlockSize = size; }
    // FIFO positions; 0 while there is no ring.
    ULONG GetGivePos() const;
    ULONG GetTakePos() const;

    // ---- Taking (one host thread) ----
    // Up to `length` bytes, never across the next format change; at a change 0 bytes
    // and the new format. Errors count in m_nErrors and answer 0.
    LONG ReqTakePtr(LONG length, void** data, DIOFormat** format);
    // A refused acknowledgement (it would skip a format change) counts an overrun.
    void AckTakePtr(LONG length);

    // ---- Delivering (the capture thread) ----
    // What one delivery did: the stream did not run (nothing written), the frame went
    // in, or it found no room.
    enum class Delivery { NotRunning, Delivered, NoRoom };
    // The whole frame while the stream runs, under the delivery guard.
    Delivery DeliverFrame(unsigned char* frame);
    // While the stream runs, under the delivery guard: notes a change of the incoming
    // format, or, when the stream joined a capture already under way and its format
    // list was never started, starts it with the format of the material.
    void DeliverFormat(DIO_AudioFormat audio, DIO_VideoFormat video, bool changed, bool breakFlag);
    // The whole frame (the configured frame size) or nothing when it does not fit; no
    // state check.
    bool WriteFrame(unsigned char* frame);
    LONG GetFramesWritten() const { return m_nFramesWritten.load(std::memory_order_relaxed); }
    void ResetFramesWritten() { m_nFramesWritten.store(0, std::memory_order_relaxed); }

    // ---- Format (format negotiation and the capture thread) ----
    void SetFrameSize(LONG size) { m_nFrameSize.store(size, std::memory_order_release); }
    LONG GetFrameSize() const { return m_nFrameSize.load(std::memory_order_acquire); }
    // Capture thread: notes a change of the incoming format at the ring's give position.
    void RecordFormatChange(DIO_AudioFormat audio, DIO_VideoFormat video, bool breakFlag);

    // ---- Queue parameters (device controls) ----
    // 0x70001 overruns and 0xb00001 errors (one long each, readable and settable);
    // 0xb10001 is known but has no value. Anything else is refused.
    bool GetParameter(LONG id, void* value) const;
    bool SetParameter(LONG id, const void* value);
    void CountOverrun() { m_nOverruns.fetch_add(1, std::memory_order_relaxed); }
    void CountError() { m_nErrors.fetch_add(1, std::memory_order_relaxed); }

private:

    std::atomic<LONG> m_nFrameSize;   // bytes of one DV frame of the configured standard
    LONG m_nRingBufferSize;           // usable ring bytes; 0 until a ring was allocated
    LONG m_nAllocSize;                // granularity plus the requested size
    void* m_pRawBuffer;               // start of the allocated block
    BYTE* m_pBuffer;                  // ring start inside the block, page aligned
    DIOFifo* m_pFifo;                 // owned; exists while the block does
    LONG m_nPageSize;
    LONG m_nBlockSize;
    LONG m_nGranularity;              // the larger of page and block size
    std::atomic<VDMDeviceState> m_eState;
    std::atomic<LONG> m_nOverruns;    // frames or format records lost to a slow host
    std::atomic<LONG> m_nErrors;      // take-protocol errors and capture-thread failures
    std::atomic<LONG> m_nFramesWritten;
    FormatList m_FormatList;          // format records keyed by ring byte positions
    // The list got its first record since the ring was last reset (capture thread writes,
    // host resets under the guard).
    std::atomic<bool> m_bFormatListStarted;
    dv1394::DeliveryGuard m_Delivery;
};
