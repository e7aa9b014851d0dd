// A whole capture as a host runs it: prepare, arm and start VideoIn, VideoConfidence
// and AudioIn on a playing deck, take the data in pieces of varying size while the
// frames arrive, and receive every frame from the first delivered one on, bit for bit,
// with its audio exactly as the DV25 library (and, for tapes it wrote, FFmpeg) reads it.
#include "capture_fixture.h"
#include "host_taker.h"
#include "test_tapes.h"

#include "OracleSupport.h"
#include "sim/SimControl.h"

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

    // An FFmpeg-written tape of the mode at `path`; false when it could not be made.
    bool MakeFfmpegTape(const std::string& path) {
        const bool pal = GetParam().standard == DIO_PAL;
        const std::string video = pal ? "testsrc=s=720x576:r=25" : "testsrc=s=720x480:r=30000/1001";
        const std::string audio = "aevalsrc=random(0)*2-1|0.8*sin(2*PI*t*997)+0.2*(random(0)*2-1):s=48000";
        std::string errors;
        const int status = oracle::Run("ffmpeg -nostdin -v error -f lavfi -t 8 -i '" + video + "' -f lavfi -t 9 -i '" +
                                           audio + "' -target " + (pal ? "pal-dv" : "ntsc-dv") +
                                           " -ar 48000 -frames:v " + std::to_string(kTapeFrames) + " -y '" + path + "'",
                                       &errors);
        EXPECT_EQ(status, 0) << errors;
        return status == 0;
    }
};

