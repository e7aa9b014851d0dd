// The transport state as the host reads it: every library state with its name, a
// missing device, library errors, "cueing" during a seek, and the asynchronous pair.
#include "DeckFixture.h"
#include "KordexDDC.h"

namespace {

class DeckStateTest : public DeckFixture {};

TEST_F(DeckStateTest, EveryLibraryStateReadsAsItsHostStateAndIsLoggedByName) {
    OpenSession();
    Trace(true);
    struct Row {
        LONG raw;
        const char* name;
        LONG host;
    };
    const Row rows[] = {
        {0, "MIN", 0},          {1, "EJECT", 42},          {2, "STOP", 1},           {3, "FAST_FORWARD", 31},
        {4, "REWIND", 21},      {5, "RECORD", 41},         {6, "RECORD_PAUSE", 3},   {7, "PLAYBACK", 4},
        {8, "CUE", 31},         {9, "REVIEW", 21},         {10, "PLAYBACK_PAUSE", 2}, {11, "FRAME", 24},
        {12, "1_5", 10},        {13, "x2", 32},            {14, "REV_PLAYBACK_PAUSE", 2}, {15, "1_10", 24},
        {16, "x1", 30},         {17, "x20", 37},           {18, "REV_FRAME", 7},     {19, "REV_1_10", 7},
        {20, "REV_1_5", 10},    {21, "REV_x1", 13},        {22, "REV_x2", 12},       {23, "REV_x20", 7},
        {32766, "NO_DEVICE", 44}, {65535, "INVALID", 0},   {99, "UNKNOWN 99", 0},
    };
    for (const Row& row : rows) {
        cardsim::ParkDeck(1000, row.raw);
        Forget();
        TransportState_t state = TransportSeeking;
        EXPECT_EQ(device_->DeviceGetState(&state), DDC_NoError) << row.raw;
        EXPECT_EQ(state, row.host) << row.raw;
        EXPECT_EQ(Lines(), std::vector<std::string>{std::string("DevGetState  -> ") + row.name + "\n"});
        EXPECT_EQ(CardCalls(), std::vector<std::string>{"DevGetState"});
    }
}

TEST_F(DeckStateTest, DuringASeekTheDeckReadsCueingUntilItPausesOrIsGivenACommand) {
    cardsim::SetSpeed(4);
    OpenSession();
    ASSERT_EQ(device_->DeviceSeekToTimecode(Tc(0, 3, 0, 2)), DDC_NoError);  // seconds of winding
    int cueing = 0;
    TransportState_t state = TransportUnknown;
    ASSERT_TRUE(WaitUntil([&] {
        const DDCError_t error = device_->DeviceGetState(&state);
        if (error == DDC_NoError && state == TransportSeeking) ++cueing;
        return error == DDC_NoError && state != TransportSeeking;
    })) << "the seek never ended";
    EXPECT_GT(cueing, 0);
    EXPECT_EQ(state, TransportPaused);
    EXPECT_EQ(cardsim::GetDeckStatus().position, cardsim::FindTapeTimecode({0, 3, 0, 2, true}));

    // A transport command in the middle of a seek ends it as well.
    ASSERT_EQ(device_->DeviceSeekToTimecode(Tc(0, 0, 10, 0)), DDC_NoError);
    ASSERT_TRUE(WaitUntil([&] { return device_->DeviceGetState(&state) == DDC_NoError; }));
    EXPECT_EQ(state, TransportSeeking);
    EXPECT_EQ(device_->DevicePlay(), DDC_NoError);
    ASSERT_TRUE(WaitUntil([&] { return device_->DeviceGetState(&state) == DDC_NoError && state == TransportPlaying; }));
}

}  // namespace
