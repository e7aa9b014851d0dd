// The audio of one DV25 frame as interleaved 16-bit PCM, through the host library's
// deshuffler (the same one the plug-in uses).
#pragma once

#include "digitalio/DIOFifo.h"
#include "digitalio/DV25audioDeshuffler.h"

#include <cstdint>
#include <vector>

class FrameAudio {
public:
    static constexpr int kMaxChannels = 4;

    FrameAudio();
    FrameAudio(const FrameAudio&) = delete;
    FrameAudio& operator=(const FrameAudio&) = delete;

    // Appends the frame's samples of channels 0 .. channels-1, interleaved, to *pcm and
    // answers the samples per channel; -1 (nothing appended) when the frame's audio
    // cannot be read. The frame must be as large as its header says.
    int64_t Append(const uint8_t* frame, int channels, std::vector<int16_t>* pcm);

private:
    DV25audioDeshuffler deshuffler_;
    std::vector<unsigned char> memory_[kMaxChannels];
    DIOFifo rings_[kMaxChannels];
};
