// The host's deck scenarios, each run against the tidy default deck and against the
// profile of a real one (slow threading, stale timecode while winding, searches that
// overshoot, stop to reverse and land a frame or two off, late final AV/C answers,
// "No Device" on disconnect). The clock runs fast, so deck seconds pass quickly; the
// host waits the way a host does, by polling the transport state.
#include "../capture/CaptureFixture.h"
#include "../capture/HostTaker.h"
#include "KordexDDC.h"

#include <set>

namespace {

using capture_test::kVideoIn;
using capture_test::Step;

struct Profile {
    const char* name;
    const char* deck;  // deck options
    double speed;      // simulated seconds per real second
    int landingSlack;  // frames a search may miss its target by
};

class DeckScenario : public capture_test::CaptureFixture, public ::testing::WithParamInterface<Profile> {
protected:
    void SetUp() override {
        CaptureFixture::SetUp();
        ASSERT_TRUE(cardsim::SetDeckOptions(GetParam().deck));
        ASSERT_TRUE(cardsim::SetSpeed(GetParam().speed));
        OpenSession();
    }

    static timecode_t Tc(short h, short m, short s, short f) {
        const timecodeDesc_t desc = TCCreateDesc(1, 30);
        return TCConstruct(0, h, m, s, f, &desc);
    }
    static int64_t PositionOf(const timecode_t& tc) {
        short extra = 0, h = 0, m = 0, s = 0, f = 0;
        TCDeconstruct(tc, &extra, &h, &m, &s, &f);
        return cardsim::FindTapeTimecode({h, m, s, f, true});
    }

    // Polls the state as a host does until it is neither cueing nor in transition;
    // every state read on the way goes into seen_.
    TransportState_t WaitUntilSettled() {
        TransportState_t state = TransportUnknown;
        const bool settled = WaitUntil(
            [&] {
                const DDCError_t error = device_->DeviceGetState(&state);
                if (error == DDC_NoError) seen_.insert(state);
                return error == DDC_NoError && state != TransportSeeking && state != TransportUnknown;
            },
            30);
        EXPECT_TRUE(settled) << "the deck never settled";
        return state;
    }

    // Sends a transport request again while the deck is still changing state.
    static DDCError_t Insist(const std::function<DDCError_t()>& request) {
        DDCError_t error = DDC_NoError;
        WaitUntil([&] { return (error = request()) != DDC_DeviceInTransition; });
        return error;
    }

    // Seeks and waits: the deck pauses within the profile's slack of `target`.
    void CueTo(const timecode_t& target) {
        ASSERT_EQ(device_->DeviceSeekToTimecode(target), DDC_NoError);
        ASSERT_EQ(WaitUntilSettled(), TransportPaused);
        EXPECT_LE(std::abs(cardsim::GetDeckStatus().position - PositionOf(target)), GetParam().landingSlack);
    }

    // The plug-in's timecode agrees with the tape under the head.
    void ExpectTimecodeOfHead() {
        timecode_t here{};
        ASSERT_TRUE(WaitUntil([&] { return device_->DeviceGetTimecode(&here) == DDC_NoError; }));
        EXPECT_EQ(PositionOf(here), cardsim::GetDeckStatus().position);
    }

    std::set<TransportState_t> seen_;
};

void PrintTo(const Profile& profile, std::ostream* out) { *out << profile.name; }

TEST_P(DeckScenario, ASeekCuesNearItsTargetAndTheHostSeesNoStopOnTheWay) {
    CueTo(Tc(0, 5, 0, 0));
    EXPECT_EQ(seen_.count(TransportStopped), 0u) << "a stop on the way read as the end of the seek";
    ExpectTimecodeOfHead();
    // Back again, past a stretch the deck winds over.
    seen_.clear();
    CueTo(Tc(0, 1, 10, 12));
    EXPECT_EQ(seen_.count(TransportStopped), 0u);
    ExpectTimecodeOfHead();
}

TEST_P(DeckScenario, AnEditCuesToItsInPointAndWaitsInRecordPauseExactlyThere) {
    const timecode_t in = Tc(0, 4, 0, 0);
    ASSERT_EQ(device_->DeviceSetIn(in), DDC_NoError);
    ASSERT_EQ(device_->DeviceSetOut(Tc(0, 4, 10, 0)), DDC_NoError);
    ASSERT_EQ(device_->DeviceSetPreroll(TCAddModDay(Tc(0, 0, 0, 0), 90)), DDC_NoError);
    // Without an edit mode the deck cues to the preroll before In; in one, to In itself.
    ASSERT_EQ(device_->DeviceGotoPreroll(), DDC_NoError);
    ASSERT_EQ(WaitUntilSettled(), TransportPaused);
    EXPECT_LE(std::abs(cardsim::GetDeckStatus().position - (PositionOf(in) - 90)), GetParam().landingSlack);
    ASSERT_EQ(device_->DeviceSetEditMode(static_cast<DeviceEditMode_t>(1)), DDC_NoError);
    ASSERT_EQ(device_->DeviceGotoPreroll(), DDC_NoError);
    ASSERT_EQ(WaitUntilSettled(), TransportPaused);
    log_.Clear();
    ASSERT_EQ(device_->DevicePerform(), DDC_NoError);
    for (const std::string& line : log_.Entries()) EXPECT_NE(line, "PRINT TO TAPE IS INACCURATE\n");
    EXPECT_EQ(WaitUntilSettled(), TransportRecordPaused);
    EXPECT_EQ(cardsim::GetDeckStatus().position, PositionOf(in));
}

TEST_P(DeckScenario, ACaptureFromATimecodeBeginsExactlyAtThatFrame) {
    const timecode_t start = Tc(0, 6, 0, 0);
    CueTo(TCAddModDay(start, -30));
    ASSERT_EQ(Insist([&] { return device_->DeviceStop(); }), DDC_NoError);
    Prepare(kVideoIn, 8);
    SetStartTimecode(start.frameCount);
    Do({Step::Arm, Step::Start}, kVideoIn);
    ASSERT_EQ(Insist([&] { return device_->DevicePlay(); }), DDC_NoError);
    ASSERT_TRUE(WaitUntil(
        [&] { return device_->GetVideoInRingBufferWritePosition() >= static_cast<ULONG>(kDVFrameSizeNTSC); }, 20));
    capture_test::StreamTaker taker = capture_test::StreamTaker::VideoIn(device_, kDVFrameSizeNTSC, 1);
    taker.Take();
    ASSERT_GE(taker.Bytes().size(), static_cast<size_t>(kDVFrameSizeNTSC));
    std::vector<uint8_t> first(taker.Bytes().begin(), taker.Bytes().begin() + kDVFrameSizeNTSC);
    std::vector<uint8_t> want;
    ASSERT_TRUE(cardsim::ReadTapeFrame(PositionOf(start), &want));
    EXPECT_TRUE(first == want) << "the first frame delivered is not the start frame";
}

// Speeds keep a real deck's seconds short; the tidy deck's 300 ms changes need less.
INSTANTIATE_TEST_SUITE_P(Profiles, DeckScenario,
                         ::testing::Values(Profile{"fast", "fast", 20, 0}, Profile{"real", "real", 25, 2}),
                         [](const ::testing::TestParamInfo<Profile>& info) { return std::string(info.param.name); });

}  // namespace
