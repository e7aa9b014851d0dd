// The real deck's profile: the mechanical times by kind of change, a search that
// overshoots, stops to reverse and lands off its target, a search for a missing
// timecode that fails at the tape end, late final answers, stale timecode while
// winding, refused frame steps and "No Device".
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

    // Milliseconds until the deck shows a state again after `command` from `from`.
    static int64_t TransitionMs(LONG from, DDCError_t (*command)()) {
        cardsim::ParkDeck(1000, from);
        EXPECT_EQ(command(), DDC_NoError);
        int64_t ms = 0;
        LONG state = 0;
        while (DevGetState(&state) == DDC_DeviceInTransition && ms < 20000) {
            AdvanceMs(100);
            ms += 100;
        }
        return ms;
    }

    // Steps frame periods until the deck parks, collecting the states it shows.
    static std::vector<LONG> StatesUntilParked() {
        std::vector<LONG> states;
        for (int i = 0; i < 20000 && (cardsim::GetDeckStatus().seeking || cardsim::GetDeckStatus().inTransition); ++i) {
            AdvancePeriods(1);
            const cardsim::DeckStatus status = cardsim::GetDeckStatus();
            if (!status.inTransition && (states.empty() || states.back() != status.rawState)) states.push_back(status.rawState);
        }
        return states;
    }

    static std::vector<cardsim::JournalEntry> FinalAnswers() {
        std::vector<cardsim::JournalEntry> finals;
        for (const cardsim::JournalEntry& e : cardsim::JournalSince(0))
            if (e.function == "AVCFinalResponse") finals.push_back(e);
        return finals;
    }

    cardsim::DeckModel model_;
};

TEST_F(RealDeckTest, ThreadingAndEjectTakeLongerThanOtherChanges) {
    struct Case {
        LONG from;
        DDCError_t (*command)();
        int ms;
    };
    const Case cases[] = {
        {DDC_STATE_STOP, DevPlay, model_.threadMs},       {DDC_STATE_STOP, DevStepForwardAFrame, -1},
        {DDC_STATE_PLAYBACK, DevPause, model_.transitionMs}, {DDC_STATE_PLAYBACK, DevStop, model_.transitionMs},
        {DDC_STATE_STOP, DevFF, model_.transitionMs},      {DDC_STATE_STOP, DevEject, model_.ejectMs},
    };
    for (const Case& c : cases) {
        if (c.ms < 0) {
            cardsim::ParkDeck(1000, c.from);
            EXPECT_EQ(c.command(), DDC_CommandRejected) << "a frame step from stop";
            continue;
        }
        const int64_t ms = TransitionMs(c.from, c.command);
        EXPECT_GE(ms, c.ms) << c.from;
        EXPECT_LT(ms, c.ms + 100) << c.from;
        cardsim::ReinsertTape();
    }
}

TEST_F(RealDeckTest, ASearchOvershootsStopsToReverseAndLandsOffItsTarget) {
    const int64_t target = cardsim::FindTapeTimecode({0, 1, 0, 2, true});
    for (int search = 0; search < 2; ++search) {
        cardsim::ParkDeck(100, DDC_STATE_STOP);
        cardsim::ClearJournal();
        EXPECT_EQ(SendAVC({0x00, 0x20, 0x51, 0x20, 0x02, 0x00, 0x01, 0x00}).at(0), 0x0F) << "INTERIM";
        EXPECT_EQ(StatesUntilParked(), (std::vector<LONG>{DDC_STATE_FAST_FORWARD, DDC_STATE_STOP, DDC_STATE_REV_X1,
                                                          DDC_STATE_PLAYBACK_PAUSE}));
        EXPECT_EQ(cardsim::GetDeckStatus().position, target + model_.landingMisses[search]);
        // The final answer comes as the deck parks, and the next command gets it.
        ASSERT_EQ(FinalAnswers().size(), 1u);
        EXPECT_EQ(FinalAnswers()[0].reply.at(0), 0x09);
        EXPECT_EQ(SendAVC({0x01, 0x20, 0x51, 0x71, 0xFF, 0xFF, 0xFF, 0xFF}).at(3), 0x20) << "the search's answer";
        EXPECT_EQ(SendAVC({0x01, 0x20, 0x51, 0x71, 0xFF, 0xFF, 0xFF, 0xFF}).at(3), 0x71) << "then its own";
    }
}

TEST_F(RealDeckTest, ASearchForAMissingTimecodeWindsToTheTapeEndAndIsRefusedThere) {
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK_PAUSE);
    EXPECT_EQ(SendAVC({0x00, 0x20, 0x51, 0x20, 0x00, 0x00, 0x00, 0x05}).at(0), 0x0F);
    EXPECT_EQ(StatesUntilParked(), (std::vector<LONG>{DDC_STATE_FAST_FORWARD, DDC_STATE_STOP}));
    EXPECT_EQ(cardsim::GetDeckStatus().position, cardsim::TapeLength() - 1);
    ASSERT_EQ(FinalAnswers().size(), 1u);
    EXPECT_EQ(FinalAnswers()[0].reply.at(0), 0x0A);
    // The library's seek is taken too, and winds back when the label is earlier.
    EXPECT_EQ(DevSeekToTimecode(0, 0, 0, 0), DDC_NoError) << "position 0 is on the tape";
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

TEST_F(RealDeckTest, AnUnpluggedDeckAnswersNoDeviceAndTheProfileCombinesWithOtherOptions) {
    cardsim::DisconnectDevice();
    LONG state = 0;
    EXPECT_EQ(DevGetState(&state), DDC_NoDevice);
    cardsim::DeckModel model;
    bool protect = false;
    ASSERT_TRUE(cardsim::ParseDeckOptions("insert=video,real,wind=40", &model, &protect, nullptr));
    EXPECT_TRUE(model.insertVideo && !model.insertAudio && model.reportsNoDevice);
    EXPECT_EQ(model.windSpeed, 40);
    ASSERT_TRUE(cardsim::ParseDeckOptions("fast", &model, &protect, nullptr));
    EXPECT_FALSE(model.reportsNoDevice);
    EXPECT_TRUE(model.insertVideo && !model.insertAudio) << "the edit selector stays";
}

}  // namespace
}  // namespace simtest
