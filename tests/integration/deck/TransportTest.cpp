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

TEST_F(TransportTest, WithoutASessionEveryOperationAnswersDriverErrorAndTouchesNoDeck) {
    cardsim::FailDriverOpen(KDX_E_NO_DVKORDEX);
    Trace(true);
    for (const Command& command : kCommands) {
        log_.Clear();
        EXPECT_EQ((device_->*command.operation)(), DDC_DriverError) << command.library;
        ASSERT_FALSE(Lines().empty());
        EXPECT_EQ(Lines().back(), std::string(command.library) + "  error -> Driver Error\n");
    }
    log_.Clear();
    EXPECT_EQ(device_->DeviceShuttle(30), DDC_DriverError);
    for (const std::string& line : Lines()) EXPECT_EQ(line.find("DevShuttle"), std::string::npos) << line;
    EXPECT_EQ(device_->DeviceAskForStateAsync(), DDC_DriverError);
    EXPECT_EQ(device_->DeviceAskForTCAsync(), DDC_DriverError);
    LONG first = 7, second = 7;
    char text1[48] = "x", text2[48] = "y";
    EXPECT_EQ(device_->DeviceUnitInfo(&first, &second, text1, text2), DDC_DriverError);
    EXPECT_STREQ(text1, "x");  // untouched without a session
    // Not one deck-control call or transport code reached the card.
    for (const std::string& name : CardCalls()) {
        EXPECT_NE(name.rfind("Dev", 0), 0u) << name;
        EXPECT_NE(name.rfind("Pdv", 0), 0u) << name;
    }
    EXPECT_FALSE(CallsTo("KDXOpen").empty());
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

TEST_F(TransportTest, UnitInfoPassesTheLibraryAnswersThroughAndPeriodicTasksDoNothing) {
    OpenSession();
    Trace(true);
    LONG unitType = 0, vendor = 0;
    char vendorText[48], modelText[48];
    std::memset(vendorText, 'x', sizeof vendorText);
    std::memset(modelText, 'x', sizeof modelText);
    EXPECT_EQ(device_->DeviceUnitInfo(&unitType, &vendor, vendorText, modelText), DDC_NoError);
    EXPECT_EQ(unitType, 4);
    EXPECT_EQ(vendor, 0x0A1B2C);
    EXPECT_STREQ(vendorText, "Velorin Simulation");
    EXPECT_STREQ(modelText, "Virtual DV Deck");
    ASSERT_EQ(CallsTo("DevUnitInfo").size(), 1u);
    EXPECT_EQ(CallsTo("DevUnitInfo")[0].arguments.back(), 48);
    EXPECT_EQ(Lines(), std::vector<std::string>{"DevUnitInfo  error -> No Error\n"});

    EXPECT_EQ(device_->DeviceUnitInfo(nullptr, &vendor, vendorText, modelText), DDC_InvalidParameter);
    // Periodic tasks answer success and do nothing.
    Forget();
    EXPECT_EQ(device_->DeviceSchedulePeriodicTask(1), DDC_NoError);
    EXPECT_EQ(device_->DeviceSchedulePeriodicTask(0), DDC_NoError);
    EXPECT_EQ(device_->DeviceDoPeriodicTask(), DDC_NoError);
    EXPECT_TRUE(CardCalls().empty());
    EXPECT_TRUE(Lines().empty());
}

}  // namespace
