#include "sim/BuiltInTape.h"

#include "digitalio/DIOFifo.h"
#include "digitalio/DV25Timecode.h"
#include "digitalio/DV25audioReshuffler.h"
#include "digitalio/DVFrame.h"
#include "digitalio/USampsInFrame.h"
#include "hostcore/BitMask.h"
#include "hostcore/Timecode.h"
#include "sim/DVFrameLayout.h"
#include "sim/TapeLabel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace cardsim {

namespace {

constexpr double kPi = 3.14159265358979323846;

DIO_VideoFormat Other(DIO_VideoFormat standard) { return standard == DIO_PAL ? DIO_NTSC : DIO_PAL; }

int SampleRate(DIO_AudioFormat audio) {
    switch (audio) {
    case DIO_Audio44100: return 44100;
    case DIO_Audio32000: return 32000;
    default: return 48000;
    }
}

bool DropFrameFor(DIO_VideoFormat standard) { return standard == DIO_NTSC; }

}  // namespace

int64_t SamplesBeforeFrame(DIO_AudioFormat audio, DIO_VideoFormat video, int64_t index) {
    const int64_t rate = SampleRate(audio);
    if (video == DIO_PAL) return index * rate / 25;
    if (audio == DIO_Audio48000) {
        static const int64_t kCyclePrefix[5] = {0, 1600, 3202, 4804, 6406};
        return 8008 * (index / 5) + kCyclePrefix[index % 5];
    }
    return index * rate * 1001 / 30000;
}

BuiltInTape::BuiltInTape(const BuiltInTapeOptions& options) : options_(options) {
    if (options_.standard != DIO_PAL) options_.standard = DIO_NTSC;
    if (options_.audio < DIO_Audio48000 || options_.audio > DIO_Audio32000) options_.audio = DIO_Audio48000;
    options_.materialFrames = std::max<int64_t>(options_.materialFrames, 0);
    options_.blankFrames = std::max<int64_t>(options_.blankFrames, 0);
    if (options_.formatSwitchAt >= 0) {
        // The second part starts on the label the first part would have shown there.
        const DIO_VideoFormat second = Other(options_.standard);
        TapeTimecode label = LabelFromFrameCount(options_.firstFrameCount + static_cast<LONG>(options_.formatSwitchAt),
                                                 options_.standard, DropFrameFor(options_.standard));
        label.frames = std::min(label.frames, TimecodeRate(second) - 1);
        label.dropFrame = DropFrameFor(second);
        if (!IsValidLabel(label, second)) label.frames = 2;
        secondPartFirstCount_ = LabelToFrameCount(label, second);
    }
}

bool BuiltInTape::InSecondPart(int64_t position) const {
    return options_.formatSwitchAt >= 0 && position >= options_.formatSwitchAt;
}

DIO_VideoFormat BuiltInTape::StandardAt(int64_t position) const {
    return InSecondPart(position) ? Other(options_.standard) : options_.standard;
}

LONG BuiltInTape::FrameCountAt(int64_t position) const {
    if (InSecondPart(position))
        return secondPartFirstCount_ + static_cast<LONG>(position - options_.formatSwitchAt);
    return options_.firstFrameCount + static_cast<LONG>(position);
}

bool BuiltInTape::TimecodeAt(int64_t position, TapeTimecode* timecode) const {
    if (position < 0 || position >= Length()) return false;
    const DIO_VideoFormat standard = StandardAt(position);
    *timecode = LabelFromFrameCount(FrameCountAt(position), standard, DropFrameFor(standard));
    return true;
}

int64_t BuiltInTape::GuessPosition(const TapeTimecode& label) const {
    TapeTimecode wanted = label;
    wanted.dropFrame = DropFrameFor(options_.standard);
    if (!IsValidLabel(wanted, options_.standard)) return -1;
    return static_cast<int64_t>(LabelToFrameCount(wanted, options_.standard)) - options_.firstFrameCount;
}

int64_t BuiltInTape::TracksBefore(int64_t position) const {
    const int64_t firstTracks = SequencesPerFrame(options_.standard);
    if (!InSecondPart(position)) return position * firstTracks;
    return options_.formatSwitchAt * firstTracks +
           (position - options_.formatSwitchAt) * SequencesPerFrame(Other(options_.standard));
}

size_t BuiltInTape::ReadFrame(int64_t position, uint8_t* destination, size_t capacity) const {
    if (position < 0 || position >= Length() || destination == nullptr) return 0;
    const DIO_VideoFormat standard = StandardAt(position);
    const size_t size = FrameSize(standard);
    if (capacity < size) return 0;

    DVFrame generator;
    std::unique_ptr<unsigned char[]> picture(
        generator.GenTestPatternFrame(standard, static_cast<ULONG>(position)));
    if (!picture) return 0;
    std::memcpy(destination, picture.get(), size);

    const int64_t indexInPart = InSecondPart(position) ? position - options_.formatSwitchAt : position;
    if (!WriteTones(destination, standard, indexInPart)) return 0;

    const timecodeDesc_t desc =
        TCCreateDesc(DropFrameFor(standard) ? 1 : 0, static_cast<unsigned short>(TimecodeRate(standard)));
    DV25Timecode writer;
    if (!writer.InsertTimecode(destination, TCCreateDur(FrameCountAt(position), &desc), standard, false)) return 0;
    return size;
}

bool BuiltInTape::WriteTones(uint8_t* frame, DIO_VideoFormat standard, int64_t indexInPart) const {
    const DIO_AudioFormat audio = options_.audio;
    const ULONG frameNumber = static_cast<ULONG>(indexInPart + 1);
    const ULONG count = USampsInFrame(audio, standard).GetSampsForFrameNum(frameNumber);
    if (count == 0) return false;
    const int64_t first = SamplesBeforeFrame(audio, standard, indexInPart);
    const double rate = SampleRate(audio);

    const double frequencies[2] = {kChannel1Hz, kChannel2Hz};
    std::vector<uint8_t> memory[2];
    DIOFifo rings[2];
    DIOFifo* channels[2] = {&rings[0], &rings[1]};
    std::vector<uint8_t> samples(count * 2);
    for (int c = 0; c < 2; ++c) {
        for (ULONG i = 0; i < count; ++i) {
            // The phase comes from the sample's index on the tape, so the tone runs on
            // without a click from frame to frame.
            const double t = static_cast<double>(first + i) / rate;
            const auto v = static_cast<int16_t>(std::lround(kToneAmplitude * std::sin(2 * kPi * frequencies[c] * t)));
            samples[2 * i] = static_cast<uint8_t>(v & 0xFF);  // little-endian PCM
            samples[2 * i + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
        }
        memory[c].resize(count * 2);
        if (!rings[c].InitializeFifo(memory[c].data(), count * 2, 0, 0, false, false, "tone", false)) return false;
        if (!rings[c].WriteBytesInto(samples.data(), count * 2, false)) return false;
    }
    BitMask mask(2);
    mask.SetBit(0, 1);
    mask.SetBit(1, 1);
    DV25audioReshuffler reshuffler(audio, standard);
    return reshuffler.ReShuffleAudio(frame, frameNumber, &mask, channels) == 0;
}

}  // namespace cardsim
