#include "digitalio/DV25audioReshuffler.h"

#include "digitalio/USampsInFrame.h"
#include "digitalio/dv25/AudioBlockWriter.h"
#include "digitalio/dv25/AudioLimits.h"
#include "digitalio/dv25/DifLayout.h"

#include <cstdint>

namespace {

constexpr LONG kOk = 0;
constexpr LONG kFailed = -1;

}  // namespace

DV25audioReshuffler::DV25audioReshuffler(DIO_AudioFormat audio, DIO_VideoFormat video) : audio_(audio), video_(video) {}

DV25audioReshuffler::~DV25audioReshuffler() = default;

void DV25audioReshuffler::SetIsAudioLocked(bool locked) { locked_ = locked; }

bool DV25audioReshuffler::IsAudioLocked() const { return locked_; }

LONG DV25audioReshuffler::ReShuffleAudio(unsigned char* frame, ULONG frameNumber, BitMask* mask, DIOFifo** channels) {
    if (frame == nullptr || mask == nullptr) return kFailed;
    // The frame must be of the standard this reshuffler writes: its buffer is only as
    // large as its own header says.
    if (dv25::SequencesIn(video_) == 0 || dv25::StandardOfFrame(frame) != video_) return kFailed;
    const ULONG samples = USampsInFrame(audio_, video_).GetSampsForFrameNum(frameNumber);
    if (samples == 0) return kFailed;
    const ULONG bytes = samples * 2;

    const dv25::Quantization quantization = dv25::WrittenQuantizationOf(audio_);
    dv25::AudioFrameContent content{video_, audio_, quantization, samples, locked_, {nullptr, nullptr, nullptr, nullptr}};
    if (!dv25::IsWritableAudio(content)) return kFailed;

    const int bits = mask->GetNumBitsInMask();
    for (int i = dv25::kMaxChannelSlots; i < bits; ++i) {
        if (mask->GetBit(i) != 0) return kFailed;
    }
    if (channels != nullptr) {
        // All or nothing: check every selected ring before taking from any.
        for (int i = 0; i < bits; ++i) {
            if (mask->GetBit(i) == 0) continue;
            if (channels[i] == nullptr || channels[i]->GetQDepthWithoutGap() < bytes) return kFailed;
        }
    }

    const int carried = dv25::ChannelsOf(quantization);
    int16_t pcm[4][dv25::kMaxSamplesPerChannelAnyMode];
    uint8_t raw[dv25::kMaxSamplesPerChannelAnyMode * 2];
    if (channels != nullptr) {
        for (int i = 0; i < bits; ++i) {
            if (mask->GetBit(i) == 0) continue;
            // Checked above, and only this thread takes.
            channels[i]->CopyBytesFrom(raw, bytes);
            // Channels the mode cannot carry are consumed and dropped, so every ring
            // stays on the same frame.
            if (i >= carried) continue;
            for (ULONG n = 0; n < samples; ++n) {
                pcm[i][n] = static_cast<int16_t>(static_cast<uint16_t>(raw[2 * n] | (raw[2 * n + 1] << 8)));
            }
            content.channels[i] = pcm[i];
        }
    }
    return dv25::WriteAudioBlocks(frame, content) ? kOk : kFailed;
}
