// The queue behind one video input stream (VideoIn or VideoConfidence): a ring of
// whole DV frames in page-aligned, locked memory, its format records and counters.
//
// The capture thread is the ring's only producer and one host thread its consumer.
// The state, the frame size and the counters are written by one side and read by the
// other, hence atomics of the documented 32-bit width.
#pragma once

#include "DigitalDevice.h"
#include "digitalio/DIOTypes.h"
#include "digitalio/DIOFifo.h"
#include "digitalio/FormatList.h"

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
    friend struct PluginTestAccess;

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
};
