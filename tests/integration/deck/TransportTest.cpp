// Transport commands and the shuttle through the host interface: one library call
// each, the error passed on, the log line.
#include "DeckFixture.h"
#include "KDXCORE.h"
#include "KordexDDC.h"

#include <cstring>

namespace {

class TransportTest : public DeckFixture {};

struct Command {
    DDCError_t (CDV1394::*operation)();
    const char* library;
};

// In an order the deck can follow; eject last.
const Command kCommands[] = {
    {&CDV1394::DevicePlay, "DevPlay"},
    {&CDV1394::DevicePause, "DevPause"},
    {&CDV1394::DeviceFFrame, "DevStepForwardAFrame"},
    {&CDV1394::DeviceRewFrame, "DevStepBackAFrame"},
    {&CDV1394::DeviceFF, "DevFF"},
    {&CDV1394::DeviceRew, "DevRewind"},
    {&CDV1394::DeviceStop, "DevStop"},
    {&CDV1394::DeviceRecord, "DevRecord"},
    {&CDV1394::DeviceEject, "DevEject"},
};

TEST_F(TransportTest, EachCommandCallsItsLibraryFunctionOnce) {
    OpenSession();
    Trace(true);
    for (const Command& command : kCommands) {
        Forget();
        EXPECT_EQ((device_->*command.operation)(), DDC_NoError) << command.library;
        EXPECT_EQ(CardCalls(), std::vector<std::string>{command.library});
        EXPECT_EQ(Lines(), std::vector<std::string>{std::string(command.library) + "  error -> No Error\n"});
    }
    EXPECT_TRUE(WaitUntil([] { return !cardsim::GetDeckStatus().cassetteLoaded; }));
}

TEST_F(TransportTest, LibraryErrorsReachTheHostUnchanged) {
    OpenSession();
    Trace(true);
    cardsim::FailDeckCall("DevFF", DDC_HardwareError, 1);
    EXPECT_EQ(device_->DeviceFF(), DDC_HardwareError);
    cardsim::SetWriteProtected(true);
    EXPECT_EQ(device_->DeviceRecord(), DDC_TapeProtected);
    cardsim::EjectTape();
    EXPECT_EQ(device_->DevicePlay(), DDC_TapeEjected);
    cardsim::DisconnectDevice();
    EXPECT_EQ(device_->DeviceRew(), DDC_NoDevice);
    const std::vector<std::string> expected = {
        "DevFF  error -> Hardware Error\n",
        "DevRecord  error -> Tape Protected\n",
        "DevPlay  error -> Tape Ejected\n",
        "DevRewind  error -> No Device\n",
    };
    EXPECT_EQ(Lines(), expected);
}

TEST_F(TransportTest, ShuttleGoesThroughTheLibraryExceptSpeedZeroOnAStoppedDeck) {
    OpenSession();
    Trace(true);
    // A stopped deck at speed 0: the card gets the tape moving.
    EXPECT_EQ(device_->DeviceShuttle(0), DDC_NoError);
    EXPECT_EQ(CardCalls(), (std::vector<std::string>{"DevGetState", "PdvDeckControl"}));
    EXPECT_EQ(CallsTo("PdvDeckControl")[0].arguments, std::vector<int64_t>{0x4A});
    EXPECT_EQ(Lines(), std::vector<std::string>{"DevGetState  -> STOP\n"});

    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK_PAUSE);
    Forget();
    EXPECT_EQ(device_->DeviceShuttle(-45), DDC_NoError);
    EXPECT_EQ(CardCalls(), (std::vector<std::string>{"DevGetState", "DevShuttle"}));
    EXPECT_EQ(CallsTo("DevShuttle")[0].arguments, std::vector<int64_t>{-45});
    EXPECT_EQ(Lines(), (std::vector<std::string>{"DevGetState  -> PLAYBACK_PAUSE\n",
                                                 "DevShuttle  speed -> -45  error -> No Error\n"}));
    EXPECT_TRUE(WaitUntil([] {
        const cardsim::DeckStatus status = cardsim::GetDeckStatus();
        return !status.inTransition && status.rawState == DDC_STATE_REV_X1;
    }));
    // Speed 0 on a deck that is not stopped is an ordinary still.
    Forget();
    EXPECT_EQ(device_->DeviceShuttle(0), DDC_NoError);
    EXPECT_EQ(CardCalls(), (std::vector<std::string>{"DevGetState", "DevShuttle"}));
}

TEST_F(TransportTest, AgainstADeckInTransitionTheFourteenthShuttleForcesTheCodeAndTheFifteenthResets) {
    OpenSession();
    cardsim::SetStuckInTransition(true);
    // The count lives as long as the module: run it to a known point first, the call
    // that forces a code, and then one more, which resets it.
    int calls = 0;
    while (CallsTo("PdvDeckControl").empty()) {
        ASSERT_LT(++calls, 15);
        ASSERT_EQ(device_->DeviceShuttle(10), DDC_DeviceInTransition);
    }
    ASSERT_EQ(device_->DeviceShuttle(10), DDC_DeviceInTransition);

    Forget();
    for (int call = 1; call <= 14; ++call) {
        EXPECT_EQ(device_->DeviceShuttle(-45), DDC_DeviceInTransition);
        EXPECT_EQ(CallsTo("PdvDeckControl").size(), call < 14 ? 0u : 1u) << "call " << call;
    }
    ASSERT_EQ(CallsTo("PdvDeckControl").size(), 1u);
    EXPECT_EQ(CallsTo("PdvDeckControl")[0].arguments, std::vector<int64_t>{0x4F});  // reverse, speed band 40-59
    EXPECT_EQ(device_->DeviceShuttle(-45), DDC_DeviceInTransition);  // the 15th
    EXPECT_EQ(CallsTo("PdvDeckControl").size(), 1u);
    EXPECT_TRUE(CallsTo("DevShuttle").empty());
    EXPECT_EQ(CallsTo("DevGetState").size(), 15u);
}

}  // namespace
