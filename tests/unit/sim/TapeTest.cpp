// Cassettes: the built-in tape's content, .dv files as tape, and writing back.
#include "SimTestSupport.h"

#include "Dv25TestSupport.h"
#include "digitalio/DV25audioDeshuffler.h"
#include "sim/RecordedFrames.h"

#include <cmath>
#include <cstdlib>
#include <fstream>

namespace simtest {
namespace {

using TapeTest = SimTest;

// One channel's samples of a frame, through the host library's deshuffler.
std::vector<int16_t> Channel(std::vector<uint8_t> frame, int channel, DIO_AudioFormat* format) {
    DV25audioDeshuffler deshuffler;
    DIO_VideoFormat video;
    EXPECT_EQ(deshuffler.GetRateAndSampsFromASPak(frame.data(), format, &video), 0);
    dv25test::RingSet rings(2, 8192);
    BitMask mask = dv25test::MaskOf({0, 1}, 2);
    ULONG samples = 0;
    EXPECT_EQ(deshuffler.DeShuffleAudio(frame.data(), &mask, rings.array(), &samples), 0);
    return rings[channel].PopAll();
}

TEST_F(TapeTest, BuiltInTapeCarriesPictureTimecodeAndTones) {
    EXPECT_GE(cardsim::TapeLength(), 10 * 60 * 30) << "at least ten minutes";
    EXPECT_NE(TapeAt(0), TapeAt(1)) << "the picture changes from frame to frame";
    EXPECT_EQ(TapeAt(7), TapeAt(7)) << "generated the same every time";

    // The deck's reading of the subcode agrees with the host library's, drop-frame.
    for (LONG position : {0, 1799, 1800, 17982, 35963}) {
        EXPECT_EQ(FrameLabel(TapeAt(position).data()), DropFrameLabel(position)) << position;
        EXPECT_EQ(DeckLabel(position), DropFrameLabel(position)) << position;
    }

    // 1 kHz on channel 1 and 500 Hz on channel 2, running on across frame boundaries.
    DIO_AudioFormat format;
    std::vector<int16_t> ch1 = Channel(TapeAt(0), 0, &format);
    EXPECT_EQ(format, DIO_Audio48000);
    EXPECT_EQ(ch1.size(), 1600u);
    const std::vector<int16_t> next = Channel(TapeAt(1), 0, &format);
    EXPECT_EQ(next.size(), 1602u);
    ch1.insert(ch1.end(), next.begin(), next.end());
    const std::vector<int16_t> ch2 = Channel(TapeAt(0), 1, &format);
    const double pi = std::acos(-1.0);
    for (size_t n = 0; n < ch1.size(); ++n)
        ASSERT_NEAR(ch1[n], 8192 * std::sin(2 * pi * 1000 * n / 48000.0), 1.0) << "sample " << n;
    for (size_t n = 0; n < ch2.size(); ++n)
        ASSERT_NEAR(ch2[n], 8192 * std::sin(2 * pi * 500 * n / 48000.0), 1.0) << "sample " << n;
}

TEST_F(TapeTest, BuiltInTapeOptions) {
    cardsim::BuiltInTapeOptions options;
    options.standard = DIO_PAL;
    options.audio = DIO_Audio32000;
    options.materialFrames = 50;
    options.blankFrames = 10;
    cardsim::LoadBuiltInTape(options);
    EXPECT_EQ(cardsim::TapeLength(), 60);
    EXPECT_EQ(TapeAt(3).size(), kDVFrameSizePAL);
    EXPECT_TRUE(cardsim::IsTapeBlank(50));
    EXPECT_EQ(cardsim::TapeTrackOf(50), 600);
    EXPECT_EQ(cardsim::TapeTrackOf(55), 660);
    DIO_AudioFormat format;
    EXPECT_EQ(Channel(TapeAt(3), 0, &format).size(), 1280u);
    EXPECT_EQ(format, DIO_Audio32000);
    EXPECT_EQ(DeckLabel(26), (std::vector<int>{0, 0, 1, 1, 0}));
}

TEST_F(TapeTest, FileOfBothStandardsIsMappedFrameByFrame) {
    auto frames = MakeFrames(DIO_NTSC, 3, 0, 10);
    for (auto& f : MakeFrames(DIO_PAL, 2, 100, 20)) frames.push_back(f);
    for (auto& f : MakeFrames(DIO_NTSC, 2, 300, 30)) frames.push_back(f);
    const std::string path = TempPath("mixed.dv");
    WriteDVFile(path, frames);
    {
        std::ofstream tail(path, std::ios::binary | std::ios::app);
        tail << "not a frame";  // trailing bytes are left out
    }
    std::string error;
    ASSERT_TRUE(cardsim::LoadTapeFile(path, &error)) << error;
    for (size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(TapeAt(static_cast<int64_t>(i)), frames[i]) << i;
    EXPECT_TRUE(cardsim::IsTapeBlank(7));
    EXPECT_GT(cardsim::TapeLength(), 7) << "blank tape follows the material";
    const std::vector<int64_t> tracks = {0, 10, 20, 30, 42, 54, 64, 74, 84};
    for (size_t p = 0; p < tracks.size(); ++p) EXPECT_EQ(cardsim::TapeTrackOf(static_cast<int64_t>(p)), tracks[p]);
    EXPECT_EQ(DeckLabel(4), (std::vector<int>{0, 0, 4, 1, 0}));  // frame count 101 at 25 fps
    cardsim::TapeTimecode tc;
    tc.seconds = 10;
    tc.frames = 1;  // frame count 301, NTSC drop-frame
    EXPECT_EQ(cardsim::FindTapeTimecode(tc), 6);
    EXPECT_FALSE(cardsim::LoadTapeFile(TempPath("missing.dv"), &error));
    EXPECT_FALSE(error.empty());
}

TEST_F(TapeTest, RecordingOverAFileIsWrittenBackInPlace) {
    const auto original = MakeFrames(DIO_NTSC, 10, 0, 100);
    const std::string path = TempPath("roundtrip.dv");
    WriteDVFile(path, original);
    std::string error;
    ASSERT_TRUE(cardsim::LoadTapeFile(path, &error)) << error;
    OpenSession();

    const auto program = MakeFrames(DIO_NTSC, 3, 9000, 500);
    ASSERT_TRUE(PdvBeginPlayback());
    for (LONG i = 0; i < 3; ++i) QueuePlaybackFrame(i, program[i]);
    ASSERT_TRUE(PdvStartPlayback());
    cardsim::ParkDeck(4, DDC_STATE_RECORD);
    AdvancePeriods(3);
    ASSERT_TRUE(PdvStopPlayback());
    EXPECT_EQ(ReadFile(path).size(), original.size() * kDVFrameSizeNTSC) << "not written while recording";
    cardsim::ParkDeck(7, DDC_STATE_STOP);
    AdvancePeriods(1);  // the deck has left record: the cassette goes back to its file

    auto recorded = original;
    std::copy(program.begin(), program.end(), recorded.begin() + 4);
    const std::vector<uint8_t> expected = Concat(recorded);
    EXPECT_TRUE(ReadFile(path) == expected);
    EXPECT_EQ(cardsim::TapeError(), "");

    // Recording past the file's end makes it longer; blank tape in between becomes black.
    ASSERT_TRUE(PdvStartPlayback());
    cardsim::ParkDeck(11, DDC_STATE_RECORD);
    AdvancePeriods(1);
    cardsim::EjectTape();
    const std::vector<uint8_t> longer = ReadFile(path);
    ASSERT_EQ(longer.size(), 12 * kDVFrameSizeNTSC);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), longer.begin()));
    EXPECT_EQ(longer[10 * kDVFrameSizeNTSC + 7 * 80 + 4], 0x90) << "black video at position 10";
}

