// The deck's transport: states, mechanical time, motion, tape ends and seeks.
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
    // Issues `command`, checks the transition lasts the deck model's time, and answers
    // the state reached.
    LONG AfterTransition(DDCError_t (*command)()) {
        EXPECT_EQ(command(), DDC_NoError);
        LONG state = -1;
        EXPECT_EQ(DevGetState(&state), DDC_DeviceInTransition);
        AdvanceMs(cardsim::GetDeckModel().transitionMs - 1);
        EXPECT_EQ(DevGetState(&state), DDC_DeviceInTransition);
        AdvanceMs(2);
        EXPECT_EQ(DevGetState(&state), DDC_NoError);
        return state;
    }
};

TEST_F(DeckTransportTest, EachCommandReachesItsStateAfterTheMechanicalTime) {
    cardsim::ParkDeck(1000, DDC_STATE_STOP);
    EXPECT_EQ(DeckState(), DDC_STATE_STOP);
    // Pause while recording is record pause.
    const std::pair<DDCError_t (*)(), LONG> steps[] = {
        {DevPlay, DDC_STATE_PLAYBACK}, {DevPause, DDC_STATE_PLAYBACK_PAUSE}, {DevFF, DDC_STATE_FAST_FORWARD},
        {DevRewind, DDC_STATE_REWIND}, {DevStop, DDC_STATE_STOP},           {DevRecord, DDC_STATE_RECORD},
        {DevPause, DDC_STATE_RECORD_PAUSE}, {DevStop, DDC_STATE_STOP}};
    for (const auto& step : steps) EXPECT_EQ(AfterTransition(step.first), step.second);

    // The state already shown takes no time.
    ASSERT_EQ(DevStop(), DDC_NoError);
    EXPECT_EQ(DeckState(), DDC_STATE_STOP);

    const int64_t before = cardsim::GetDeckStatus().position;
    EXPECT_EQ(AfterTransition(DevStepForwardAFrame), DDC_STATE_PLAYBACK_PAUSE);
    EXPECT_EQ(cardsim::GetDeckStatus().position, before + 1);
    EXPECT_EQ(AfterTransition(DevStepBackAFrame), DDC_STATE_REV_PLAYBACK_PAUSE);
    EXPECT_EQ(AfterTransition(DevStepBackAFrame), DDC_STATE_REV_PLAYBACK_PAUSE);
    EXPECT_EQ(cardsim::GetDeckStatus().position, before - 1);

    EXPECT_EQ(AfterTransition(DevEject), DDC_STATE_EJECT);
    EXPECT_FALSE(cardsim::GetDeckStatus().cassetteLoaded);
    EXPECT_EQ(DevPlay(), DDC_TapeEjected);
    LONG h, m, s, f;
    EXPECT_EQ(DevGetTimecode(&h, &m, &s, &f, 100), DDC_TapeEjected);
    ASSERT_TRUE(cardsim::ReinsertTape());
    EXPECT_EQ(DeckState(), DDC_STATE_STOP);

    // A new command replaces one in transition and takes its own time.
    ASSERT_EQ(DevPlay(), DDC_NoError);
    AdvanceMs(200);
    ASSERT_EQ(DevFF(), DDC_NoError);
    AdvanceMs(200);
    EXPECT_EQ(DevGetState(&h), DDC_DeviceInTransition);
    AdvanceMs(101);
    EXPECT_EQ(DeckState(), DDC_STATE_FAST_FORWARD);
}

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

TEST_F(DeckTransportTest, ShuttleSpeedsAndDeckCodes) {
    struct Case {
        LONG speed;
        LONG state;
    };
    for (const Case& c : {Case{1, DDC_STATE_1_10}, Case{20, DDC_STATE_1_10}, Case{21, DDC_STATE_1_5},
                          Case{50, DDC_STATE_X1}, Case{80, DDC_STATE_X2}, Case{81, DDC_STATE_X20},
                          Case{-1, DDC_STATE_REV_1_10}, Case{-20, DDC_STATE_REV_1_5}, Case{-59, DDC_STATE_REV_X1},
                          Case{-60, DDC_STATE_REV_X2}, Case{-100, DDC_STATE_REV_X20}, Case{0, DDC_STATE_PLAYBACK_PAUSE}}) {
        cardsim::ParkDeck(9000, DDC_STATE_PLAYBACK);
        ASSERT_EQ(DevShuttle(c.speed), DDC_NoError) << c.speed;
        SettleDeck();
        EXPECT_EQ(DeckState(), c.state) << "speed " << c.speed;
    }
    cardsim::ParkDeck(9000, DDC_STATE_STOP);
    EXPECT_EQ(DevShuttle(0), DDC_CommandRejected) << "a still needs the tape threaded";

    struct Code {
        LONG code;
        LONG state;
    };
    for (const Code& c : {Code{PDV_DECK_STILL, DDC_STATE_PLAYBACK_PAUSE}, Code{PDV_DECK_FORWARD_1_10, DDC_STATE_1_10},
                          Code{PDV_DECK_FORWARD_X20, DDC_STATE_X20}, Code{PDV_DECK_REVERSE_X2, DDC_STATE_REV_X2},
                          Code{PDV_DECK_RECORD_PAUSE, DDC_STATE_RECORD_PAUSE}}) {
        ASSERT_TRUE(PdvDeckControl(c.code)) << c.code;
        SettleDeck();
        EXPECT_EQ(DeckState(), c.state) << "code " << c.code;
    }
    EXPECT_CARD_ERROR(PdvDeckControl(0x47), KDX_E_INVALID_PARAMETER);
}

TEST_F(DeckTransportTest, SeekWindsToTheTargetAndParksInPause) {
    cardsim::ParkDeck(100, DDC_STATE_STOP);
    // Drop-frame material has no 00:05:00;00; the minute starts at 00:05:00;02,
    // frame count 8992.
    EXPECT_EQ(DevSeekToTimecode(0, 5, 0, 0), DDC_CommandRejected);
    ASSERT_EQ(DevSeekToTimecode(0, 5, 0, 2), DDC_NoError);
    SettleDeck();
    EXPECT_EQ(DeckState(), DDC_STATE_FAST_FORWARD);
    const int wind = cardsim::GetDeckModel().windSpeed;
    AdvancePeriods((8992 - 100) / wind + 2);
    EXPECT_EQ(DeckState(), DDC_STATE_PLAYBACK_PAUSE);
    EXPECT_EQ(cardsim::GetDeckStatus().position, 8992);
    EXPECT_EQ(DeckTimecode(), "00:05:00:02");

    ASSERT_EQ(DevSeekToTimecode(0, 4, 59, 29), DDC_NoError);
    SettleDeck();
    EXPECT_EQ(DeckState(), DDC_STATE_PLAYBACK_PAUSE) << "a short way is cued at once";
    EXPECT_EQ(cardsim::GetDeckStatus().position, 8991);

    EXPECT_EQ(DevSeekToTimecode(2, 0, 0, 0), DDC_CommandRejected) << "not on the tape";
    EXPECT_EQ(DevSeekToTimecode(0, 61, 0, 0), DDC_InvalidParameter);
    EXPECT_EQ(DevSeekToTimecode(-1, -1, -1, -1), DDC_InvalidParameter);
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
            SettleDeck();
            AdvancePeriods(10);
            EXPECT_EQ(DeckState(), DDC_STATE_PLAYBACK_PAUSE);
            EXPECT_EQ(cardsim::GetDeckStatus().position, 300 + offset) << "method " << m << " offset " << offset;
        }
    }
}

}  // namespace
}  // namespace simtest
