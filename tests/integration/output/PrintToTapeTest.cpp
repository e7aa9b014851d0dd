// Whole prints onto the simulated tape in an edit: what the card is given and in which
// order, and what the deck then holds: the host's pictures in order (black when only
// audio is printed), the tape's own timecode (insert) or the stamped one (assemble),
// and the host's audio sample for sample as FFmpeg reads it back.
#include "OracleSupport.h"
#include "PrintFixture.h"

#include "digitalio/DV25Timecode.h"
#include "digitalio/DVFrame.h"
#include "sim/SimControl.h"

#include <atomic>
#include <thread>

namespace print_test {
namespace {

constexpr int64_t kIn = 300;             // 00:00:10;00 on the built-in tape
constexpr LONG kStartTimecode = 107892;  // 01:00:00;00

struct TapeCase {
    const char* name;
    LONG frames;
    bool insert;  // the deck keeps the tape's subcode
    bool video;
    bool audio;
};

class PrintToTapeTest : public PrintFixture, public ::testing::WithParamInterface<TapeCase> {};

TEST_P(PrintToTapeTest, TheTapeHoldsWhatTheHostGave) {
    const TapeCase& c = GetParam();
    if (c.audio) REQUIRE_FFMPEG();
    cardsim::DeckModel model = cardsim::GetDeckModel();
    model.syncEdit = c.insert ? cardsim::EditKind::Insert : cardsim::EditKind::Assemble;
    cardsim::SetDeckModel(model);
    std::vector<cardsim::TapeTimecode> tapeTimecode(static_cast<size_t>(c.frames));
    for (LONG k = 0; k < c.frames; ++k) ASSERT_TRUE(cardsim::TapeTimecodeAt(kIn + k, &tapeTimecode[k]));
    const std::vector<int16_t> left = oracle::Noise(SamplesOfFrames(c.frames), 11);
    const std::vector<int16_t> right = oracle::Noise(SamplesOfFrames(c.frames), 12);

    const int streams = (c.video ? kVideo : 0) | (c.audio ? kAudio : 0);
    OpenSession();
    SetUpEdit(1, kIn, c.frames);
    std::vector<Frame> pictures;
    if (c.video) PrepareVideo(c.frames, c.frames);
    if (c.audio) PrepareAudio(c.frames, c.frames);
    SetStartTimecode(kStartTimecode);
    if (c.video) pictures = GivePictures(c.frames);
    if (c.audio) {
        GiveAudio(0, left);
        GiveAudio(1, right);
    }
    Do(streams, Step::Arm);
    StartCardClock();
    {
        // A host thread polls states and controls while the record thread prints;
        // ThreadSanitizer watches what they share.
        std::atomic<bool> printed{false};
        std::thread poller([&] {
            char value[256] = {};  // room for the error text
            while (!printed) {
                device_->VideoOutGetState();
                device_->AudioOutCurrentFrame();
                for (LONG id : {kControlErrorCount, kControlVideoOutUnderruns, kControlAudioOutUnderruns, kControlLastError})
                    device_->GetControl(id, value);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        Do(streams, Step::Start);
        EXPECT_TRUE(WaitForPlayed(c.frames + 1));
        EXPECT_TRUE(WaitUntil([] { return cardsim::GetDeckStatus().rawState == DDC_STATE_RECORD_PAUSE; }));
        printed = true;
        poller.join();
    }
    EXPECT_EQ(device_->AudioOutCurrentFrame(), c.frames);  // the lead-in still is not the host's
    Do(streams, Step::Terminate);
    StopCardClock();

    // The still with frame 1, then one frame at a time: one frame more than printed.
    const std::vector<int64_t> marks = ReadyMarks();
    ASSERT_GE(marks.size(), 2u);
    EXPECT_EQ(marks.front(), 1);
    EXPECT_EQ(marks[1], 2);
    EXPECT_EQ(marks.back(), c.frames + 1);
    EXPECT_EQ(cardsim::GetCardCounters().underruns, 0u);
    EXPECT_EQ(cardsim::GetCardCounters().framesRecorded, static_cast<uint64_t>(c.frames));
    DVFrame maker;
    unsigned char* black = maker.GenBlackFrame(DIO_NTSC);
    const Frame blackFrame(black, black + kDVFrameSizeNTSC);
    delete[] black;
    DV25Timecode reader;
    const timecodeDesc_t desc = TCCreateDesc(1, 30);
    for (LONG k = 0; k < c.frames; ++k) {
        SCOPED_TRACE(k);
        Frame onTape = TapeFrame(kIn + k);
        ASSERT_TRUE(SamePicture(onTape, c.video ? pictures[k] : blackFrame));
        cardsim::TapeTimecode now;
        timecode_t stamped = TCCreateDur(kStartTimecode + k, &desc);
        const bool timecodeAsExpected = c.insert ? cardsim::TapeTimecodeAt(kIn + k, &now) && now == tapeTimecode[k]
                                                 : reader.LookForTimeCode(onTape.data(), &stamped, 1);
        EXPECT_TRUE(timecodeAsExpected);
    }
    EXPECT_FALSE(SamePicture(TapeFrame(kIn + c.frames), TapeFrame(kIn + c.frames - 1)));
    if (!c.audio) return;

    oracle::ScratchDir dir;
    ASSERT_TRUE(cardsim::SaveTape(dir.File("printed.dv"), kIn, c.frames));
    std::string errors;
    const std::vector<int16_t> read = oracle::FfmpegPcm(dir.File("printed.dv"), 0, &errors);
    ASSERT_FALSE(read.empty()) << errors;
    // -32768 is the format's code for a missing sample: it is written as -32767.
    auto onTape = [](int16_t sample) { return sample == -32768 ? int16_t{-32767} : sample; };
    std::vector<int16_t> given;
    for (size_t i = 0; i < left.size(); ++i) given.insert(given.end(), {onTape(left[i]), onTape(right[i])});
    oracle::ExpectSamePcm(given, read);
    EXPECT_EQ(ControlLong(kControlAudioOutUnderruns), 0);
}

INSTANTIATE_TEST_SUITE_P(Edits, PrintToTapeTest,
                         ::testing::Values(TapeCase{"HundredFramesInsert", 100, true, true, false},
                                           TapeCase{"HundredFramesAssemble", 100, false, true, false},
                                           TapeCase{"VideoAndAudio", 30, true, true, true},
                                           TapeCase{"AudioOverBlack", 30, false, false, true}),
                         [](const ::testing::TestParamInfo<TapeCase>& info) { return std::string(info.param.name); });

// One frame is shown as the silent still alone and stays on screen. The next one-frame
// print finds the still paused: it only resumes and pauses the card again.
TEST_F(PrintFixture, OneFramePrintsSendOnlyTheStill) {
    OpenSession();
    StartCardClock();
    for (int print = 1; print <= 2; ++print) {
        PrepareVideo(2, 1);
        GivePictures(1);
        Do(kVideo, Step::Arm);
        Do(kVideo, Step::Start);
        ASSERT_TRUE(WaitForPlayed(1));
        Do(kVideo, Step::Terminate);
    }
    EXPECT_EQ(ReadyMarks(), (std::vector<int64_t>{1, 2}));
    EXPECT_EQ(CallsTo("PdvBeginPlayback2").size(), 1u);
    EXPECT_EQ(CallsTo("PdvStartPlayback").size(), 1u);
    std::vector<int64_t> pauses;
    for (const cardsim::JournalEntry& entry : CallsTo("PdvPausePlayback")) pauses.push_back(entry.arguments.at(0));
    EXPECT_EQ(pauses, (std::vector<int64_t>{1, 0, 1}));
    EXPECT_EQ(CardState(), PDV_STATE_PLAYBACK_PAUSED);
}

// A one-frame print that finds the card capturing, with its output selected, stops the
// capture before it ends it and opens playback: a capture ended while it runs leaves
// the card's input going.
TEST_F(PrintFixture, AOneFramePrintStopsARunningCaptureFirst) {
    OpenSession();
    ASSERT_TRUE(PdvBeginCapture() && PdvStartCapture() && PdvSetInputChannel(PdvGetInputChannel()));
    const uint64_t mark = cardsim::JournalMark();
    StartCardClock();
    PrepareVideo(2, 1);
    GivePictures(1);
    Do(kVideo, Step::Arm);
    Do(kVideo, Step::Start);
    ASSERT_TRUE(WaitForPlayed(1));
    Do(kVideo, Step::Terminate);
    std::vector<std::string> modeCalls;
    for (const cardsim::JournalEntry& entry : cardsim::JournalSince(mark))
        if (entry.function == "PdvStopCapture" || entry.function == "PdvEndCapture" ||
            entry.function == "PdvBeginPlayback2")
            modeCalls.push_back(entry.function);
    EXPECT_EQ(modeCalls, (std::vector<std::string>{"PdvStopCapture", "PdvEndCapture", "PdvBeginPlayback2"}));
}

}  // namespace
}  // namespace print_test