// Recordings live in a temporary file, not in memory: every frame must come back bit
// for bit, re-recorded positions must show only their newest frame whatever its size,
// and the index must answer standard and timecode as the frames say.
TEST(RecordedFramesTest, FramesComeBackAsRecordedWithTheirStandardAndTimecode) {
    cardsim::RecordedFrames store;
    const auto ntsc = MakeFrames(DIO_NTSC, 2, 100, 1);
    const auto pal = MakeFrames(DIO_PAL, 1, 200, 2);
    EXPECT_FALSE(store.Put(3, nullptr, kDVFrameSizeNTSC, DIO_NTSC));
    EXPECT_TRUE(store.Empty());
    ASSERT_TRUE(store.Put(5, ntsc[0].data(), ntsc[0].size(), DIO_NTSC));
    ASSERT_TRUE(store.Put(9, pal[0].data(), pal[0].size(), DIO_PAL));
    EXPECT_EQ(store.End(), 10);
    EXPECT_FALSE(store.Has(6));
    EXPECT_EQ(store.StandardAt(9), DIO_PAL);
    EXPECT_EQ(store.StandardAt(6), DIO_NoVideoFormat);

    std::vector<uint8_t> frame(kDVFrameSizePAL);
    const auto readBack = [&](int64_t position) {
        const size_t size = store.Read(position, frame.data(), frame.size());
        return std::vector<uint8_t>(frame.begin(), frame.begin() + static_cast<long>(size));
    };
    const auto label = [&](int64_t position) {
        cardsim::TapeTimecode tc;
        if (!store.TimecodeAt(position, &tc)) return std::vector<int>{};
        return std::vector<int>{tc.hours, tc.minutes, tc.seconds, tc.frames, tc.dropFrame};
    };
    EXPECT_TRUE(readBack(5) == ntsc[0]);
    EXPECT_TRUE(readBack(9) == pal[0]);
    EXPECT_EQ(label(5), FrameLabel(ntsc[0].data()));
    EXPECT_EQ(label(9), FrameLabel(pal[0].data()));
    EXPECT_TRUE(label(6).empty());
    EXPECT_EQ(store.Read(9, frame.data(), kDVFrameSizeNTSC), 0u) << "too little room";

    // Re-recorded: in place at the same size, elsewhere at another size.
    ASSERT_TRUE(store.Put(5, ntsc[1].data(), ntsc[1].size(), DIO_NTSC));
    ASSERT_TRUE(store.Put(9, ntsc[0].data(), ntsc[0].size(), DIO_NTSC));
    EXPECT_TRUE(readBack(5) == ntsc[1]);
    EXPECT_TRUE(readBack(9) == ntsc[0]);
    EXPECT_EQ(store.StandardAt(9), DIO_NTSC);
    EXPECT_EQ(label(5), FrameLabel(ntsc[1].data()));

    store.Clear();
    EXPECT_TRUE(store.Empty());
    EXPECT_EQ(store.End(), 0);
    EXPECT_TRUE(readBack(5).empty());
    ASSERT_TRUE(store.Put(1, pal[0].data(), pal[0].size(), DIO_PAL));
    EXPECT_TRUE(readBack(1) == pal[0]);
}

