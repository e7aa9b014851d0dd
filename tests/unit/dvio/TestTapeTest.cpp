// Test tapes: the simulated deck's picture and tones, the timecode asked for.
#include "DvFrameFacts.h"
#include "InterfaceValueText.h"
#include "TestTape.h"

#include "sim/SimControl.h"

#include <gtest/gtest.h>

namespace {

std::string Label(const DvFrameFacts& facts) { return TimecodeText(FrameTimecode(facts)); }

TestTapeOptions Options(DIO_VideoFormat standard, DIO_AudioFormat audio, int channels, const timecode_t& start) {
    TestTapeOptions options;
    options.standard = standard;
    options.audio = audio;
    options.channels = channels;
    options.frames = 12;
    options.start = start;
    return options;
}

// With two channels a test tape is the simulator's built-in tape, frame for frame,
// except for what the deck adds as it plays (the track numbers in the subcode).
TEST(TestTape, TwoChannelTapesAreTheBuiltInTapesPictureToneAndTimecode) {
    for (const DIO_VideoFormat standard : {DIO_NTSC, DIO_PAL}) {
        const timecodeDesc_t desc = standard == DIO_PAL ? TCCreateDesc(0, 25) : TCCreateDesc(1, 30);
        const timecode_t start = TCConstruct(0, 1, 0, 0, 0, &desc);
        const TestTapeOptions options = Options(standard, DIO_Audio48000, 2, start);
        cardsim::BuiltInTapeOptions builtIn;
        builtIn.standard = standard;
        builtIn.audio = DIO_Audio48000;
        builtIn.materialFrames = options.frames;
        builtIn.firstFrameCount = start.frameCount;
        cardsim::LoadBuiltInTape(builtIn);
        for (int64_t i = 0; i < options.frames; ++i) {
            std::vector<uint8_t> ours, deck;
            ASSERT_TRUE(BuildTestTapeFrame(options, i, &ours));
            ASSERT_TRUE(cardsim::ReadTapeFrame(i, &deck));
            ASSERT_EQ(ours.size(), deck.size());
            const DvFrameFacts a = ReadFrameFacts(ours.data(), ours.size());
            const DvFrameFacts b = ReadFrameFacts(deck.data(), deck.size());
            EXPECT_EQ(Label(a), Label(b));
            // Header, VAUX, audio and video blocks: everything but the subcode blocks.
            size_t differing = 0;
            for (size_t block = 0; block < ours.size() / 80; ++block) {
                const size_t inSequence = block % 150;
                if (inSequence == 1 || inSequence == 2) continue;
                if (!std::equal(ours.begin() + block * 80, ours.begin() + block * 80 + 80, deck.begin() + block * 80))
                    ++differing;
            }
            EXPECT_EQ(differing, 0u) << "frame " << i << " of " << StandardName(standard);
        }
    }
}

TEST(TestTape, FramesCarryTheTimecodeAndAudioAskedFor) {
    const timecodeDesc_t desc = TCCreateDesc(0, 25);
    const TestTapeOptions options = Options(DIO_PAL, DIO_Audio32000, 4, TCConstruct(0, 23, 59, 59, 23, &desc));
    std::vector<uint8_t> frame;
    const char* expected[] = {"23:59:59:23", "23:59:59:24", "00:00:00:00"};
    for (int64_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(BuildTestTapeFrame(options, i, &frame));
        const DvFrameFacts facts = ReadFrameFacts(frame.data(), frame.size());
        EXPECT_EQ(facts.standard, DIO_PAL);
        EXPECT_EQ(Label(facts), expected[i]);
        EXPECT_EQ(facts.audioRate, DIO_Audio32000);
        EXPECT_EQ(facts.audioBits, 12);
        EXPECT_EQ(facts.audioChannels, 4);
        EXPECT_EQ(facts.samples, 1280u);
        EXPECT_TRUE(facts.audioReadable);
    }
}

TEST(TestTape, OptionsADv25TapeCannotHaveAreRefused) {
    const timecodeDesc_t desc = TCCreateDesc(1, 30);
    std::string error;
    TestTapeOptions options = Options(DIO_NTSC, DIO_Audio48000, 4, TCCreateDur(0, &desc));
    EXPECT_FALSE(CheckTestTapeOptions(options, &error));
    EXPECT_EQ(error, "4 audio channels need --rate 32000: DV25 carries four channels only as 12-bit 32 kHz audio");
    options.channels = 3;
    EXPECT_FALSE(CheckTestTapeOptions(options, &error));
    options.channels = 2;
    options.frames = 0;
    EXPECT_FALSE(CheckTestTapeOptions(options, &error));
    options.frames = 1;
    options.audio = DIO_NoAudioFormat;
    EXPECT_FALSE(CheckTestTapeOptions(options, &error));
    options.audio = DIO_Audio44100;
    EXPECT_TRUE(CheckTestTapeOptions(options, &error));
    EXPECT_EQ(FramesInSeconds(DIO_NTSC, 10), 300);
    EXPECT_EQ(FramesInSeconds(DIO_PAL, 2.5), 63);
}

}  // namespace
