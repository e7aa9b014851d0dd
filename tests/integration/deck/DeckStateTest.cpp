// The transport state as the host reads it: every library state with its name, a missing device,
// library errors, the "cueing" state after a seek, and the asynchronous pair.
#include "DeckFixture.h"
#include "KordexDDC.h"
#include "device/RawStates.h"

using namespace dv1394;

namespace {

class DeckStateTest : public DeckFixture {};

TEST_F(DeckStateTest, EveryLibraryStateReadsAsItsHostStateAndIsLoggedByName) {
    OpenSession();
    Trace(true);
    struct Row {
        LONG raw;
        const char* name;
        LONG host;
        bool moving;
    };
    const Row rows[] = {
        {0, "MIN", 0, false},          {1, "EJECT", 42, false},          {2, "STOP", 1, false},
        {3, "FAST_FORWARD", 31, true}, {4, "REWIND", 21, true},          {5, "RECORD", 41, false},
        {6, "RECORD_PAUSE", 3, false}, {7, "PLAYBACK", 4, true},         {8, "CUE", 31, true},
        {9, "REVIEW", 21, true},       {10, "PLAYBACK_PAUSE", 2, false}, {11, "FRAME", 24, true},
        {12, "1_5", 10, true},         {13, "x2", 32, true},             {14, "REV_PLAYBACK_PAUSE", 2, false},
        {15, "1_10", 24, true},        {16, "x1", 30, true},             {17, "x20", 37, true},
        {18, "REV_FRAME", 7, true},    {19, "REV_1_10", 7, true},        {20, "REV_1_5", 10, true},
        {21, "REV_x1", 13, true},      {22, "REV_x2", 12, true},         {23, "REV_x20", 7, true},
        {32766, "NO_DEVICE", 44, false}, {65535, "INVALID", 0, false},   {99, "UNKNOWN 99", 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.raw);
        EXPECT_EQ(IsMovingRawState(row.raw), row.moving);
        cardsim::ParkDeck(1000, row.raw);
        Forget();
        TransportState_t state = TransportSeeking;
        EXPECT_EQ(device_->DeviceGetState(&state), DDC_NoError);
        EXPECT_EQ(state, row.host);
        EXPECT_EQ(Lines(), std::vector<std::string>{std::string("DevGetState  -> ") + row.name + "\n"});
        EXPECT_EQ(CardCalls(), std::vector<std::string>{"DevGetState"});
    }
    // States the deck cannot show: named by number, no host state, not moving.
    for (LONG unknown : {24, 32765, 32767, 65536, -1}) {
        EXPECT_EQ(DDCStateName(unknown), "UNKNOWN " + std::to_string(unknown));
        EXPECT_EQ(RawStateToTransportState(unknown), 0) << unknown;
        EXPECT_FALSE(IsMovingRawState(unknown)) << unknown;
    }
}

TEST_F(DeckStateTest, AMissingDeviceIsAnAnswerAndOtherErrorsReadAsUnknown) {
    OpenSession();
    Trace(true);
    TransportState_t state = TransportUnknown;

    // The library reports a missing device as the state it shows.
    cardsim::DisconnectDevice();
    EXPECT_EQ(device_->DeviceGetState(&state), DDC_NoError);
    EXPECT_EQ(state, TransportNoDevice);
    cardsim::ReconnectDevice();

    cardsim::FailDeckCall("DevGetState", static_cast<DDCError_t>(25), 1);
    state = TransportPaused;
    EXPECT_EQ(device_->DeviceGetState(&state), 25);
    EXPECT_EQ(state, TransportUnknown);

    cardsim::SetStuckInTransition(true);
    state = TransportPaused;
    EXPECT_EQ(device_->DeviceGetState(&state), DDC_DeviceInTransition);
    EXPECT_EQ(state, TransportUnknown);

    const std::vector<std::string> expected = {
        "DevGetState  -> NO_DEVICE\n",
        "DevGetState  -> Unknown Error 25\n",
        "DevGetState  -> Device In Transition\n",
    };
    EXPECT_EQ(Lines(), expected);
    EXPECT_EQ(device_->DeviceGetState(nullptr), DDC_InvalidParameter);
}

TEST_F(DeckStateTest, APendingSeekReadsAsCueingUntilTheFirstStillState) {
    OpenSession();
    TransportState_t state = TransportUnknown;
    struct Step {
        LONG raw;
        LONG host;
        LONG pendingAfter;
    };
    // Moving states keep the seek pending; the first still state ends it.
    const Step steps[] = {
        {DDC_STATE_FAST_FORWARD, 46, 1}, {DDC_STATE_CUE, 46, 1},   {DDC_STATE_REWIND, 46, 1},
        {DDC_STATE_PLAYBACK, 46, 1},     {DDC_STATE_REV_X20, 46, 1}, {DDC_STATE_PLAYBACK_PAUSE, 2, 0},
        {DDC_STATE_CUE, 31, 0},
    };
    Access::m_bSeekPending(*device_) = 1;
    for (const Step& step : steps) {
        cardsim::ParkDeck(500, step.raw);
        ASSERT_EQ(device_->DeviceGetState(&state), DDC_NoError);
        EXPECT_EQ(state, step.host) << step.raw;
        EXPECT_EQ(Access::m_bSeekPending(*device_), step.pendingAfter) << step.raw;
    }
    for (LONG still : {DDC_STATE_REV_PLAYBACK_PAUSE, DDC_STATE_RECORD_PAUSE, DDC_STATE_EJECT}) {
        Access::m_bSeekPending(*device_) = 1;
        cardsim::ParkDeck(500, still);
        ASSERT_EQ(device_->DeviceGetState(&state), DDC_NoError);
        EXPECT_EQ(state, RawStateToTransportState(still));
        EXPECT_EQ(Access::m_bSeekPending(*device_), 0) << still;
    }
    // A stop is a deck reversing towards its target until it has lasted longer than that.
    Access::m_bSeekPending(*device_) = 1;
    cardsim::ParkDeck(500, DDC_STATE_STOP);
    ASSERT_EQ(device_->DeviceGetState(&state), DDC_NoError);
    EXPECT_EQ(state, TransportSeeking);
    EXPECT_TRUE(WaitFor([&] { return device_->DeviceGetState(&state) == DDC_NoError && state == TransportStopped; }));
    EXPECT_EQ(Access::m_bSeekPending(*device_), 0);
    // A deck in transition says nothing about the seek.
    Access::m_bSeekPending(*device_) = 1;
    cardsim::SetStuckInTransition(true);
    EXPECT_EQ(device_->DeviceGetState(&state), DDC_DeviceInTransition);
    EXPECT_EQ(Access::m_bSeekPending(*device_), 1);
}

TEST_F(DeckStateTest, AfterARealSeekTheDeckReadsCueingWhileItWindsAndPausedOnArrival) {
    cardsim::SetSpeed(4);
    OpenSession();
    const timecode_t target = Tc(0, 3, 0, 2);  // three minutes on: several seconds of winding
    ASSERT_EQ(device_->DeviceSeekToTimecode(target), DDC_NoError);
    ASSERT_EQ(Access::m_bSeekPending(*device_), 1);
    int cueing = 0;
    TransportState_t state = TransportUnknown;
    ASSERT_TRUE(WaitFor([&] {
        const DDCError_t error = device_->DeviceGetState(&state);
        if (error == DDC_NoError && state == TransportSeeking) ++cueing;
        if (error == DDC_NoError && state != TransportSeeking) return true;
        EXPECT_EQ(Access::m_bSeekPending(*device_), 1);
        return false;
    }));
    EXPECT_GT(cueing, 0);
    EXPECT_EQ(state, TransportPaused);
    EXPECT_EQ(Access::m_bSeekPending(*device_), 0);
    EXPECT_EQ(cardsim::GetDeckStatus().position, cardsim::FindTapeTimecode({0, 3, 0, 2, true}));

    // A transport command in the middle of a seek ends it as well.
    ASSERT_EQ(device_->DeviceSeekToTimecode(Tc(0, 0, 10, 0)), DDC_NoError);
    ASSERT_EQ(Access::m_bSeekPending(*device_), 1);
    EXPECT_EQ(device_->DeviceStop(), DDC_NoError);
    EXPECT_EQ(Access::m_bSeekPending(*device_), 0);
}

TEST_F(DeckStateTest, TheAsynchronousPairAsksNowAndReceivesLater) {
    OpenSession();
    cardsim::UseManualClock(true);
    cardsim::ParkDeck(200, DDC_STATE_PLAYBACK_PAUSE);
    Trace(true);
    TransportState_t state = TransportSeeking;

    EXPECT_EQ(device_->DeviceReceiveAsyncState(&state), DDC_CommandRejected);  // nothing asked
    EXPECT_EQ(state, TransportUnknown);
    EXPECT_EQ(device_->DeviceAskForStateAsync(), DDC_NoError);
    EXPECT_EQ(device_->DeviceAskForStateAsync(), DDC_DeviceBusy);
    EXPECT_EQ(device_->DeviceReceiveAsyncState(&state), DDC_CommandPending);
    cardsim::AdvanceClock(50000);
    Access::m_bSeekPending(*device_) = 1;
    EXPECT_EQ(device_->DeviceReceiveAsyncState(&state), DDC_NoError);
    EXPECT_EQ(state, TransportPaused);
    EXPECT_EQ(Access::m_bSeekPending(*device_), 0);  // translated like the synchronous answer

    EXPECT_EQ(device_->DeviceAskForStateAsync(), DDC_NoError);
    device_->DeviceCancelAsyncState();
    cardsim::AdvanceClock(50000);
    EXPECT_EQ(device_->DeviceReceiveAsyncState(&state), DDC_CommandRejected);

    // "No Device" from the library: logged as the library said it, answered as state 44.
    cardsim::FailDeckCall("DevReceiveAsyncState", DDC_NoDevice, 1);
    EXPECT_EQ(device_->DeviceReceiveAsyncState(&state), DDC_NoError);
    EXPECT_EQ(state, TransportNoDevice);

    const std::vector<std::string> expected = {
        "DevReceiveAsyncState  -> Command Rejected\n",
        "DevAskForStateAsync  error -> No Error\n",
        "DevAskForStateAsync  error -> Device Busy\n",
        "DevReceiveAsyncState  -> Command Pending\n",
        "DevReceiveAsyncState  -> PLAYBACK_PAUSE\n",
        "DevAskForStateAsync  error -> No Error\n",
        "DevCancelAsyncStateRequest  error -> No Error\n",
        "DevReceiveAsyncState  -> Command Rejected\n",
        "DevReceiveAsyncState  -> No Device\n",
    };
    EXPECT_EQ(Lines(), expected);
    EXPECT_EQ(CallsTo("DevCancelAsyncStateRequest").size(), 1u);
    EXPECT_EQ(device_->DeviceReceiveAsyncState(nullptr), DDC_InvalidParameter);
    cardsim::UseManualClock(false);
}

}  // namespace