// The library's unload happens at process exit, so a child process records and exits.
using TapeDeathTest = TapeTest;

TEST_F(TapeDeathTest, UnloadingWritesTheCassetteBack) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto original = MakeFrames(DIO_NTSC, 5, 0, 100);
    const std::string path = TempPath("unload.dv");
    WriteDVFile(path, original);
    const auto program = MakeFrames(DIO_NTSC, 1, 9000, 500);
    EXPECT_EXIT(
        {
            cardsim::LoadTapeFile(path);
            KDXOpen(0, 1, 0);
            PdvBeginPlayback();
            QueuePlaybackFrame(0, program[0]);
            PdvStartPlayback();
            cardsim::ParkDeck(2, DDC_STATE_RECORD);
            AdvancePeriods(1);
            std::exit(0);  // still recording: only the unload writes it back
        },
        ::testing::ExitedWithCode(0), "");
    auto recorded = original;
    recorded[2] = program[0];
    EXPECT_TRUE(ReadFile(path) == Concat(recorded));
}

TEST_F(TapeTest, SavingARangeWritesItsFrames) {
    const std::string path = TempPath("saved.dv");
    int64_t written = 0;
    std::string error;
    ASSERT_TRUE(cardsim::SaveTape(path, 100, 3, &written, &error)) << error;
    EXPECT_EQ(written, 3);
    EXPECT_TRUE(ReadFile(path) == Concat({TapeAt(100), TapeAt(101), TapeAt(102)}));
    // Blank positions are left out.
    ASSERT_TRUE(cardsim::SaveTape(path, cardsim::TapeLength() - 5, -1, &written, &error));
    EXPECT_EQ(written, 0);
}

}  // namespace
}  // namespace simtest
