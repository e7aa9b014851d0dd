// The event machine's two decision tables: with one output stream or both, without an
// edit (mode 0) or in one (modes 1 and 2), which host step opens the card and preloads,
// and which starts it; and the card calls of an Arm without an edit, traced.
#include "PrintFixture.h"

#include "sim/SimControl.h"

namespace print_test {
namespace {

constexpr LONG kFrames = 3;
constexpr LONG kStart = 107892;

struct Expect {
    Streams stream;
    Step step;
    bool preloads;  // playback opened and the frames queued
    bool starts;    // the card started
};

struct MachineCase {
    const char* name;
    int editMode;
    int streams;
    std::vector<Expect> steps;
};

class EventMachineTest : public PrintFixture, public ::testing::WithParamInterface<MachineCase> {};

TEST_P(EventMachineTest, PreloadAndStartFollowTheStreamsAndTheEditMode) {
    const MachineCase& c = GetParam();
    OpenSession();
    if (c.editMode != 0) SetUpEdit(c.editMode, 300, kFrames);
    cardsim::UseManualClock(true);
    PrepareVideo(kFrames, kFrames);
    if (c.streams & kAudio) PrepareAudio(kFrames, kFrames);
    SetStartTimecode(kStart);
    GivePictures(kFrames);
    if (c.streams & kAudio) {
        GiveAudio(0, std::vector<int16_t>(SamplesOfFrames(kFrames), 1));
        GiveAudio(1, std::vector<int16_t>(SamplesOfFrames(kFrames), 2));
    }
    StartCardClock();
    for (const Expect& e : c.steps) {
        SCOPED_TRACE(::testing::Message() << e.stream << (e.step == Step::Arm ? " Arm" : " Start"));
        const size_t opened = CallsTo("PdvBeginPlayback2").size();
        const size_t started = CallsTo("PdvStartPlayback").size() + CallsTo("PdvSyncRecNoParam").size();
        ASSERT_EQ(Take(e.stream, e.step), 1);
        EXPECT_EQ(CallsTo("PdvBeginPlayback2").size() - opened, e.preloads ? 1u : 0u);
        EXPECT_EQ(CallsTo("PdvStartPlayback").size() + CallsTo("PdvSyncRecNoParam").size() - started,
                  e.starts ? 1u : 0u);
    }
    // Outside an edit the start timecode is used, and the host is told to allow more
    // frames of delay; a print of video alone needs four fewer.
    EXPECT_EQ(ControlLong(kControlFrameDelay), c.editMode != 0 ? 5 : c.streams == kVideo ? 4 : 8);
    EXPECT_TRUE(WaitForPlayed(kFrames + 1)) << "the lead-in and every frame";
    // Then the record loop rests until the host's next step: it asks the card for no
    // further frame and counts no underrun.
    const size_t polls = CallsTo("PdvGetPlaybackFrame").size();
    Sleep(300);
    EXPECT_EQ(CallsTo("PdvGetPlaybackFrame").size(), polls) << "the record loop wants a frame more";
    EXPECT_EQ(ControlLong(kControlVideoOutUnderruns) + ControlLong(kControlAudioOutUnderruns), 0);
    Do(c.streams, Step::Terminate);
    EXPECT_EQ(CardState(), PDV_STATE_IDLE);
}

const Expect kArmOnly{kVideo, Step::Arm, false, false};

INSTANTIATE_TEST_SUITE_P(
    Tables, EventMachineTest,
    ::testing::Values(
        MachineCase{"VideoNoEdit", 0, kVideo, {{kVideo, Step::Arm, true, false}, {kVideo, Step::Start, false, true}}},
        MachineCase{"VideoInsert", 1, kVideo, {kArmOnly, {kVideo, Step::Start, true, true}}},
        MachineCase{"VideoAssemble", 2, kVideo, {kArmOnly, {kVideo, Step::Start, true, true}}},
        MachineCase{"BothNoEdit", 0, kBoth,
                    {kArmOnly, {kAudio, Step::Arm, true, false}, {kAudio, Step::Start, false, false},
                     {kVideo, Step::Start, false, true}}},
        MachineCase{"BothInsert", 1, kBoth,
                    {{kAudio, Step::Arm, false, false}, kArmOnly, {kVideo, Step::Start, false, false},
                     {kAudio, Step::Start, true, true}}},
        MachineCase{"BothAssemble", 2, kBoth,
                    {kArmOnly, {kAudio, Step::Arm, false, false}, {kAudio, Step::Start, false, false},
                     {kVideo, Step::Start, true, true}}}),
    [](const ::testing::TestParamInfo<MachineCase>& info) { return std::string(info.param.name); });

// Output already on, multi-frame play opened with the odd-field still, the counters
// reset, then the still with frame 1 and the frames after it, one line per card call.
TEST_F(PrintFixture, ArmWithoutEditTracesEnableOpenAndPreload) {
    OpenSession();
    PrepareVideo(kFrames, kFrames);
    const std::vector<Frame> pictures = GivePictures(kFrames);
    const LONG playbackTrace = 4;
    ASSERT_EQ(device_->SetControl(kControlTraceSwitches, const_cast<LONG*>(&playbackTrace)), 1);
    log_.Clear();
    Do(kVideo, Step::Arm);
    std::vector<std::string> expected = {"KDXGetOutputPinState\n",    "PdvGetDriverState\n",
                                         "PdvGetDriverState\n",       "KDXGetPlayPauseMode()\n",
                                         "KDXSetPlayPauseMode(ODD)\n", "PdvBeginPlayback2\n",
                                         "PdvGetPlaybackFrame\n",     "PdvGetPlaybackFrame\n",
                                         "PdvGetPlaybackFrameAddr\n", "PdvSetPlaybackFrame\nPdvSetPlaybackFrame\n"};
    for (int k = 2; k <= kFrames; ++k)
        expected.insert(expected.end(), {"PdvGetPlaybackFrame\n", "PdvGetPlaybackFrameAddr\n", "PdvSetPlaybackFrame\n"});
    EXPECT_EQ(log_.Entries(), expected);
    EXPECT_EQ(CardState(), PDV_STATE_PLAYBACK_OPEN);
    // Card frame 0 is the still of frame 1, its source control pack (sequence 0, byte
    // 453) saying "one field"; card frame 1 is frame 1 itself.
    const BYTE* still = PdvGetPlaybackFrameAddr(0);
    const BYTE* first = PdvGetPlaybackFrameAddr(1);
    ASSERT_TRUE(still != nullptr && first != nullptr);
    EXPECT_TRUE(SamePicture(Frame(still, still + kDVFrameSizeNTSC), pictures[0]));
    EXPECT_TRUE(SamePicture(Frame(first, first + kDVFrameSizeNTSC), pictures[0]));
    EXPECT_EQ(still[453 + 3] & 0xE0, 0x40);
}

}  // namespace
}  // namespace print_test
