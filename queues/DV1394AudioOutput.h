// The queues behind the AudioOut stream: one PCM ring per selected channel (up to 128,
// indexed by the channel's bit in the mask), filled by a host thread and emptied by
// the record thread, which reshuffles each frame's samples into the DV frame.
//
// Everything both threads touch (state, channel count, frame counter, counters,
// expected frames) is an atomic of the documented 32-bit width.
#pragma once

#include "digitalio/DIOFifo.h"
#include "digitalio/DIOTypes.h"
#include "digitalio/DV25audioReshuffler.h"
#include "digitalio/USampsInFrame.h"
#include "hostcore/BitMask.h"
#include "interface/DigitalDevice.h"

#include <atomic>

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

    // ---- Queue parameters (device controls) ----
    // 0xb00001 errors and 0xb20001 underruns (get and set), 0xb20003 frames to print and
    // 0xb20006 the audio-locked byte (set only).
    bool GetParameter(LONG id, void* value) const;
    bool SetParameter(LONG id, const void* value);

private:
    friend struct PluginTestAccess;

    std::atomic<LONG> m_nChannels;          // bits set in the mask; -1 before the first Prepare
    BitMask* m_pChannels;                   // owned copy of the Prepare mask
    DV25audioReshuffler* m_pReshuffler;     // owned; writes the channels' PCM into a frame
    USampsInFrame* m_pSampsInFrame;         // owned; samples of each frame of the cadence
    std::atomic<DIO_AudioFormat> m_eAudioFormat;
    LONG m_nRingBufferSize;                 // bytes of each channel's ring
    BYTE* m_apBuffer[kMaxChannels];         // each selected channel's ring memory (new[])
    DIOFifo* m_apFifo[kMaxChannels];        // each selected channel's ring, owned
    ULONG m_nBytesInFrame;                  // bytes per channel of the next frame
    LONG m_nPageSize;                       // stored only
    std::atomic<VDMDeviceState> m_eState;
    std::atomic<ULONG> m_nFrameCounter;     // frames reshuffled since Prepare
    std::atomic<ULONG> m_nErrors;
    std::atomic<ULONG> m_nUnderruns;
    std::atomic<LONG> m_nFramesExpected;    // frames the host will print; -1: until stopped
};
