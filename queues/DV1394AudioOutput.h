// The queues behind the AudioOut stream: one PCM ring per selected channel (up to 128,
// indexed by the channel's bit in the mask), filled by a host thread and emptied by
// the record thread, which reshuffles each frame's samples into the DV frame.
//
// Everything both threads touch (state, channel count, frame counter, counters,
// expected frames) is an atomic; the host's audio-locked switch and the record
// thread's shuffle meet under a lock. The mask, the rings and the
// reshuffler are replaced only while the record thread leaves them alone (the device
// refuses otherwise).
#pragma once

#include "digitalio/DIOFifo.h"
#include "digitalio/DIOTypes.h"
#include "digitalio/DV25audioReshuffler.h"
#include "digitalio/USampsInFrame.h"
#include "hostcore/BitMask.h"
#include "interface/DigitalDevice.h"

#include <atomic>
#include <mutex>

class DV1394AudioOutput {
public:
    static constexpr int kMaxChannels = 128;

    DV1394AudioOutput();
    ~DV1394AudioOutput();
    DV1394AudioOutput(const DV1394AudioOutput&) = delete;
    DV1394AudioOutput& operator=(const DV1394AudioOutput&) = delete;

    VDMDeviceState GetState() const { return m_eState.load(std::memory_order_acquire); }
    void SetState(VDMDeviceState state) { m_eState.store(state, std::memory_order_release); }

    // Stores the rate and replaces the reshuffler and the cadence for it and `video`.
    void SetAudioFormat(DIO_AudioFormat audio, DIO_VideoFormat video);
    DIO_AudioFormat GetAudioFormat() const { return m_eAudioFormat.load(std::memory_order_acquire); }

    // ---- Rings (host threads) ----
    // Copies the mask; false (nothing changed) when it selects an index of 128 or more.
    bool SetChannels(const BitMask& channels);
    // A ring of the stored size for every selected channel; true with no channel.
    bool AllocateRingBuffer();
    void ReleaseBuffers();
    void ResetBuffer();
    void SetRingBufferSize(LONG size) { m_nRingBufferSize = size; }
    LONG GetRingBufferSize() const { return m_nRingBufferSize; }
    void SetPageSize(LONG size) { m_nPageSize = size; }
    // The channel's ring, null for a channel that has none.
    DIOFifo* ChannelFifo(int channel) const;

    // ---- Taking (the record thread) ----
    // Whole frames queued in every selected channel, judged by the next frame's size.
    LONG GetNumFramesInQueue();
    // The next frame's samples of every channel into `frame`; false (an underrun, the
    // frame number kept) when a channel holds too few.
    bool ShuffleIntoFrame(BYTE* frame);
    void CountUnderrun() { m_nUnderruns.fetch_add(1, std::memory_order_relaxed); }
    void CountError() { m_nErrors.fetch_add(1, std::memory_order_relaxed); }
    LONG GetNumFramesExpected() const { return m_nFramesExpected.load(std::memory_order_acquire); }
    void ResetStatistics() { m_nFrameCounter.store(0, std::memory_order_relaxed); }

    // ---- Queue parameters (device controls) ----
    // 0xb00001 errors and 0xb20001 underruns (get and set), 0xb20003 frames to print and
    // 0xb20006 the audio-locked byte (set only).
    bool GetParameter(LONG id, void* value) const;
    bool SetParameter(LONG id, const void* value);

private:

    // Calls `visit` for each selected channel index in order; false when the mask
    // ends before all selected channels were found.
    template <typename Visit>
    bool ForEachChannel(Visit visit) const;

    std::atomic<LONG> m_nChannels;          // bits set in the mask; -1 before the first Prepare
    BitMask* m_pChannels;                   // owned copy of the Prepare mask
    DV25audioReshuffler* m_pReshuffler;     // owned; writes the channels' PCM into a frame
    USampsInFrame* m_pSampsInFrame;         // owned; samples of each frame of the cadence
    std::atomic<DIO_AudioFormat> m_eAudioFormat;
    LONG m_nRingBufferSize;                 // bytes of each channel's ring
    BYTE* m_apBuffer[kMaxChannels];         // each selected channel's ring memory (new[])
    DIOFifo* m_apFifo[kMaxChannels];        // each selected channel's ring, owned
    ULONG m_nBytesInFrame;                  // bytes per channel of the next frame (record thread)
    LONG m_nPageSize;                       // stored only
    std::atomic<VDMDeviceState> m_eState;
    std::atomic<ULONG> m_nFrameCounter;     // frames reshuffled since Prepare
    std::atomic<ULONG> m_nErrors;
    std::atomic<ULONG> m_nUnderruns;
    std::atomic<LONG> m_nFramesExpected;    // frames the host will print; -1: until stopped
    mutable std::mutex m_ReshufflerLock;    // the reshuffler's locked flag against its use
};