TEST_P(WholeCapture, EveryFrameAndSampleReachesTheHostInOrder) {
    const CaptureMode mode = GetParam();
    if (mode.source == TapeSource::Ffmpeg) REQUIRE_FFMPEG();
    oracle::ScratchDir dir;
    TapeFile tape("tape.dv");
    if (mode.source == TapeSource::Ffmpeg) {
        ASSERT_TRUE(MakeFfmpegTape(tape.Path()));
        std::string error;
        ASSERT_TRUE(cardsim::LoadTapeFile(tape.Path(), &error)) << error;
    } else {
        ASSERT_TRUE(tape.Load(MakeRun(mode.standard, mode.audio, mode.channels, kTapeFrames, 1800, 11)));
    }

    FreezeClock();
    if (mode.standard == DIO_PAL) UseStandard(DIO_PAL);
    else OpenSession();
    cardsim::ParkDeck(0, DDC_STATE_PLAYBACK);

    const LONG frameSize = mode.standard == DIO_PAL ? kDVFrameSizePAL : kDVFrameSizeNTSC;
    BitMask mask(mode.channels);
    for (int c = 0; c < mode.channels; ++c) mask.SetBit(c, 1);
    SetUpVideoIn(kRingFrames, frameSize);
    SetUpVideoConfidence(kRingFrames, frameSize);
    SetUpAudioIn(mask, kRingFrames * 3888);

    StreamTaker videoIn = StreamTaker::VideoIn(device_, 3 * frameSize / 2, 1);
    StreamTaker confidence = StreamTaker::VideoConfidence(device_, frameSize / 3, 2);
    std::vector<StreamTaker> audio;
    for (int c = 0; c < mode.channels; ++c)
        audio.push_back(StreamTaker::AudioIn(device_, c, 2500, 3 + static_cast<uint32_t>(c)));
    std::vector<StreamTaker*> takers = {&videoIn, &confidence};
    for (StreamTaker& channel : audio) takers.push_back(&channel);

    ASSERT_EQ(device_->ArmVideoIn(), 1);
    ASSERT_EQ(device_->ArmVideoConfidence(), 1);
    ASSERT_EQ(device_->ArmAudioIn(), 1);
    {
        HostThread host(takers);
        ASSERT_EQ(device_->StartVideoIn(), 1);
        ASSERT_EQ(device_->StartVideoConfidence(), 1);
        ASSERT_EQ(device_->StartAudioIn(), 1);
        // The deck plays on in bursts of uneven length while the host takes. A host
        // that lets its rings fill loses frames by design, so each burst waits until
        // the host has made room for it.
        std::mt19937 random(7);
        int fed = 0;
        while (fed < kFramesFed) {
            const int burst = std::min(kFramesFed - fed, static_cast<int>(random() % kLargestBurst) + 1);
            ASSERT_TRUE(WaitFor([&] {
                const ULONG room = static_cast<ULONG>(kRingFrames - burst) * static_cast<ULONG>(frameSize);
                if (device_->GetVideoInRingBufferWritePosition() - device_->GetVideoInRingBufferReadPosition() > room ||
                    device_->GetVideoConfidenceRingBufferWritePosition() -
                            device_->GetVideoConfidenceRingBufferReadPosition() >
                        room)
                    return false;
                for (int c = 0; c < mode.channels; ++c)
                    if (device_->GetAudioInRingBufferWritePosition(c) - device_->GetAudioInRingBufferReadPosition(c) >
                        static_cast<ULONG>(kRingFrames - burst) * 3888u)
                        return false;
                return true;
            })) << "the host stopped taking";
            FeedFrames(burst, mode.standard);
            fed += burst;
        }
        host.StopAndDrain();
    }
    EXPECT_EQ(device_->TerminateVideoIn(), 1);
    EXPECT_EQ(device_->TerminateVideoConfidence(), 1);
    EXPECT_EQ(device_->TerminateAudioIn(), 1);

    // Nothing lost on the way: no card drops, no overruns, no errors.
    EXPECT_EQ(cardsim::GetCardCounters().ringFullDrops, 0u);
    EXPECT_EQ(ControlLong(kControlVideoOverruns), 0);
    EXPECT_EQ(ControlLong(kControlAudioOverruns), 0);
    EXPECT_EQ(ControlLong(kControlErrors), 0);

    // Video: whole frames, the tape's from the first delivered one on, none twice.
    const std::vector<uint8_t>& taken = videoIn.Bytes();
    ASSERT_EQ(taken.size() % static_cast<size_t>(frameSize), 0u);
    const int64_t delivered = static_cast<int64_t>(taken.size()) / frameSize;
    ASSERT_EQ(delivered, kFramesFed - kFirstDelivered)
        << "frames written " << device_->VideoInCurrentFrame() << ", to the monitor "
        << device_->VideoConCurrentFrame() << ", monitor bytes " << confidence.Bytes().size() / frameSize
        << ", first frame matches position " << [&] {
               for (int64_t p = 0; p < 20; ++p) {
                   const Frame f = TapeFrame(p);
                   if (taken.size() >= f.size() && std::equal(f.begin(), f.end(), taken.begin())) return p;
               }
               return int64_t{-1};
           }();
    std::vector<uint8_t> expected;
    std::vector<Frame> frames;
    for (int64_t p = kFirstDelivered; p < kFirstDelivered + delivered; ++p) {
        frames.push_back(TapeFrame(p));
        expected.insert(expected.end(), frames.back().begin(), frames.back().end());
    }
    ASSERT_TRUE(taken == expected) << "first difference in frame "
                                   << FirstDifference(taken, expected) / static_cast<size_t>(frameSize);
    EXPECT_TRUE(confidence.Bytes() == expected) << "VideoConfidence differs in frame "
                                                << FirstDifference(confidence.Bytes(), expected) / frameSize;
    EXPECT_GT(videoIn.Pieces(), static_cast<size_t>(delivered)) << "the host should have taken frames in pieces";

    // Audio: each channel carries exactly the samples of those frames.
    std::vector<std::vector<int16_t>> want;
    for (const Frame& frame : frames) AppendDeshuffled(frame, mask, &want);
    ASSERT_EQ(want.size(), static_cast<size_t>(mode.channels));
    for (int c = 0; c < mode.channels; ++c) {
        const std::vector<int16_t> got = Samples(audio[static_cast<size_t>(c)].Bytes());
        EXPECT_TRUE(got == want[static_cast<size_t>(c)])
            << "channel " << c << ": " << got.size() << " samples, " << want[static_cast<size_t>(c)].size()
            << " expected, first difference at " << FirstDifference(got, want[static_cast<size_t>(c)]);
    }

    // The format of the material, announced once at the start of every ring.
    const char* signal = mode.standard == DIO_PAL ? "PAL" : "NTSC";
    const char* rate = mode.audio == DIO_Audio32000 ? "32000" : "48000";
    ASSERT_EQ(videoIn.Formats().size(), 1u);
    EXPECT_EQ(videoIn.Formats()[0].offset, 0u);
    EXPECT_EQ(videoIn.Formats()[0].videoSignal, signal);
    EXPECT_EQ(videoIn.Formats()[0].sampleRate, rate);
    EXPECT_TRUE(confidence.Formats().empty()) << "the monitor gets no format records";
    for (int c = 0; c < mode.channels; ++c) {
        const std::vector<FormatMark>& marks = audio[static_cast<size_t>(c)].Formats();
        ASSERT_EQ(marks.size(), 1u) << "channel " << c;
        EXPECT_EQ(marks[0].offset, 0u);
        EXPECT_EQ(marks[0].sampleRate, rate);
        EXPECT_FALSE(marks[0].change);
    }

    if (mode.source == TapeSource::Ffmpeg) {
        // FFmpeg reads the same samples out of the same frames.
        const std::string part = dir.File("delivered.dv"), pcm = dir.File("delivered.pcm");
        oracle::WriteBytes(part, expected);
        std::string errors;
        ASSERT_EQ(oracle::Run("ffmpeg -nostdin -v error -i '" + part + "' -map 0:a:0 -f s16le -y '" + pcm + "'", &errors),
                  0)
            << errors;
        const std::vector<int16_t> theirs = oracle::ReadPcm(pcm);
        const std::vector<int16_t> left = Samples(audio[0].Bytes()), right = Samples(audio[1].Bytes());
        ASSERT_EQ(theirs.size(), left.size() * 2);
        size_t mismatches = 0;
        for (size_t i = 0; i < left.size() && mismatches < 5; ++i) {
            if (theirs[2 * i] != left[i] || theirs[2 * i + 1] != right[i]) {
                ++mismatches;
                ADD_FAILURE() << "sample " << i << ": ours " << left[i] << "/" << right[i] << ", FFmpeg's "
                              << theirs[2 * i] << "/" << theirs[2 * i + 1];
            }
        }
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
