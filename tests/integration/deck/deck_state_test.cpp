// The transport state as the host reads it: every library state, a missing device,
// library errors, the "cueing" state after a seek, and the asynchronous pair.
#include "DeckFixture.h"
#include "KordexDDC.h"
#include "deck/raw_states.h"

namespace {

class DeckStateTest : public DeckFixture {};

TEST_F(DeckStateTest, EveryLibraryStateReadsAsItsHostStateAndIsLoggedByName) {
    OpenSession();
    Trace(true);
    struct Row {
        LONG raw;
        LONG host;
    };
    const Row rows[] = {
        {0, 0},   {1, 42},  {2, 1},   {3, 31},  {4, 21},  {5, 41},  {6, 3},   {7, 4},    {8, 31},
        {9, 21},  {10, 2},  {11, 24}, {12, 10}, {13, 32}, {14, 2},  {15, 24}, {16, 30},  {17, 37},
        {18, 7},  {19, 7},  {20, 10}, {21, 13}, {22, 12}, {23, 7},  {32766, 44}, {65535, 0}, {99, 0},
    };
    for (const Row& row : rows) {
        cardsim::ParkDeck(1000, row.raw);
        Forget();
        TransportState_t state = TransportSeeking;
        EXPECT_EQ(device_->DeviceGetState(&state), DDC_NoError) << row.raw;
        EXPECT_EQ(state, row.host) << row.raw;
        EXPECT_EQ(Lines(), std::vector<std::string>{"DevGetState  -> " + DDCStateName(row.raw) + "\n"});
        EXPECT_EQ(CardCalls(), std::vector<std::string>{"DevGetState"});
    }
    cardsim::ParkDeck(1000, 99);
    log_.Clear();
    TransportState_t state;
    device_->DeviceGetState(&state);
    EXPECT_EQ(Lines(), std::vector<std::string>{"DevGetState  -> UNKNOWN 99\n"});
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
    for (LONG still : {DDC_STATE_STOP, DDC_STATE_REV_PLAYBACK_PAUSE, DDC_STATE_RECORD_PAUSE, DDC_STATE_EJECT}) {
        Access::m_bSeekPending(*device_) = 1;
        cardsim::ParkDeck(500, still);
        ASSERT_EQ(device_->DeviceGetState(&state), DDC_NoError);
        EXPECT_EQ(state, RawStateToTransportState(still));
        EXPECT_EQ(Access::m_bSeekPending(*device_), 0) << still;
    }
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
