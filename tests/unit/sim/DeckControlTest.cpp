// The deck-control library: readiness, queries, edit points and asynchronous pairs.
#include "SimTestSupport.h"

#include <cstring>

namespace simtest {
namespace {

using DeckControlTest = SimTest;
using Label = std::vector<LONG>;

// The four fields a getter answers, expecting it to succeed.
Label Fields(DDCError_t (*get)(LONG*, LONG*, LONG*, LONG*)) {
    LONG h = 0, m = 0, s = 0, f = 0;
    EXPECT_EQ(get(&h, &m, &s, &f), DDC_NoError);
    return {h, m, s, f};
}

TEST_F(DeckControlTest, NothingWorksBeforeInitialisation) {
    LONG state = 12345;
    EXPECT_EQ(DevPlay(), DDC_DriverError);
    EXPECT_EQ(DevGetState(&state), DDC_DriverError);
    EXPECT_EQ(state, 12345) << "left alone";
    EXPECT_EQ(DevAskForTCAsync(), DDC_DriverError);
    EXPECT_EQ(DevUnInitialize(), DDC_DriverError);
    EXPECT_EQ(DevInitialize(), DDC_NoHW) << "the card driver is not open";
    ASSERT_NE(KDXOpen(0, 1, 0), 0);
    ASSERT_EQ(DevInitialize(), DDC_NoError);
    EXPECT_EQ(DeckState(), DDC_STATE_STOP);
    ASSERT_EQ(DevUnInitialize(), DDC_NoError);
    EXPECT_EQ(DevStop(), DDC_DriverError);
    ASSERT_EQ(DevInitialize(), DDC_NoError);
    ASSERT_TRUE(KDXClose(0));
    EXPECT_EQ(DevStop(), DDC_DriverError) << "the driver under the library is gone";
}

TEST_F(DeckControlTest, TimecodeFrameRateAndUnitInfo) {
    OpenSession();
    cardsim::ParkDeck(1800, DDC_STATE_PLAYBACK_PAUSE);
    EXPECT_EQ(DeckTimecode(), "00:01:00:02") << "drop-frame skips 00 and 01";
    LONG h, m, s, f;
    EXPECT_EQ(DevGetTimecode(nullptr, &m, &s, &f, 100), DDC_InvalidParameter);
    EXPECT_EQ(DevGetTimecode(&h, &m, &s, &f, -1), DDC_InvalidParameter);
    cardsim::ParkDeck(cardsim::TapeLength() - 1, DDC_STATE_PLAYBACK_PAUSE);
    EXPECT_EQ(DeckTimecode(), "-1:-1:-1:-1") << "blank tape";

    unsigned char drop = 9;
    LONG rate = 0;
    ASSERT_EQ(DevGetFrameRate(&drop, &rate), DDC_NoError);
    EXPECT_EQ(std::vector<LONG>({drop, rate}), std::vector<LONG>({1, 2997}));
    EXPECT_EQ(DevGetFrameRate(nullptr, &rate), DDC_InvalidParameter);
    cardsim::BuiltInTapeOptions pal;
    pal.standard = DIO_PAL;
    cardsim::LoadBuiltInTape(pal);
    ASSERT_EQ(DevGetFrameRate(&drop, &rate), DDC_NoError);
    EXPECT_EQ(std::vector<LONG>({drop, rate}), std::vector<LONG>({0, 2500}));

    LONG type = 0, vendor = 0, length = 48;
    char vendorText[48], modelText[48];
    std::memset(modelText, 'x', sizeof modelText);
    ASSERT_EQ(DevUnitInfo(&type, &vendor, vendorText, modelText, &length), DDC_NoError);
    EXPECT_EQ(type, 4);
    EXPECT_GT(std::strlen(vendorText), 0u);
    EXPECT_LT(std::strlen(modelText), 48u);
    length = 5;
    std::memset(modelText, 'x', sizeof modelText);
    ASSERT_EQ(DevUnitInfo(&type, &vendor, vendorText, modelText, &length), DDC_NoError);
    EXPECT_EQ(std::strlen(vendorText), 4u) << "at most length - 1 characters";
    EXPECT_EQ(modelText[4], '\0');
    EXPECT_EQ(modelText[5], 'x') << "nothing written past the length";
    length = 0;
    EXPECT_EQ(DevUnitInfo(&type, &vendor, vendorText, modelText, &length), DDC_InvalidParameter);
    EXPECT_EQ(DevUnitInfo(&type, &vendor, nullptr, modelText, &length), DDC_InvalidParameter);
}

TEST_F(DeckControlTest, StoredEditPoints) {
    OpenSession();
    EXPECT_EQ(Fields(DevGetIn), Label({-1, -1, -1, -1})) << "never set";
    ASSERT_EQ(DevSetIn(0, 0, 10, 0), DDC_NoError);
    ASSERT_EQ(DevSetOut(0, 0, 20, 0), DDC_NoError);
    EXPECT_EQ(Fields(DevGetIn), Label({0, 0, 10, 0}));
    EXPECT_EQ(Fields(DevGetOut), Label({0, 0, 20, 0}));
    EXPECT_EQ(DevSetIn(24, 0, 0, 0), DDC_InvalidParameter);
    EXPECT_EQ(DevSetOut(0, 0, 0, 30), DDC_InvalidParameter);
    EXPECT_EQ(Fields(DevGetIn), Label({0, 0, 10, 0})) << "a refused point changes nothing";
    EXPECT_EQ(Fields(DevGetOut), Label({0, 0, 20, 0}));
    ASSERT_EQ(DevSetIn(-1, -1, -1, -1), DDC_NoError);
    EXPECT_EQ(Fields(DevGetIn), Label({-1, -1, -1, -1}));
    LONG h, s, f;
    EXPECT_EQ(DevGetOut(&h, nullptr, &s, &f), DDC_InvalidParameter);
}

TEST_F(DeckControlTest, AsynchronousPairs) {
    OpenSession();
    cardsim::ParkDeck(300, DDC_STATE_PLAYBACK_PAUSE);
    LONG h, m, s, f, state;
    EXPECT_EQ(DevReceiveAsyncTC(&h, &m, &s, &f), DDC_CommandRejected) << "nothing asked";
    ASSERT_EQ(DevAskForTCAsync(), DDC_NoError);
    EXPECT_EQ(DevAskForTCAsync(), DDC_DeviceBusy);
    EXPECT_EQ(DevReceiveAsyncTC(&h, &m, &s, &f), DDC_CommandPending);
    AdvanceMs(cardsim::GetDeckModel().asyncLatencyMs);
    EXPECT_EQ(Fields(DevReceiveAsyncTC), Label({0, 0, 10, 0}));
    EXPECT_EQ(DevReceiveAsyncTC(&h, &m, &s, &f), DDC_CommandRejected) << "receiving consumed it";

    ASSERT_EQ(DevAskForStateAsync(), DDC_NoError);
    ASSERT_EQ(DevCancelAsyncStateRequest(), DDC_NoError);
    EXPECT_EQ(DevReceiveAsyncState(&state), DDC_CommandRejected) << "cancelled";
    ASSERT_EQ(DevAskForStateAsync(), DDC_NoError);
    AdvanceMs(cardsim::GetDeckModel().asyncLatencyMs);
    ASSERT_EQ(DevReceiveAsyncState(&state), DDC_NoError);
    EXPECT_EQ(state, DDC_STATE_PLAYBACK_PAUSE);

    // A request made during a transition answers with the transition.
    ASSERT_EQ(DevPlay(), DDC_NoError);
    ASSERT_EQ(DevAskForStateAsync(), DDC_NoError);
    AdvanceMs(cardsim::GetDeckModel().asyncLatencyMs);
    EXPECT_EQ(DevReceiveAsyncState(&state), DDC_DeviceInTransition);
    EXPECT_EQ(DevReceiveAsyncState(nullptr), DDC_InvalidParameter);
}

}  // namespace
}  // namespace simtest
