// The real deck's profile: slow threading and eject, a search that overshoots, stops to
// reverse and lands off its target, a missing timecode searched for to the tape end,
// late final answers, stale timecode while winding, refused steps and "No Device".
#include "SimTestSupport.h"

#include "sim/SimConfig.h"

namespace simtest {
namespace {

class RealDeckTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        OpenSession();
        ASSERT_TRUE(cardsim::SetDeckOptions("real"));
        model_ = cardsim::GetDeckModel();
    }

    // Steps frame periods until the deck rests, collecting the states it shows.
    static std::vector<LONG> StatesUntilParked() {
        std::vector<LONG> states;
        for (int i = 0; i < 20000 && (cardsim::GetDeckStatus().seeking || cardsim::GetDeckStatus().inTransition); ++i) {
            AdvancePeriods(1);
            const cardsim::DeckStatus status = cardsim::GetDeckStatus();
            if (!status.inTransition && (states.empty() || states.back() != status.rawState)) states.push_back(status.rawState);
        }
        return states;
    }

    static uint8_t FinalAnswerCode() {
        for (const cardsim::JournalEntry& e : cardsim::JournalSince(0))
            if (e.function == "AVCFinalResponse") return e.reply.at(0);
        return 0;
    }

    cardsim::DeckModel model_;
};

TEST_F(RealDeckTest, ThreadingAndEjectTakeLongerThanOtherChangesAndStepsNeedAStill) {
    const struct {
        LONG from;
        DDCError_t (*command)();
        int ms;
    } cases[] = {{DDC_STATE_STOP, DevPlay, model_.threadMs},
                 {DDC_STATE_PLAYBACK, DevPause, model_.transitionMs},
                 {DDC_STATE_STOP, DevFF, model_.transitionMs},
                 {DDC_STATE_STOP, DevEject, model_.ejectMs}};
    for (const auto& c : cases) {
        cardsim::ParkDeck(1000, c.from);
        ASSERT_EQ(c.command(), DDC_NoError);
        AdvanceMs(c.ms - 1);
        EXPECT_TRUE(cardsim::GetDeckStatus().inTransition) << c.from;
        AdvanceMs(2);
        EXPECT_FALSE(cardsim::GetDeckStatus().inTransition) << c.from;
    }
    ASSERT_TRUE(cardsim::ReinsertTape());
    EXPECT_EQ(DevStepForwardAFrame(), DDC_CommandRejected) << "from stop";
}

TEST_F(RealDeckTest, ASearchOvershootsStopsToReverseLandsOffItsTargetAndAnswersLate) {
    const int64_t target = cardsim::FindTapeTimecode({0, 1, 0, 2, true});
    for (int search = 0; search < 2; ++search) {
        cardsim::ParkDeck(100, DDC_STATE_STOP);
        cardsim::ClearJournal();
        EXPECT_EQ(SendAVC({0x00, 0x20, 0x51, 0x20, 0x02, 0x00, 0x01, 0x00}).at(0), 0x0F) << "INTERIM";
        EXPECT_EQ(StatesUntilParked(), (std::vector<LONG>{DDC_STATE_FAST_FORWARD, DDC_STATE_STOP, DDC_STATE_REV_X1,
                                                          DDC_STATE_PLAYBACK_PAUSE}));
        EXPECT_EQ(cardsim::GetDeckStatus().position, target + model_.landingMisses[search]);
        EXPECT_EQ(FinalAnswerCode(), 0x09);
        // The final answer is taken for the next command's; the one after gets its own.
        EXPECT_EQ(SendAVC({0x01, 0x20, 0x51, 0x71, 0xFF, 0xFF, 0xFF, 0xFF}).at(3), 0x20);
        EXPECT_EQ(SendAVC({0x01, 0x20, 0x51, 0x71, 0xFF, 0xFF, 0xFF, 0xFF}).at(3), 0x71);
    }
}

TEST_F(RealDeckTest, AMissingTimecodeIsSearchedForUpToATapeEndAndRefusedThere) {
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK_PAUSE);
    EXPECT_EQ(SendAVC({0x00, 0x20, 0x51, 0x20, 0x00, 0x00, 0x00, 0x05}).at(0), 0x0F);
    EXPECT_EQ(StatesUntilParked(), (std::vector<LONG>{DDC_STATE_FAST_FORWARD, DDC_STATE_STOP}));
    EXPECT_EQ(cardsim::GetDeckStatus().position, cardsim::TapeLength() - 1);
    EXPECT_EQ(FinalAnswerCode(), 0x0A);
    // The library's seek too, winding back for a label earlier than the tape shows.
    cardsim::ParkDeck(5000, DDC_STATE_PLAYBACK_PAUSE);
    cardsim::AddTimecodeBreak(0, 30);  // 00:00:00;00 is no longer anywhere
    EXPECT_EQ(DevSeekToTimecode(0, 0, 0, 0), DDC_NoError);
    EXPECT_EQ(StatesUntilParked(), (std::vector<LONG>{DDC_STATE_REWIND, DDC_STATE_STOP}));
    EXPECT_EQ(cardsim::GetDeckStatus().position, 0);
}

TEST_F(RealDeckTest, TimecodeIsStaleWhileWindingAndMissingInTransitions) {
    cardsim::ParkDeck(1000, DDC_STATE_PLAYBACK_PAUSE);
    const std::string still = DeckTimecode();
    ASSERT_EQ(DevFF(), DDC_NoError);
    LONG h, m, s, f;
    ASSERT_EQ(DevGetTimecode(&h, &m, &s, &f, 100), DDC_NoError);
    EXPECT_EQ(std::vector<LONG>({h, m, s, f}), std::vector<LONG>({-1, -1, -1, -1})) << "in transition";
    AdvanceMs(model_.transitionMs + model_.staleTimecodeMs);
    const std::string first = DeckTimecode();
    AdvanceMs(model_.staleTimecodeMs / 2);
    EXPECT_EQ(DeckTimecode(), first) << "not read again yet, though the tape has moved on";
    AdvanceMs(model_.staleTimecodeMs / 2 + 1);
    EXPECT_NE(DeckTimecode(), first);
    EXPECT_NE(first, still);
}

TEST_F(RealDeckTest, AnUnpluggedDeckAnswersNoDeviceAndTheProfileKeepsTheEditSelector) {
    cardsim::DisconnectDevice();
    LONG state = 0;
    EXPECT_EQ(DevGetState(&state), DDC_NoDevice);
    cardsim::DeckModel model;
    bool protect = false;
    ASSERT_TRUE(cardsim::ParseDeckOptions("insert=video,real,wind=40", &model, &protect, nullptr));
    EXPECT_TRUE(model.insertVideo && !model.insertAudio && model.reportsNoDevice);
    EXPECT_EQ(model.windSpeed, 40);
    ASSERT_TRUE(cardsim::ParseDeckOptions("fast", &model, &protect, nullptr));
    EXPECT_TRUE(model.insertVideo && !model.insertAudio && !model.reportsNoDevice);
}

}  // namespace
}  // namespace simtest
