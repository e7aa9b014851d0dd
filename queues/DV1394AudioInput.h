// The queues behind the AudioIn stream: one PCM ring and one format list per selected
// channel (up to 128, indexed by the channel's bit in the mask), the deshuffler that
// fills them from DV frames, counters and a running measurement of delivered audio.
//
// The capture thread produces into the rings and keeps the measurement; host threads
// take from the rings and read the counters and the last measurement, hence atomics
// for everything both sides touch.
#pragma once

#include "digitalio/DIOFifo.h"
#include "digitalio/DIOTypes.h"
#include "digitalio/DV25audioDeshuffler.h"
#include "digitalio/FormatList.h"
#include "hostcore/BitMask.h"
#include "interface/DigitalDevice.h"
#include "queues/DeliveryGuard.h"

#include <atomic>

class DV1394AudioInput {
public:
    static constexpr int kMaxChannels = 128;

    DV1394AudioInput();
    ~DV1394AudioInput();
    DV1394AudioInput(const DV1394AudioInput&) = delete;
    DV1394AudioInput& operator=(const DV1394AudioInput&) = delete;

    VDMDeviceState GetState() const { return m_eState.load(std::memory_order_acquire); }
    void SetState(VDMDeviceState state) { m_eState.store(state, std::memory_order_release); }

    // ---- Channels and rings (host threads, while the capture thread leaves them alone) ----
    // Copies the mask and counts its set bits.
    void SetChannels(const BitMask& channels);
    LONG GetChannelCount() const { return m_nChannels.load(std::memory_order_acquire); }
    LONG GetRingBufferSize() const { return m_nRingBufferSize; }
    bool SetRingBufferSize(LONG size) {
        m_nRingBufferSize = size;
        return true;
    }
    void SetPageSize(LONG size) { m_nPageSize = size; }
    // A new ring, FIFO and format list for every selected channel; false on a failed
    // allocation or a mask that ends before all its channels were found.
    bool AllocateRingBuffer();
    void ResetBuffers();
    // Frees every selected channel's ring and FIFO; the format lists stay.
    void ReleaseBuffers();
    // A channel's FIFO positions; 0 for a channel without a ring.
    ULONG GetGivePos(int channel) const;
    ULONG GetTakePos(int channel) const;

    // ---- Taking (one host thread per channel) ----
    LONG ReqTakePtr(LONG length, void** data, DIOFormat** format, int channel);
    void AckTakePtr(LONG length, int channel);

    // ---- Delivering (the capture thread) ----
    // Splits the frame's audio (or, when `useAlternate`, the alternate frame's) into
    // the channel rings. False with nothing written when some channel lacks room for a
    // frame's worth, or when the deshuffler refuses (then one error is counted).
    bool DeshuffleFrame(unsigned char* frame, bool useAlternate, unsigned char* alternate);
    // What one delivery did: the stream did not run (nothing written), the audio went
    // in, or it did not (no room, or the deshuffler refused).
    enum class Delivery { NotRunning, Delivered, NotDelivered };
    // DeshuffleFrame while the stream runs, under the delivery guard.
    Delivery DeliverAudio(unsigned char* frame, bool useAlternate, unsigned char* alternate);
    // While the stream runs, under the delivery guard: notes a change of the incoming
    // format, or, when the stream joined a capture already under way and its format
    // lists were never started, starts them with the format of the material.
    void DeliverFormat(DIO_AudioFormat audio, DIO_VideoFormat video, bool changed, bool breakFlag);

    // ---- Measurement of delivered audio (the capture thread; the host reads the last one) ----
    void ResetStats();
    void StartMeasurement(LONG periodEnd);
    void FinishMeasurement();
    bool IsMeasureIdle() const { return m_bMeasureIdle.load(std::memory_order_relaxed); }
    LONG GetFramesDeshuffled() const { return m_nFramesDeshuffled.load(std::memory_order_relaxed); }

    // ---- Format (format negotiation and the capture thread) ----
    // Stores the rate and replaces the deshuffler.
    void SetAudioFormat(DIO_AudioFormat audio);
    DIO_AudioFormat GetAudioFormat() const { return m_eAudioFormat.load(std::memory_order_acquire); }
    // Capture thread: notes a change of the incoming format in every selected channel's list.
    void RecordFormatChange(DIO_AudioFormat audio, DIO_VideoFormat video, bool breakFlag);

    // ---- Queue parameters (device controls) ----
    // 0xb10002 the last measurement (four longs), 0xb00001 errors and 0xb10003 overruns
    // (readable and settable); 0xb10001 is known but has no value.
    bool GetParameter(LONG id, void* value) const;
    bool SetParameter(LONG id, const void* value);
    void CountOverrun() { m_nOverruns.fetch_add(1, std::memory_order_relaxed); }
    void CountError() { m_nErrors.fetch_add(1, std::memory_order_relaxed); }

private:

    // Calls visit(index) for each selected channel in bit order until m_nChannels were
    // visited; false when the mask ran out of range first. Nothing without channels.
    template <typename Visit>
    bool ForEachChannel(Visit visit) const {
        const LONG channels = m_nChannels.load(std::memory_order_acquire);
        if (channels < 1 || m_pChannels == nullptr) return true;
        LONG visited = 0;
        for (int index = 0; visited < channels; ++index) {
            unsigned char outOfRange = 0;
            const unsigned char selected = m_pChannels->GetBit(index, &outOfRange);
            if (outOfRange != 0) return false;
            if (selected == 0) continue;
            ++visited;
            visit(index);
        }
        return true;
    }
    // The channel's FIFO, or null for a channel outside 0..127, not selected or without a ring.
    DIOFifo* ChannelFifo(int channel) const;

    std::atomic<DIO_AudioFormat> m_eAudioFormat;  // configured input sample rate
    std::atomic<LONG> m_nChannels;                // bits set in the mask; -1 before the first Prepare
    BitMask* m_pChannels;                         // owned copy of the Prepare mask
    DV25audioDeshuffler* m_pDeshuffler;           // owned; replaced when the rate changes
    LONG m_nRingBufferSize;                       // bytes of each channel's ring
    BYTE* m_apBuffer[kMaxChannels];               // each selected channel's ring memory (new[])
    DIOFifo* m_apFifo[kMaxChannels];              // each selected channel's ring, owned
    LONG m_nMaxSampsInFrame;                      // most samples one DV frame carries per channel
    LONG m_nPageSize;                             // stored only
    std::atomic<VDMDeviceState> m_eState;
    std::atomic<LONG> m_nLastFrames;              // last completed measurement: frames,
    std::atomic<__int64> m_llLastStart;           //   its start time,
    std::atomic<LONG> m_nLastSamples;             //   and samples per channel
    std::atomic<__int64> m_llPeriodStart;         // start of the measurement in progress (us)
    std::atomic<LONG> m_nPeriodEnd;               // frame count that completes it
    std::atomic<LONG> m_nSamplesDeshuffled;       // since the last statistics reset
    std::atomic<bool> m_bMeasureIdle;             // no measurement in progress
    std::atomic<LONG> m_nFramesDeshuffled;        // since the last statistics reset
    std::atomic<LONG> m_nErrors;                  // deshuffling and take-protocol errors
    std::atomic<LONG> m_nOverruns;                // audio lost to a slow host, refused acks
    FormatList* m_apFormatList[kMaxChannels];     // each selected channel's format list, owned
    // The lists got their first records since the rings were last reset (capture thread
    // writes, host resets under the guard).
    std::atomic<bool> m_bFormatListsStarted;
    dv1394::DeliveryGuard m_Delivery;
};
