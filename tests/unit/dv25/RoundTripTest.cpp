#include "Dv25TestSupport.h"

#include "digitalio/DV25audioDeshuffler.h"
#include "digitalio/DV25audioReshuffler.h"
#include "digitalio/USampsInFrame.h"
#include "digitalio/dv25/AudioCompanding.h"
#include "hostcore/BitMask.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace dv25test;

struct Mode {
    DIO_VideoFormat standard;
    DIO_AudioFormat rate;
    int channels;  // carried by the mode written at this rate
};

class RoundTrip : public ::testing::TestWithParam<Mode> {};

// Reshuffles a long stream frame by frame, deshuffles each frame at once, and
// compares every channel's whole stream and every frame's sample count.
TEST_P(RoundTrip, EveryChannelSurvivesALongRun) {
    const Mode mode = GetParam();
    constexpr int kFrames = 320;
    const USampsInFrame cadence(mode.rate, mode.standard);
    size_t total = 0;
    for (ULONG n = 1; n <= kFrames; ++n) total += cadence.GetSampsForFrameNum(n);

    RingSet out(mode.channels, static_cast<unsigned>(total * 2 + 64));
    RingSet in(mode.channels, static_cast<unsigned>(total * 2 + 64));
    std::vector<std::vector<int16_t>> sent;
    BitMask mask(mode.channels);
    for (int c = 0; c < mode.channels; ++c) {
        sent.push_back(NoiseSamples(total, 100 + c));
        sent.back()[c] = -32768;  // the invalid-sample code's neighbour is in every run
        out[c].Push(sent.back());
        mask.SetBit(c, 1);
    }

    DV25audioReshuffler reshuffler(mode.rate, mode.standard);
    DV25audioDeshuffler deshuffler;
    FrameBuffer frame = BlackFrame(mode.standard);
    for (ULONG n = 1; n <= kFrames; ++n) {
        ASSERT_EQ(reshuffler.ReShuffleAudio(frame.data(), n, &mask, out.array()), 0) << "frame " << n;
        DIO_AudioFormat rate;
        DIO_VideoFormat video;
        ASSERT_EQ(deshuffler.GetRateAndSampsFromASPak(frame.data(), &rate, &video), 0);
        ASSERT_EQ(rate, mode.rate);
        ASSERT_EQ(video, mode.standard);
        ULONG samples = 0;
        ASSERT_EQ(deshuffler.DeShuffleAudio(frame.data(), &mask, in.array(), &samples), 0) << "frame " << n;
        ASSERT_EQ(samples, cadence.GetSampsForFrameNum(n)) << "frame " << n;
    }
    for (int c = 0; c < mode.channels; ++c) {
        EXPECT_EQ(out[c].fifo()->GetQDepth(), 0u);
        const auto got = in[c].PopAll();
        ASSERT_EQ(got.size(), total);
        for (size_t i = 0; i < total; ++i) {
            int16_t expected = sent[c][i];
            if (mode.rate == DIO_Audio32000) {
                expected = dv25::Expand12(dv25::Compress12(expected));
            } else if (expected == -32768) {
                expected = -32767;
            }
            ASSERT_EQ(got[i], expected) << "channel " << c << " sample " << i;
        }
    }
}

std::string ModeName(const ::testing::TestParamInfo<Mode>& info) {
    const char* rates[] = {"", "48k", "44k", "32k"};
    return std::string(info.param.standard == DIO_PAL ? "Pal" : "Ntsc") + rates[info.param.rate];
}

INSTANTIATE_TEST_SUITE_P(EveryMode, RoundTrip,
                         ::testing::Values(Mode{DIO_NTSC, DIO_Audio48000, 2}, Mode{DIO_NTSC, DIO_Audio44100, 2},
                                           Mode{DIO_NTSC, DIO_Audio32000, 4}, Mode{DIO_PAL, DIO_Audio48000, 2},
                                           Mode{DIO_PAL, DIO_Audio44100, 2}, Mode{DIO_PAL, DIO_Audio32000, 4}),
                         ModeName);

}  // namespace
