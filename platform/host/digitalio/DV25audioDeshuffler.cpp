#include "digitalio/DV25audioDeshuffler.h"

#include "digitalio/dv25/AudioBlockReader.h"
#include "digitalio/dv25/AudioLimits.h"
#include "digitalio/dv25/AudioSourcePack.h"
#include "digitalio/dv25/DifLayout.h"

#include <cstdint>

namespace {

constexpr LONG kOk = 0;
constexpr LONG kFailed = -1;

// The frame's declared standard and its audio format. Only the header and the block
// holding the source pack need to be intact: a dropout elsewhere must not look like a
// change of format.
bool ReadFrameAudioFormat(const uint8_t* frame, dv25::AudioSource* source) {
    const DIO_VideoFormat standard = dv25::StandardOfFrame(frame);
    return standard != DIO_NoVideoFormat && dv25::FindAudioSource(frame, standard, source);
}

}  // namespace

DV25audioDeshuffler::DV25audioDeshuffler() = default;
DV25audioDeshuffler::~DV25audioDeshuffler() = default;

LONG DV25audioDeshuffler::GetRateAndSampsFromASPak(unsigned char* frame, DIO_AudioFormat* audio,
                                                   DIO_VideoFormat* video) {
    if (frame == nullptr) return kFailed;
    dv25::AudioSource source;
    if (!ReadFrameAudioFormat(frame, &source)) return kFailed;
    if (audio != nullptr) *audio = source.rate;
    if (video != nullptr) *video = source.standard;
    return kOk;
}

LONG DV25audioDeshuffler::DeShuffleAudio(unsigned char* frame, BitMask* mask, DIOFifo** channels, ULONG* samples) {
    if (frame == nullptr || mask == nullptr || channels == nullptr || samples == nullptr) return kFailed;
    dv25::AudioSource source;
    if (!ReadFrameAudioFormat(frame, &source)) return kFailed;
    // Samples are read from every audio block: each must be where its ID says.
    if (!dv25::AudioBlockIdsValid(frame, source.standard)) return kFailed;

    const ULONG bytes = source.samples * 2;
    const int bits = mask->GetNumBitsInMask();
    for (int i = dv25::kMaxChannelSlots; i < bits; ++i) {
        if (mask->GetBit(i) != 0) return kFailed;
    }
    // All or nothing: every selected ring must take the whole frame before any is written.
    for (int i = 0; i < bits; ++i) {
        if (mask->GetBit(i) == 0) continue;
        if (channels[i] == nullptr || channels[i]->GetQAvail() < bytes) return kFailed;
    }

    const int carried = dv25::ChannelsOf(source.quantization);
    const bool secondHalf = dv25::SecondHalfCarriesAudio(frame, source.standard);
    const int firstHalfChannels = carried / 2;
    uint8_t pcm[dv25::kMaxSamplesPerChannelAnyMode * 2];
    for (int i = 0; i < bits; ++i) {
        if (mask->GetBit(i) == 0) continue;
        const bool present = i < carried && (i < firstHalfChannels || secondHalf);
        if (present) {
            dv25::ReadChannel(frame, source.standard, source.quantization, i, source.samples, pcm);
        } else {
            // A channel the frame does not carry still gets the frame's length, as silence.
            for (ULONG b = 0; b < bytes; ++b) pcm[b] = 0;
        }
        // Cannot fail: the room was checked above and only this thread gives.
        channels[i]->WriteBytesInto(pcm, bytes, false);
    }
    *samples = source.samples;
    return kOk;
}
