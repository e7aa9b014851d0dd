// The captured audio that belongs to the written frames, sample for sample, taken from
// a device's AudioIn rings with the take protocol.
#include "AudioTake.h"
#include "CaptureAudio.h"
#include "DvioTestSupport.h"
#include "BareDevice.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

// AudioIn rings that hold what the test puts there, handed out in pieces of at most
// `piece` bytes. Like the device, a ring answers no bytes and the new format once its
// take position reaches a format change, and never hands out bytes across one.
class AudioRings : public BareDevice {
public:
    explicit AudioRings(size_t piece) : piece_(piece) {}

    // Every channel: `count` samples, channel c's sample n being base + 100 * c + n.
    void DeliverFrame(int count, int base) {
        for (int c = 0; c < 4; ++c) {
            for (int n = 0; n < count; ++n) {
                const auto s = static_cast<int16_t>(base + 100 * c + n);
                bytes_[c].push_back(static_cast<uint8_t>(s & 0xFF));
                bytes_[c].push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
            }
        }
    }
    // A format change at the present end of every ring.
    void ChangeFormat() {
        for (int c = 0; c < 4; ++c) changes_[c].push_back(taken_[c] + bytes_[c].size());
    }

    LONG ReqAudioInTakePtr(LONG length, void** data, DIOFormat** format, int channel) override {
        auto& changes = changes_[channel];
        *format = &formats_[seen_[channel] % 2];
        *data = nullptr;
        if (!changes.empty() && changes.front() == taken_[channel]) {
            changes.erase(changes.begin());
            *format = &formats_[++seen_[channel] % 2];
            return 0;
        }
        auto& queue = bytes_[channel];
        size_t n = std::min({static_cast<size_t>(length), queue.size(), piece_});
        if (!changes.empty()) n = std::min(n, changes.front() - taken_[channel]);
        given_[channel].assign(queue.begin(), queue.begin() + static_cast<long>(n));
        if (n > 0) *data = given_[channel].data();
        return static_cast<LONG>(n);
    }
    void AckAudioInTakePtr(LONG length, int channel) override {
        auto& queue = bytes_[channel];
        const size_t n = std::min(static_cast<size_t>(length), queue.size());
        queue.erase(queue.begin(), queue.begin() + static_cast<long>(n));
        taken_[channel] += n;
    }

private:
    size_t piece_;
    std::deque<uint8_t> bytes_[4];
    std::vector<uint8_t> given_[4];
    size_t taken_[4] = {};
    std::vector<size_t> changes_[4];
    int seen_[4] = {};
    DIOFormat formats_[2];
};

DvFrameFacts Frame(DIO_AudioFormat rate, int channels, uint32_t samples) {
    DvFrameFacts facts;
    facts.standard = DIO_PAL;
    facts.audioReadable = true;
    facts.audioRate = rate;
    facts.audioChannels = channels;
    facts.audioBits = channels == 4 ? 12 : 16;
    facts.samples = samples;
    return facts;
}

// Channels 0 .. channels-1 of `count` samples from `base`, interleaved.
std::vector<int16_t> Expected(int channels, int count, int base) {
    std::vector<int16_t> samples;
    for (int n = 0; n < count; ++n)
        for (int c = 0; c < channels; ++c) samples.push_back(static_cast<int16_t>(base + 100 * c + n));
    return samples;
}

