// Frames FFmpeg encodes deshuffle to exactly the PCM FFmpeg extracts from them.
#include "OracleSupport.h"

#include "digitalio/DIOFifo.h"
#include "digitalio/DV25audioDeshuffler.h"
#include "hostcore/BitMask.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct EncodedMode {
    const char* name;
    DIO_VideoFormat standard;
    DIO_AudioFormat rate;
    int sampleRate;
};

class FfmpegEncoded : public ::testing::TestWithParam<EncodedMode> {};

// Every frame's audio through the library, interleaved as FFmpeg writes stereo PCM.
std::vector<int16_t> DeshuffleFile(const std::vector<std::vector<uint8_t>>& frames, DIO_AudioFormat expectedRate,
                                   DIO_VideoFormat expectedStandard) {
    std::vector<int16_t> interleaved;
    std::vector<unsigned char> memory[2];
    DIOFifo rings[2];
    DIOFifo* array[2] = {&rings[0], &rings[1]};
    BitMask mask(2);
    for (int c = 0; c < 2; ++c) {
        memory[c].resize(1 << 16);
        rings[c].InitializeFifo(memory[c].data(), 1 << 16, 0, 0, false, false, "OracleRing", false);
        mask.SetBit(c, 1);
    }
    DV25audioDeshuffler deshuffler;
    for (size_t f = 0; f < frames.size(); ++f) {
        unsigned char* frame = const_cast<unsigned char*>(frames[f].data());
        DIO_AudioFormat rate;
        DIO_VideoFormat video;
        EXPECT_EQ(deshuffler.GetRateAndSampsFromASPak(frame, &rate, &video), 0) << "frame " << f;
        EXPECT_EQ(rate, expectedRate);
        EXPECT_EQ(video, expectedStandard);
        ULONG samples = 0;
        if (deshuffler.DeShuffleAudio(frame, &mask, array, &samples) != 0) {
            ADD_FAILURE() << "frame " << f << " did not deshuffle";
            break;
        }
        std::vector<uint8_t> bytes[2];
        for (int c = 0; c < 2; ++c) {
            bytes[c].resize(samples * 2);
            rings[c].CopyBytesFrom(bytes[c].data(), samples * 2);
        }
        const std::vector<int16_t> left = oracle::Pcm(bytes[0]), right = oracle::Pcm(bytes[1]);
        for (ULONG n = 0; n < samples; ++n) interleaved.insert(interleaved.end(), {left[n], right[n]});
    }
    return interleaved;
}

TEST_P(FfmpegEncoded, DeshufflesToTheSamePcmFfmpegExtracts) {
    REQUIRE_FFMPEG();
    const EncodedMode mode = GetParam();
    oracle::ScratchDir dir;
    const std::string dv = dir.File("in.dv"), rate = std::to_string(mode.sampleRate);
    // Full-scale noise on the left, a tone with noise on the right; the audio runs
    // longer than the picture so that every frame has its samples.
    std::string errors;
    ASSERT_TRUE(oracle::FfmpegDv(dv, mode.standard, "color=black:d=10",
                                 "aevalsrc=random(0)*2-1|0.9*sin(2*PI*t*997)+0.1*(random(0)*2-1):s=" + rate + ":d=11",
                                 "-ar " + rate, &errors))
        << errors;
    const auto frames = oracle::SplitFrames(oracle::ReadBytes(dv));
    ASSERT_GE(frames.size(), 250u);
    const std::vector<int16_t> theirs = oracle::FfmpegPcm(dv, 0, &errors);
    ASSERT_FALSE(theirs.empty()) << errors;
    oracle::ExpectSamePcm(DeshuffleFile(frames, mode.rate, mode.standard), theirs);
}

INSTANTIATE_TEST_SUITE_P(Modes, FfmpegEncoded,
                         ::testing::Values(EncodedMode{"Ntsc48k", DIO_NTSC, DIO_Audio48000, 48000},
                                           EncodedMode{"Pal48k", DIO_PAL, DIO_Audio48000, 48000},
                                           EncodedMode{"Pal44k", DIO_PAL, DIO_Audio44100, 44100},
                                           EncodedMode{"Pal32k", DIO_PAL, DIO_Audio32000, 32000}),
                         [](const ::testing::TestParamInfo<EncodedMode>& info) { return std::string(info.param.name); });

}  // namespace
