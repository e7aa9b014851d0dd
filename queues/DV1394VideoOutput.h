// The queue behind the VideoOut stream: a gap-managed ring of whole DV frames in
// page-aligned, locked memory, filled by a host thread and emptied by the record
// thread, with the underrun and error counters the host reads.
//
// Everything both threads touch (state, frame size, counters, expected frames) is an
// atomic of the documented 32-bit width.
#pragma once

#include "digitalio/DIOFifo.h"
#include "interface/DigitalDevice.h"

#include <atomic>

class DV1394VideoOutput {
public:
    DV1394VideoOutput();
    ~DV1394VideoOutput();
    DV1394VideoOutput(const DV1394VideoOutput&) = delete;
    DV1394VideoOutput& operator=(const DV1394VideoOutput&) = delete;

    VDMDeviceState GetState() const { return m_eState.load(std::memory_order_acquire); }
    void SetState(VDMDeviceState state) { m_eState.store(state, std::memory_order_release); }

    // Frees the FIFO and the ring memory.
    void ReleaseBuffers();

    void SetFrameSize(ULONG size) { m_nFrameSize.store(size, std::memory_order_release); }
    ULONG GetFrameSize() const { return m_nFrameSize.load(std::memory_order_acquire); }

    // ---- Queue parameters (device controls) ----
    // 8 frames to print (set only), 0x20005 the underrun record (four words), 0xb00001
    // errors (get only).
    bool GetParameter(LONG id, void* value) const;
    bool SetParameter(LONG id, const void* value);

private:
    friend struct PluginTestAccess;

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
    LONG m_nCurrentFrame;               // as the host last set it
};
