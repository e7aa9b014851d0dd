#include "TestTape.h"

#include "DvFile.h"
#include "DvFrameFacts.h"
#include "RecordingDateArg.h"

#include "digitalio/DIOFifo.h"
#include "digitalio/DV25Timecode.h"
#include "digitalio/DV25audioReshuffler.h"
#include "digitalio/DVFrame.h"
#include "digitalio/USampsInFrame.h"
#include "hostcore/BitMask.h"
#include "sim/BuiltInTape.h"

#include <cmath>
#include <cstring>
#include <memory>

const double kTestToneHz[4] = {cardsim::BuiltInTape::kChannel1Hz, cardsim::BuiltInTape::kChannel2Hz, 2000.0, 250.0};

namespace {

constexpr double kPi = 3.14159265358979323846;

// One frame's samples of a tone, little-endian, continuing the phase of the samples
// before it so that the tone runs on without a click.
std::vector<uint8_t> ToneSamples(double hertz, int sampleRate, int64_t first, ULONG count) {
    std::vector<uint8_t> bytes(count * 2);
    for (ULONG i = 0; i < count; ++i) {
        const double t = static_cast<double>(first + i) / sampleRate;
        const auto v = static_cast<int16_t>(
            std::lround(cardsim::BuiltInTape::kToneAmplitude * std::sin(2 * kPi * hertz * t)));
        bytes[2 * i] = static_cast<uint8_t>(v & 0xFF);
        bytes[2 * i + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
    }
    return bytes;
}

}  // namespace

bool CheckTestTapeOptions(const TestTapeOptions& options, std::string* error) {
    if (options.standard != DIO_NTSC && options.standard != DIO_PAL) {
        *error = "the standard must be ntsc or pal";
        return false;
    }
    if (SampleRateOf(options.audio) == 0) {
        *error = "the audio rate must be 48000, 44100 or 32000";
        return false;
    }
    if (options.channels != 2 && options.channels != 4) {
        *error = "a DV tape has 2 or 4 audio channels";
        return false;
    }
    if (options.channels == 4 && options.audio != DIO_Audio32000) {
        *error = "4 audio channels need --rate 32000: DV25 carries four channels only as 12-bit 32 kHz audio";
        return false;
    }
    if (options.frames < 1) {
        *error = "a tape needs at least one frame";
        return false;
    }
    return true;
}

int64_t FramesInSeconds(DIO_VideoFormat standard, double seconds) {
    const double rate = standard == DIO_PAL ? 25.0 : 30000.0 / 1001.0;
    return std::llround(seconds * rate);
}

bool BuildTestTapeFrame(const TestTapeOptions& options, int64_t index, std::vector<uint8_t>* frame) {
    const size_t size = FrameSizeOf(options.standard);
    DVFrame generator;
    std::unique_ptr<unsigned char[]> picture(generator.GenTestPatternFrame(options.standard, static_cast<ULONG>(index)));
    if (!picture || size == 0) return false;
    frame->assign(picture.get(), picture.get() + size);

    // Audio: the locked cadence's share of samples for this frame, on every channel.
    const ULONG frameNumber = static_cast<ULONG>(index + 1);
    const ULONG count = USampsInFrame(options.audio, options.standard).GetSampsForFrameNum(frameNumber);
    if (count == 0) return false;
    const int64_t first = cardsim::SamplesBeforeFrame(options.audio, options.standard, index);
    std::vector<uint8_t> memory[4];
    DIOFifo rings[4];
    DIOFifo* channels[4] = {&rings[0], &rings[1], &rings[2], &rings[3]};
    BitMask mask(options.channels);
    for (int c = 0; c < options.channels; ++c) {
        const std::vector<uint8_t> tone = ToneSamples(kTestToneHz[c], SampleRateOf(options.audio), first, count);
        memory[c].resize(tone.size());
        if (!rings[c].InitializeFifo(memory[c].data(), count * 2, 0, 0, false, false, "TestTone", false) ||
            !rings[c].WriteBytesInto(tone.data(), count * 2, false))
            return false;
        mask.SetBit(c, 1);
    }
    DV25audioReshuffler reshuffler(options.audio, options.standard);
    if (reshuffler.ReShuffleAudio(frame->data(), frameNumber, &mask, channels) != 0) return false;

    if (options.stamped) {
        // Whole seconds since the first frame: 25 frames, or 30000/1001 frames, a second.
        const int64_t seconds = options.standard == DIO_PAL ? index / 25 : index * 1001 / 30000;
        dv25::WriteRecordingDateTime(frame->data(), options.standard, RecordingDateAfter(options.recorded, seconds));
        dv25::WriteRecordingStart(frame->data(), options.standard, index == 0);
    }
    DV25Timecode writer;
    return writer.InsertTimecode(frame->data(), TCAddModDay(options.start, static_cast<LONG>(index)), options.standard,
                                 false);
}

bool WriteTestTape(const std::string& path, const TestTapeOptions& options, std::string* error) {
    if (!CheckTestTapeOptions(options, error)) return false;
    DvFileWriter out;
    if (!out.Open(path, error)) return false;
    std::vector<uint8_t> frame;
    for (int64_t i = 0; i < options.frames; ++i) {
        if (!BuildTestTapeFrame(options, i, &frame)) {
            *error = "the host library could not build frame " + std::to_string(i) + " of the test tape";
            out.Close(error);
            return false;
        }
        if (!out.Write(frame.data(), frame.size(), error)) return false;
    }
    return out.Close(error);
}
