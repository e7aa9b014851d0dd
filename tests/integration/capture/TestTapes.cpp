#include "TestTapes.h"

#include "digitalio/DIOFifo.h"
#include "digitalio/DV25Timecode.h"
#include "digitalio/DV25audioDeshuffler.h"
#include "digitalio/DV25audioReshuffler.h"
#include "digitalio/DVFrame.h"
#include "digitalio/USampsInFrame.h"
#include "sim/SimControl.h"

#include <gtest/gtest.h>

#include <memory>

namespace capture_test {

namespace {

constexpr size_t kChannelSlots = 128;

size_t FrameSize(DIO_VideoFormat standard) {
    return standard == DIO_PAL ? kDVFrameSizePAL : kDVFrameSizeNTSC;
}

size_t FrameSizeFromHeader(const uint8_t* frame) {
    // The header's DSF bit: set for 625/50.
    return (frame[3] & 0x80) != 0 ? kDVFrameSizePAL : kDVFrameSizeNTSC;
}

}  // namespace

static timecodeDesc_t TapeTimecodeDesc(DIO_VideoFormat standard) {
    return standard == DIO_PAL ? TCCreateDesc(0, 25) : TCCreateDesc(1, 30);
}

static Frame MakeFrame(DIO_VideoFormat standard, DIO_AudioFormat audio, int channels, int64_t cadenceIndex,
                LONG frameCount, uint32_t seed) {
    std::unique_ptr<unsigned char[]> picture(DVFrame().GenTestPatternFrame(standard, static_cast<ULONG>(seed)));
    if (!picture) return {};
    Frame frame(picture.get(), picture.get() + FrameSize(standard));

    const ULONG frameNumber = static_cast<ULONG>(cadenceIndex + 1);
    const ULONG samples = USampsInFrame(audio, standard).GetSampsForFrameNum(frameNumber);
    std::vector<std::vector<uint8_t>> memory(static_cast<size_t>(channels), std::vector<uint8_t>(samples * 2));
    std::vector<DIOFifo> rings(static_cast<size_t>(channels));
    std::vector<DIOFifo*> ringArray;
    BitMask mask(channels);
    for (int c = 0; c < channels; ++c) {
        DIOFifo& ring = rings[static_cast<size_t>(c)];
        ring.InitializeFifo(memory[static_cast<size_t>(c)].data(), samples * 2, 0, 0, false, false, "tape", false);
        const std::vector<int16_t> noise = oracle::Noise(samples, seed * 8 + static_cast<uint32_t>(c));
        // The host is little-endian: the samples' bytes are the PCM the ring carries.
        if (!ring.WriteBytesInto(reinterpret_cast<const unsigned char*>(noise.data()), samples * 2, false)) return {};
        ringArray.push_back(&ring);
        mask.SetBit(c, 1);
    }
    DV25audioReshuffler reshuffler(audio, standard);
    if (reshuffler.ReShuffleAudio(frame.data(), frameNumber, &mask, ringArray.data()) != 0) return {};

    if (frameCount != kTCEmptyFrameCount) {
        const timecodeDesc_t desc = TapeTimecodeDesc(standard);
        DV25Timecode writer;
        if (!writer.InsertTimecode(frame.data(), TCCreateDur(frameCount, &desc), standard, false)) return {};
    }
    return frame;
}

std::vector<Frame> MakeRun(DIO_VideoFormat standard, DIO_AudioFormat audio, int channels, int count,
                           LONG firstFrameCount, uint32_t seed) {
    std::vector<Frame> frames;
    for (int i = 0; i < count; ++i)
        frames.push_back(MakeFrame(standard, audio, channels, i, firstFrameCount + i, seed + static_cast<uint32_t>(i)));
    return frames;
}

bool TapeFile::Load(const std::vector<Frame>& frames) {
    std::vector<uint8_t> bytes;
    for (const Frame& frame : frames) {
        if (frame.empty()) return false;
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    oracle::WriteBytes(Path(), bytes);
    std::string error;
    const bool loaded = cardsim::LoadTapeFile(Path(), &error);
    EXPECT_TRUE(loaded) << error;
    return loaded;
}

Frame TapeFrame(int64_t position) {
    Frame frame;
    EXPECT_TRUE(cardsim::ReadTapeFrame(position, &frame)) << "tape position " << position;
    if (!frame.empty()) frame.resize(FrameSizeFromHeader(frame.data()));
    return frame;
}

std::vector<int64_t> Span(int64_t first, int64_t count) {
    std::vector<int64_t> positions;
    for (int64_t p = first; p < first + count; ++p) positions.push_back(p);
    return positions;
}

std::vector<uint8_t> TapeBytes(const std::vector<int64_t>& positions) {
    std::vector<uint8_t> bytes;
    for (int64_t p : positions) {
        const Frame frame = TapeFrame(p);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    return bytes;
}

Frame BlackFrame(DIO_VideoFormat standard) {
    std::unique_ptr<unsigned char[]> black(DVFrame().GenBlackFrame(standard));
    return Frame(black.get(), black.get() + FrameSize(standard));
}

std::vector<std::vector<int16_t>> Deshuffled(const std::vector<Frame>& frames, const BitMask& mask) {
    std::vector<int> selected;
    for (int c = 0; c < mask.GetNumBitsInMask() && c < static_cast<int>(kChannelSlots); ++c)
        if (mask.GetBit(c) != 0) selected.push_back(c);
    std::vector<std::vector<int16_t>> channels(selected.size());
    for (const Frame& frame : frames) {
        // A scratch copy the size of a card slot: the reader sizes the frame by its header.
        std::vector<uint8_t> slot(kDVFrameSizePAL, 0);
        std::copy(frame.begin(), frame.end(), slot.begin());
        std::vector<std::vector<uint8_t>> memory(kChannelSlots);
        std::vector<DIOFifo> rings(kChannelSlots);
        std::vector<DIOFifo*> ringArray(kChannelSlots, nullptr);
        for (int c : selected) {
            memory[c].resize(8192);
            rings[c].InitializeFifo(memory[c].data(), 8192, 0, 0, false, false, "expected", false);
            ringArray[c] = &rings[c];
        }
        ULONG samples = 0;
        BitMask copy = mask;
        DV25audioDeshuffler deshuffler;
        EXPECT_EQ(deshuffler.DeShuffleAudio(slot.data(), &copy, ringArray.data(), &samples), 0);
        for (size_t k = 0; k < selected.size(); ++k) {
            std::vector<uint8_t> bytes(samples * 2);
            EXPECT_TRUE(rings[selected[k]].CopyBytesFrom(bytes.data(), samples * 2));
            const std::vector<int16_t> pcm = oracle::Pcm(bytes);
            channels[k].insert(channels[k].end(), pcm.begin(), pcm.end());
        }
    }
    return channels;
}

std::vector<std::vector<int16_t>> TapeAudio(const std::vector<int64_t>& positions, const BitMask& mask) {
    std::vector<Frame> frames;
    for (int64_t p : positions) frames.push_back(TapeFrame(p));
    return Deshuffled(frames, mask);
}

}  // namespace capture_test
