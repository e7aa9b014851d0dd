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
}

}  // namespace
