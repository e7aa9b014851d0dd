// PCM the library reshuffles into its own black frames comes out of FFmpeg unchanged
// (to the precision of the 12-bit code), cadence included, in every mode, also those
// FFmpeg cannot write itself.
#include "OracleSupport.h"

#include "digitalio/DIOFifo.h"
#include "digitalio/DV25Timecode.h"
#include "digitalio/DV25audioReshuffler.h"
#include "digitalio/DVFrame.h"
#include "digitalio/USampsInFrame.h"
#include "digitalio/dv25/AudioCompanding.h"
#include "hostcore/BitMask.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct WrittenMode {
    const char* name;
    DIO_VideoFormat standard;
    DIO_AudioFormat rate;
    int sampleRate;
    int channels;
    bool locked;
};

class LibraryWritten : public ::testing::TestWithParam<WrittenMode> {};

// What a sample becomes on its way through the frame.
int16_t AsWritten(int16_t sample, bool twelveBit) {
    if (twelveBit) return dv25::Expand12(dv25::Compress12(sample));
    return sample == -32768 ? -32767 : sample;
}

TEST_P(LibraryWritten, FfmpegExtractsWhatWasReshuffled) {
    REQUIRE_FFMPEG();
    const WrittenMode mode = GetParam();
    const bool pal = mode.standard == DIO_PAL;
    const bool twelveBit = mode.rate == DIO_Audio32000;
    const ULONG frames = pal ? 250 : 300;
    const size_t frameSize = pal ? kDVFrameSizePAL : kDVFrameSizeNTSC;
    const USampsInFrame cadence(mode.rate, mode.standard);
    size_t total = 0;
    for (ULONG n = 1; n <= frames; ++n) total += cadence.GetSampsForFrameNum(n);

    std::vector<std::vector<int16_t>> sent;
    std::vector<std::vector<unsigned char>> memory(mode.channels);
    std::vector<std::unique_ptr<DIOFifo>> rings;
    std::vector<DIOFifo*> array(128, nullptr);
    BitMask mask(mode.channels);
    for (int c = 0; c < mode.channels; ++c) {
        sent.push_back(oracle::Noise(total, 40 + c));
        sent.back()[3 + c] = -32768;
        memory[c].resize(total * 2);
        rings.push_back(std::make_unique<DIOFifo>());
        rings.back()->InitializeFifo(memory[c].data(), static_cast<unsigned>(total * 2), 0, 0, false, false, "Out",
                                     false);
        std::vector<unsigned char> bytes(total * 2);
        std::memcpy(bytes.data(), sent.back().data(), bytes.size());  // the host is little-endian
        ASSERT_TRUE(rings.back()->WriteBytesInto(bytes.data(), static_cast<ULONG>(bytes.size()), false));
        array[c] = rings.back().get();
        mask.SetBit(c, 1);
    }

    DVFrame generator;
    std::unique_ptr<unsigned char[]> black(generator.GenBlackFrame(mode.standard));
    DV25audioReshuffler reshuffler(mode.rate, mode.standard);
    reshuffler.SetIsAudioLocked(mode.locked);
    DV25Timecode timecode;
    const timecodeDesc_t desc = pal ? TCCreateDesc(0, 25) : TCCreateDesc(1, 30);
    std::vector<uint8_t> file;
    file.reserve(frameSize * frames);
    std::vector<unsigned char> frame(frameSize);
    for (ULONG n = 1; n <= frames; ++n) {
        std::memcpy(frame.data(), black.get(), frameSize);
        ASSERT_EQ(reshuffler.ReShuffleAudio(frame.data(), n, &mask, array.data()), 0) << "frame " << n;
        ASSERT_TRUE(timecode.InsertTimecode(frame.data(), TCCreateDur(static_cast<LONG>(n - 1), &desc), mode.standard,
                                            false));
        file.insert(file.end(), frame.begin(), frame.end());
    }

    oracle::ScratchDir dir;
    const std::string dv = dir.File("ours.dv");
    oracle::WriteBytes(dv, file);
    EXPECT_EQ(oracle::Probe(dv, "stream=sample_rate -select_streams a:0"), "sample_rate=" + std::to_string(mode.sampleRate));
    for (int stream = 0; stream < mode.channels / 2; ++stream) {
        SCOPED_TRACE("stream " + std::to_string(stream));
        std::string errors;
        const std::vector<int16_t> theirs = oracle::FfmpegPcm(dv, stream, &errors);
        EXPECT_EQ(errors, "");
        // The whole run's samples, no more and no fewer: the cadence reached FFmpeg.
        std::vector<int16_t> expected;
        for (size_t i = 0; i < total; ++i)
            for (int c = 0; c < 2; ++c) expected.push_back(AsWritten(sent[2 * stream + c][i], twelveBit));
        oracle::ExpectSamePcm(expected, theirs);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, LibraryWritten,
    ::testing::Values(WrittenMode{"Ntsc48k", DIO_NTSC, DIO_Audio48000, 48000, 2, true},
                      WrittenMode{"Ntsc44k", DIO_NTSC, DIO_Audio44100, 44100, 2, false},
                      WrittenMode{"Ntsc32kFourChannel", DIO_NTSC, DIO_Audio32000, 32000, 4, true},
                      WrittenMode{"Pal48k", DIO_PAL, DIO_Audio48000, 48000, 2, true},
                      WrittenMode{"Pal44k", DIO_PAL, DIO_Audio44100, 44100, 2, true},
                      WrittenMode{"Pal32kFourChannel", DIO_PAL, DIO_Audio32000, 32000, 4, false}),
    [](const ::testing::TestParamInfo<WrittenMode>& info) { return std::string(info.param.name); });

}  // namespace
