#include "FrameAudio.h"

#include "hostcore/BitMask.h"

namespace {

// One frame's samples of one channel, with room to spare: 1944 samples of 2 bytes.
constexpr unsigned kRingBytes = 8192;

}  // namespace

FrameAudio::FrameAudio() {
    for (int c = 0; c < kMaxChannels; ++c) {
        memory_[c].resize(kRingBytes);
        rings_[c].InitializeFifo(memory_[c].data(), kRingBytes, 0, 0, false, false, "FrameAudio", false);
    }
}

int64_t FrameAudio::Append(const uint8_t* frame, int channels, std::vector<int16_t>* pcm) {
    if (frame == nullptr || pcm == nullptr || channels < 1 || channels > kMaxChannels) return -1;
    BitMask mask(channels);
    for (int c = 0; c < channels; ++c) mask.SetBit(c, 1);
    DIOFifo* rings[kMaxChannels] = {&rings_[0], &rings_[1], &rings_[2], &rings_[3]};
    for (DIOFifo* ring : rings) ring->ResetFifo();
    ULONG samples = 0;
    if (deshuffler_.DeShuffleAudio(const_cast<unsigned char*>(frame), &mask, rings, &samples) != 0) return -1;

    std::vector<unsigned char> bytes[kMaxChannels];
    for (int c = 0; c < channels; ++c) {
        bytes[c].resize(samples * 2);
        if (!rings_[c].CopyBytesFrom(bytes[c].data(), samples * 2)) return -1;
    }
    const size_t first = pcm->size();
    pcm->resize(first + static_cast<size_t>(samples) * channels);
    for (ULONG n = 0; n < samples; ++n) {
        for (int c = 0; c < channels; ++c) {
            // Little-endian samples.
            const auto value = static_cast<uint16_t>(bytes[c][2 * n] | (bytes[c][2 * n + 1] << 8));
            (*pcm)[first + static_cast<size_t>(n) * channels + c] = static_cast<int16_t>(value);
        }
    }
    return samples;
}
