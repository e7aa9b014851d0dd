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
    for (int c = 0; c < 2; ++c) {
        memory[c].resize(1 << 16);
        rings[c].InitializeFifo(memory[c].data(), 1 << 16, 0, 0, false, false, "OracleRing", false);
    }
    BitMask mask(2);
    mask.SetBit(0, 1);
    mask.SetBit(1, 1);
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
        std::vector<unsigned char> bytes[2];
        for (int c = 0; c < 2; ++c) {
            bytes[c].resize(samples * 2);
            rings[c].CopyBytesFrom(bytes[c].data(), samples * 2);
        }
        for (ULONG n = 0; n < samples; ++n) {
            for (int c = 0; c < 2; ++c) {
                interleaved.push_back(
                    static_cast<int16_t>(static_cast<uint16_t>(bytes[c][2 * n] | (bytes[c][2 * n + 1] << 8))));
            }
        }
    }
    return interleaved;
}

TEST_P(FfmpegEncoded, DeshufflesToTheSamePcmFfmpegExtracts) {
    REQUIRE_FFMPEG();
    const EncodedMode mode = GetParam();
    oracle::ScratchDir dir;
    const bool pal = mode.standard == DIO_PAL;
    const std::string dv = dir.File("in.dv"), pcm = dir.File("out.pcm");
    // Full-scale noise on the left, a tone with noise on the right; the audio runs
    // longer than the picture so that every frame has its samples.
    const std::string video = pal ? "color=black:s=720x576:r=25" : "color=black:s=720x480:r=30000/1001";
    const std::string audio = "aevalsrc=random(0)*2-1|0.9*sin(2*PI*t*997)+0.1*(random(0)*2-1):s=" +
                              std::to_string(mode.sampleRate);
    std::string errors;
    ASSERT_EQ(oracle::Run("ffmpeg -nostdin -v error -f lavfi -t 10 -i '" + video + "' -f lavfi -t 11 -i '" + audio +
                              "' -target " + (pal ? "pal-dv" : "ntsc-dv") + " -ar " + std::to_string(mode.sampleRate) +
                              " -y '" + dv + "'",
                          &errors),
              0)
        << errors;
    ASSERT_EQ(oracle::Run("ffmpeg -nostdin -v error -i '" + dv + "' -map 0:a:0 -f s16le -y '" + pcm + "'", &errors), 0)
        << errors;

    const auto frames = oracle::SplitFrames(oracle::ReadBytes(dv));
    ASSERT_GE(frames.size(), 250u);
    const std::vector<int16_t> theirs = oracle::ReadPcm(pcm);
    const std::vector<int16_t> ours = DeshuffleFile(frames, mode.rate, mode.standard);
    ASSERT_EQ(ours.size(), theirs.size());
    size_t mismatches = 0;
    for (size_t i = 0; i < ours.size() && mismatches < 5; ++i) {
        if (ours[i] != theirs[i]) {
            ++mismatches;
            ADD_FAILURE() << "sample " << i / 2 << " channel " << i % 2 << ": ours " << ours[i] << ", FFmpeg's "
                          << theirs[i];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, FfmpegEncoded,
                         ::testing::Values(EncodedMode{"Ntsc48k", DIO_NTSC, DIO_Audio48000, 48000},
                                           EncodedMode{"Pal48k", DIO_PAL, DIO_Audio48000, 48000},
                                           EncodedMode{"Pal44k", DIO_PAL, DIO_Audio44100, 44100},
                                           EncodedMode{"Pal32k", DIO_PAL, DIO_Audio32000, 32000}),
                         [](const ::testing::TestParamInfo<EncodedMode>& info) { return std::string(info.param.name); });

}  // namespace
