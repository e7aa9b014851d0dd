// A whole capture as a host runs it: prepare, arm and start VideoIn, VideoConfidence
// and AudioIn on a playing deck, take the data in pieces of varying size while the
// frames arrive, and receive every frame from the first delivered one on, bit for bit,
// with its audio exactly as the DV25 library (and, for tapes it wrote, FFmpeg) reads it.
#include "CaptureFixture.h"
#include "HostTaker.h"
#include "TestTapes.h"

#include "OracleSupport.h"
#include "sim/SimControl.h"

#include <algorithm>
#include <random>

namespace capture_test {
namespace {

enum class TapeSource { Generated, Ffmpeg };

struct CaptureMode {
    const char* name;
    DIO_VideoFormat standard;
    DIO_AudioFormat audio;
    int channels;  // channels the tape carries and the host selects
    TapeSource source;
};

class WholeCapture : public CaptureFixture, public ::testing::WithParamInterface<CaptureMode> {
protected:
    static constexpr int kTapeFrames = 190;
    static constexpr int kFramesFed = 160;
    // With the streams started before the first frame, the first seven are dropped.
    static constexpr int64_t kFirstDelivered = 7;
    static constexpr int kRingFrames = 10;
    static constexpr int kLargestBurst = 6;
};

TEST_P(WholeCapture, EveryFrameAndSampleReachesTheHostInOrder) {
    const CaptureMode mode = GetParam();
    if (mode.source == TapeSource::Ffmpeg) REQUIRE_FFMPEG();
    TapeFile tape;
    if (mode.source == TapeSource::Ffmpeg) {
        std::string errors;
        ASSERT_TRUE(oracle::FfmpegDv(tape.Path(), mode.standard, "testsrc=d=8",
                                     "aevalsrc=random(0)*2-1|0.8*sin(2*PI*t*997)+0.2*(random(0)*2-1):s=48000:d=9",
                                     "-ar 48000 -frames:v " + std::to_string(kTapeFrames), &errors))
            << errors;
        ASSERT_TRUE(cardsim::LoadTapeFile(tape.Path(), &errors)) << errors;
    } else {
        ASSERT_TRUE(tape.Load(MakeRun(mode.standard, mode.audio, mode.channels, kTapeFrames, 1800, 11)));
    }

    cardsim::UseManualClock(true);  // frames arrive only through PassFrames
    if (mode.standard == DIO_PAL) UseStandard(DIO_PAL);
    else OpenSession();
    cardsim::ParkDeck(0, DDC_STATE_PLAYBACK);

    const LONG frameSize = mode.standard == DIO_PAL ? kDVFrameSizePAL : kDVFrameSizeNTSC;
    BitMask mask(mode.channels);
    for (int c = 0; c < mode.channels; ++c) mask.SetBit(c, 1);
    Prepare(kAllStreams, kRingFrames, mask, frameSize);

    StreamTaker videoIn = StreamTaker::VideoIn(device_, 3 * frameSize / 2, 1);
    StreamTaker confidence = StreamTaker::VideoConfidence(device_, frameSize / 3, 2);
    std::vector<StreamTaker> audio;
    for (int c = 0; c < mode.channels; ++c)
        audio.push_back(StreamTaker::AudioIn(device_, c, 2500, 3 + static_cast<uint32_t>(c)));
    std::vector<StreamTaker*> takers = {&videoIn, &confidence};
    for (StreamTaker& channel : audio) takers.push_back(&channel);

    Do({Step::Arm}, kAllStreams);
    {
        HostThread host(takers);
        Do({Step::Start}, kAllStreams);
        // The deck plays on in bursts of uneven length while the host takes. A host
        // that lets its rings fill loses frames by design, so each burst waits until
        // the host has made room for it.
        std::mt19937 random(7);
        int fed = 0;
        while (fed < kFramesFed) {
            const int burst = std::min(kFramesFed - fed, static_cast<int>(random() % kLargestBurst) + 1);
            const auto roomFor = [&](ULONG written, ULONG read, ULONG frameBytes) {
                return written - read <= static_cast<ULONG>(kRingFrames - burst) * frameBytes;
            };
            ASSERT_TRUE(WaitUntil([&] {
                bool room = roomFor(device_->GetVideoInRingBufferWritePosition(),
                                    device_->GetVideoInRingBufferReadPosition(), frameSize) &&
                            roomFor(device_->GetVideoConfidenceRingBufferWritePosition(),
                                    device_->GetVideoConfidenceRingBufferReadPosition(), frameSize);
                for (int c = 0; c < mode.channels; ++c)
                    room = room && roomFor(device_->GetAudioInRingBufferWritePosition(c),
                                           device_->GetAudioInRingBufferReadPosition(c), 3888);
                return room;
            })) << "the host stopped taking";
            FeedFrames(burst, mode.standard);
            fed += burst;
        }
        host.StopAndDrain();
    }
    Do({Step::Terminate}, kAllStreams);

    // Nothing lost on the way: no card drops, no overruns, no errors.
    EXPECT_EQ(cardsim::GetCardCounters().ringFullDrops, 0u);
    EXPECT_EQ(ControlLong(kControlVideoInOverruns), 0);
    EXPECT_EQ(ControlLong(kControlAudioInOverruns), 0);
    EXPECT_EQ(ControlLong(kControlErrorCount), 0);

    // Video: whole frames, the tape's from the first delivered one on, none twice.
    const std::vector<uint8_t>& taken = videoIn.Bytes();
    ASSERT_EQ(taken.size() % static_cast<size_t>(frameSize), 0u);
    const int64_t delivered = static_cast<int64_t>(taken.size()) / frameSize;
    ASSERT_EQ(delivered, kFramesFed - kFirstDelivered)
        << "frames written " << device_->VideoInCurrentFrame() << ", to the monitor " << device_->VideoConCurrentFrame();
    const std::vector<uint8_t> expected = TapeBytes(Span(kFirstDelivered, delivered));
    ASSERT_TRUE(taken == expected) << "first difference in frame "
                                   << FirstDifference(taken, expected) / static_cast<size_t>(frameSize);
    EXPECT_TRUE(confidence.Bytes() == expected) << "VideoConfidence differs in frame "
                                                << FirstDifference(confidence.Bytes(), expected) / frameSize;
    EXPECT_GT(videoIn.Pieces(), static_cast<size_t>(delivered)) << "the host should have taken frames in pieces";

    // Audio: each channel carries exactly the samples of those frames.
    const std::vector<std::vector<int16_t>> want = TapeAudio(Span(kFirstDelivered, delivered), mask);
    ASSERT_EQ(want.size(), static_cast<size_t>(mode.channels));
    for (int c = 0; c < mode.channels; ++c) {
        const std::vector<int16_t> got = audio[static_cast<size_t>(c)].Samples();
        EXPECT_TRUE(got == want[static_cast<size_t>(c)])
            << "channel " << c << ": " << got.size() << " samples, " << want[static_cast<size_t>(c)].size()
            << " expected, first difference at " << FirstDifference(got, want[static_cast<size_t>(c)]);
    }

    // The format of the material, announced once at the start of every ring.
    const char* signal = mode.standard == DIO_PAL ? "PAL" : "NTSC";
    const char* rate = mode.audio == DIO_Audio32000 ? "32000" : "48000";
    ASSERT_EQ(videoIn.Formats().size(), 1u);
    EXPECT_EQ(videoIn.Formats()[0].videoSignal + " " + videoIn.Formats()[0].sampleRate,
              std::string(signal) + " " + rate);
    EXPECT_TRUE(confidence.Formats().empty()) << "the monitor gets no format records";
    for (const StreamTaker& channel : audio) {
        ASSERT_EQ(channel.Formats().size(), 1u);
        EXPECT_EQ(channel.Formats()[0].sampleRate, rate);
        EXPECT_FALSE(channel.Formats()[0].change);
    }

    if (mode.source == TapeSource::Ffmpeg) {
        // FFmpeg reads the same samples out of the same frames.
        oracle::ScratchDir dir;
        oracle::WriteBytes(dir.File("delivered.dv"), expected);
        std::string errors;
        const std::vector<int16_t> theirs = oracle::FfmpegPcm(dir.File("delivered.dv"), 0, &errors);
        ASSERT_FALSE(theirs.empty()) << errors;
        const std::vector<int16_t> left = audio[0].Samples(), right = audio[1].Samples();
        std::vector<int16_t> ours;
        for (size_t i = 0; i < left.size(); ++i) ours.insert(ours.end(), {left[i], right[i]});
        oracle::ExpectSamePcm(ours, theirs);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WholeCapture,
    ::testing::Values(CaptureMode{"Ntsc48kTwoChannels", DIO_NTSC, DIO_Audio48000, 2, TapeSource::Generated},
                      CaptureMode{"Pal48kTwoChannels", DIO_PAL, DIO_Audio48000, 2, TapeSource::Generated},
                      CaptureMode{"Ntsc32kFourChannels", DIO_NTSC, DIO_Audio32000, 4, TapeSource::Generated},
                      CaptureMode{"Pal32kFourChannels", DIO_PAL, DIO_Audio32000, 4, TapeSource::Generated},
                      CaptureMode{"NtscFromFfmpeg", DIO_NTSC, DIO_Audio48000, 2, TapeSource::Ffmpeg},
                      CaptureMode{"PalFromFfmpeg", DIO_PAL, DIO_Audio48000, 2, TapeSource::Ffmpeg}),
    [](const ::testing::TestParamInfo<CaptureMode>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace capture_test
