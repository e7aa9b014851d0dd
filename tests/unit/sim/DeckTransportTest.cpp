// The deck's transport: motion by state, the tape's ends, and where seeks land, also
// with a real deck's profile: overshoot, stop, reverse, land off by its misses, answer late.
#include "SimTestSupport.h"

#include <functional>

namespace simtest {
namespace {

class DeckTransportTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        OpenSession();
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
};

TEST_F(DeckTransportTest, MotionMatchesTheStateAndTheTapeEndsStopTheDeck) {
    const int wind = cardsim::GetDeckModel().windSpeed;
    struct Case {
        LONG state;
        int64_t framesPerTenPeriods;
    };
    for (const Case& c : {Case{DDC_STATE_PLAYBACK, 10}, Case{DDC_STATE_FAST_FORWARD, 10 * wind},
                          Case{DDC_STATE_REWIND, -10 * wind}, Case{DDC_STATE_X2, 20}, Case{DDC_STATE_1_5, 2},
                          Case{DDC_STATE_REV_X1, -10}, Case{DDC_STATE_PLAYBACK_PAUSE, 0},
                          Case{DDC_STATE_RECORD_PAUSE, 0}, Case{DDC_STATE_STOP, 0}}) {
        cardsim::ParkDeck(5000, c.state);
        AdvancePeriods(10);
        EXPECT_EQ(cardsim::GetDeckStatus().position, 5000 + c.framesPerTenPeriods) << "state " << c.state;
        EXPECT_EQ(DeckState(), c.state);
    }
    const int64_t last = cardsim::TapeLength() - 1;
    cardsim::ParkDeck(last - 2, DDC_STATE_PLAYBACK);
    AdvancePeriods(5);
    EXPECT_EQ(DeckState(), DDC_STATE_STOP);
    EXPECT_EQ(cardsim::GetDeckStatus().position, last);
    cardsim::ParkDeck(30, DDC_STATE_REWIND);
    AdvancePeriods(2);
    EXPECT_EQ(DeckState(), DDC_STATE_STOP);
    EXPECT_EQ(cardsim::GetDeckStatus().position, 0);
}

TEST_F(DeckTransportTest, DeckModelLandsOneFrameOffWithEachSeekMethod) {
    // Target 00:00:10;00, frame count 300, track 3000, by the library's seek, the AV/C
    // time code search and the AV/C track search (2 x 3000 + 1).
    const std::vector<std::function<bool()>> methods = {
        [] { return DevSeekToTimecode(0, 0, 10, 0) == DDC_NoError; },
        [] { return SendAVC({0x00, 0x20, 0x51, 0x20, 0x00, 0x10, 0x00, 0x00}).at(0) == 0x09; },
        [] { return SendAVC({0x00, 0x20, 0x52, 0x20, 0x71, 0x17, 0x00, 0xFF}).at(0) == 0x09; }};
    for (int offset : {0, -1, 1}) {
        cardsim::DeckModel model;
        model.landingOffset = offset;
        cardsim::SetDeckModel(model);
        for (size_t m = 0; m < methods.size(); ++m) {
            cardsim::ParkDeck(10, DDC_STATE_STOP);
            ASSERT_TRUE(methods[m]()) << "method " << m;
            AdvancePeriods(20);  // the transition (300 ms) and the winding
            EXPECT_EQ(DeckState(), DDC_STATE_PLAYBACK_PAUSE);
            EXPECT_EQ(cardsim::GetDeckStatus().position, 300 + offset) << "method " << m << " offset " << offset;
        }
    }
}

TEST_F(DeckTransportTest, ARealDeckOvershootsReversesLandsOffItsTargetAndAnswersLate) {
    ASSERT_TRUE(cardsim::SetDeckOptions("real"));
    const auto misses = cardsim::GetDeckModel().landingMisses;
    const int64_t target = cardsim::FindTapeTimecode({0, 1, 0, 2, true});
    for (int search = 0; search < 2; ++search) {
        cardsim::ParkDeck(100, DDC_STATE_STOP);
        EXPECT_EQ(SendAVC({0x00, 0x20, 0x51, 0x20, 0x02, 0x00, 0x01, 0x00}).at(0), 0x0F) << "INTERIM";
        EXPECT_EQ(StatesUntilParked(), (std::vector<LONG>{DDC_STATE_FAST_FORWARD, DDC_STATE_STOP, DDC_STATE_REV_X1,
                                                          DDC_STATE_PLAYBACK_PAUSE}));
        EXPECT_EQ(cardsim::GetDeckStatus().position, target + misses[search]);
        // The late final answer is taken for the next command's; the one after gets its own.
        EXPECT_EQ(SendAVC({0x01, 0x20, 0x51, 0x71, 0xFF, 0xFF, 0xFF, 0xFF}).at(3), 0x20);
        EXPECT_EQ(SendAVC({0x01, 0x20, 0x51, 0x71, 0xFF, 0xFF, 0xFF, 0xFF}).at(3), 0x71);
    }
}

// A real deck searching for a label the tape does not show winds to the tape's end and
// stops there as soon as it gets there: whether the last step lands on the end or would
// pass it.
TEST_F(DeckTransportTest, ASearchForAMissingLabelStopsAtTheTapesEnd) {
    ASSERT_TRUE(cardsim::SetDeckOptions("real"));
    cardsim::AddTimecodeBreak(0, 30);  // 00:00:00;00 is no longer anywhere
    const int wind = cardsim::GetDeckModel().windSpeed;
    std::vector<int> periods;
    for (int64_t from : {int64_t{100} * wind, int64_t{100} * wind - 1}) {
        cardsim::ParkDeck(from, DDC_STATE_PLAYBACK_PAUSE);
        ASSERT_EQ(DevSeekToTimecode(0, 0, 0, 0), DDC_NoError);
        periods.push_back(0);
        for (cardsim::DeckStatus d = cardsim::GetDeckStatus(); periods.back() < 20000 && (d.seeking || d.inTransition);
             d = cardsim::GetDeckStatus(), ++periods.back())
            AdvancePeriods(1);
        EXPECT_EQ(DeckState(), DDC_STATE_STOP);
        EXPECT_EQ(cardsim::GetDeckStatus().position, 0);
    }
    EXPECT_EQ(periods[0], periods[1]) << "from " << 100 * wind << " and one frame nearer";
}

}  // namespace
}  // namespace simtest