std::vector<int16_t> operator+(std::vector<int16_t> a, const std::vector<int16_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Rings handing out pieces of at most `piece` bytes, and the capture's audio taken
// from them into a.wav.
struct Capture {
    explicit Capture(size_t piece) : rings(piece) {}
    dviotest::Scratch dir;
    AudioRings rings;
    AudioTake take{&rings, 4};
    WavSeries wav{dir.File("a.wav")};
    CaptureAudio audio{&take, &wav};
    std::string error;
};

TEST(CaptureAudio, TheLeadInFramesSamplesAreDroppedOnceTheDeviceSaysHowMany) {
    Capture c(999);  // odd pieces: samples split across takes
    auto& [dir, rings, take, wav, audio, error] = c;

    rings.DeliverFrame(1920, 5000);  // the device's silence for its first frame, another length
    rings.DeliverFrame(1280, 0);
    rings.DeliverFrame(1280, 2000);
    audio.AddFrame(Frame(DIO_Audio32000, 2, 1280), false, -1, "10:00:01:24");
    audio.AddFrame(Frame(DIO_Audio32000, 2, 1280), true, 0, "10:00:02:00");
    audio.AddFrame(Frame(DIO_Audio32000, 2, 1280), true, 1, "10:00:02:01");
    ASSERT_TRUE(audio.Pump(&error)) << error;
    EXPECT_FALSE(wav.IsOpen()) << "nothing may be written before the first frame's count is known";
    EXPECT_EQ(audio.Owed(), 2560);
    EXPECT_EQ(audio.FrameSamples(), (std::vector<uint32_t>{1280, 1280, 1280}));

    audio.SetFirstFrameSamples(1920);
    ASSERT_TRUE(audio.Pump(&error)) << error;
    EXPECT_EQ(audio.Owed(), 0);
    EXPECT_FALSE(audio.FirstFrameSilenced());
    ASSERT_TRUE(wav.Close(&error));
    int rate = 0, channels = 0;
    EXPECT_EQ(dviotest::WavSamples(dir.File("a.wav"), &rate, &channels), Expected(2, 1280, 0) + Expected(2, 1280, 2000));
    EXPECT_EQ(rate, 32000);
    EXPECT_EQ(channels, 2);
}

TEST(CaptureAudio, AWrittenFirstFrameTheDeviceSilencedBecomesSilenceOfItsOwnLength) {
    Capture c(1 << 16);
    auto& [dir, rings, take, wav, audio, error] = c;
    rings.DeliverFrame(1920, 5000);
    rings.DeliverFrame(1280, 0);
    audio.AddFrame(Frame(DIO_Audio32000, 2, 1280), true, 0, "10:00:00:00");
    audio.AddFrame(Frame(DIO_Audio32000, 2, 1280), true, 1, "10:00:00:01");
    audio.SetFirstFrameSamples(1920);
    ASSERT_TRUE(audio.Pump(&error)) << error;
    EXPECT_TRUE(audio.FirstFrameSilenced());
    ASSERT_TRUE(wav.Close(&error));
    EXPECT_EQ(dviotest::WavSamples(dir.File("a.wav")), std::vector<int16_t>(2 * 1280, 0) + Expected(2, 1280, 0));
}

TEST(CaptureAudio, ALayoutChangeMovesToTheNextFileAtItsFrame) {
    Capture c(4096);
    auto& [dir, rings, take, wav, audio, error] = c;
    rings.DeliverFrame(1920, 0);
    rings.DeliverFrame(1920, 3000);
    rings.ChangeFormat();  // the device's record at the change, in every ring
    rings.DeliverFrame(1280, 6000);
    audio.AddFrame(Frame(DIO_Audio48000, 2, 1920), true, 0, "10:00:00:00");
    audio.SetFirstFrameSamples(1920);
    audio.AddFrame(Frame(DIO_Audio48000, 2, 1920), true, 1, "10:00:00:01");
    DvFrameFacts damaged = Frame(DIO_Audio32000, 4, 1280);
    damaged.audioReadable = false;  // the device delivers no samples for it
    audio.AddFrame(damaged, true, 2, "10:00:00:02");
    audio.AddFrame(Frame(DIO_Audio32000, 4, 1280), true, 3, "10:00:00:03");
    ASSERT_TRUE(audio.Pump(&error)) << error;
    EXPECT_EQ(audio.Owed(), 0);
    ASSERT_TRUE(wav.Close(&error));
    EXPECT_EQ(take.FormatRecords(), 2);

    ASSERT_EQ(wav.Files().size(), 2u);
    EXPECT_EQ(wav.Files()[1].path, dir.File("a-2.wav"));
    EXPECT_EQ(wav.Files()[1].firstFrame, 3);
    EXPECT_EQ(wav.Files()[1].firstTimecode, "10:00:00:03");
    EXPECT_EQ(dviotest::WavSamples(dir.File("a.wav")), Expected(2, 1920, 0) + Expected(2, 1920, 3000));
    int channels = 0;
    EXPECT_EQ(dviotest::WavSamples(dir.File("a-2.wav"), nullptr, &channels), Expected(4, 1280, 6000));
    EXPECT_EQ(channels, 4);
}

TEST(CaptureAudio, AudioNotDeliveredYetIsOwed) {
    Capture c(1 << 16);
    auto& [dir, rings, take, wav, audio, error] = c;
    rings.DeliverFrame(1600, 0);
    rings.DeliverFrame(700, 1600);  // part of the next frame
    audio.AddFrame(Frame(DIO_Audio48000, 2, 1600), true, 0, "");
    audio.SetFirstFrameSamples(1600);
    audio.AddFrame(Frame(DIO_Audio48000, 2, 1602), true, 1, "");
    ASSERT_TRUE(audio.Pump(&error));
    EXPECT_EQ(audio.Owed(), 902);
    EXPECT_EQ(wav.Files().at(0).samples, 2300);
    rings.DeliverFrame(902, 2300);
    ASSERT_TRUE(audio.Pump(&error));
    EXPECT_EQ(audio.Owed(), 0);
    EXPECT_EQ(wav.Files().at(0).samples, 3202);
}

}  // namespace
