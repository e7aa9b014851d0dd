// The plug-in's own AV/C traffic: retries against a deck in transition, the response
// codes that count as success, and a late answer that belongs to another command.
#include "DeckFixture.h"
#include "KDXCORE.h"
#include "KordexDDC.h"

namespace {

class AVCQueriesTest : public DeckFixture {};

TEST_F(AVCQueriesTest, ADeckThatStaysInTransitionIsAskedFiveTimesThenTheLibraryAnswers) {
    OpenSession();
    cardsim::SetStuckInTransition(true);
    Trace(true);
    timecode_t tc = Frames(7);
    EXPECT_EQ(device_->DeviceGetTimecode(&tc), DDC_NoError);
    EXPECT_EQ(tc.frameCount, 0);
    EXPECT_EQ(CountAVC(0x59, 0x71), 5u);
    EXPECT_EQ(CardCalls(), (std::vector<std::string>{"KDXSendGenericAVCCommand", "KDXSendGenericAVCCommand",
                                                     "KDXSendGenericAVCCommand", "KDXSendGenericAVCCommand",
                                                     "KDXSendGenericAVCCommand", "DevGetTimecode"}));
    std::vector<std::string> expected = {"COMMAND\n   ", "71 59 20 01 ff ff ff ff ", "\n"};
    for (int i = 0; i < 5; ++i) {
        expected.push_back("RESPONSE\n   ");
        expected.push_back("71 59 20 0b ff ff ff ff ");
        expected.push_back("\n");
    }
    expected.push_back("GetSMPTETimecode seek not successful\n");
    expected.push_back("DevGetTimecode -> 00:00:00;00\n");
    EXPECT_EQ(Lines(), expected);
}

TEST_F(AVCQueriesTest, SearchesAnsweredInTransitionAreRetriedAndAnInterimAnswerIsSuccess) {
    ASSERT_TRUE(cardsim::SetDeckOptions("transition"));
    OpenSession();
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK_PAUSE);
    Forget();
    EXPECT_EQ(device_->DeviceSeekToTimecode(Frames(600)), DDC_NoError);
    EXPECT_EQ(CountAVC(0x51, 0x20), 5u);
    EXPECT_EQ(CountAVC(0x52, 0x20), 5u);
    EXPECT_EQ(CallsTo("DevSeekToTimecode").size(), 1u);
    EXPECT_TRUE(WaitForDeck(DDC_STATE_PLAYBACK_PAUSE, 600));

    Restart();
    ASSERT_TRUE(cardsim::SetDeckOptions("interim"));
    OpenSession();
    EXPECT_EQ(device_->DeviceSeekToTimecode(Tc(0, 0, 20, 0)), DDC_NoError);
    const std::vector<cardsim::JournalEntry> sends = CallsTo("KDXSendGenericAVCCommand");
    ASSERT_EQ(sends.size(), 1u);
    ASSERT_FALSE(sends[0].reply.empty());
    EXPECT_EQ(sends[0].reply[0], 0x0F);
    EXPECT_TRUE(CallsTo("DevSeekToTimecode").empty());
    EXPECT_EQ(Lines(), std::vector<std::string>{"SeekToTimecodeWithTC -> 00:00:20;00\n"});
    EXPECT_TRUE(WaitForDeck(DDC_STATE_PLAYBACK_PAUSE, 600));
}

}  // namespace

// A late final answer to a search, taken for the answer to the next query, is not that
// query's answer: the query is sent again and gets its own.
TEST_F(AVCQueriesTest, ALateFinalAnswerTakenForTheNextQueryIsPassedOver) {
    cardsim::SetDeckOptions("interim,transition_ms=0");
    cardsim::DeckModel model = cardsim::GetDeckModel();
    model.lateFinalAnswer = true;
    cardsim::SetDeckModel(model);
    cardsim::UseManualClock(true);
    OpenSession();
    ASSERT_EQ(device_->DeviceSeekToTimecode(Frames(60)), DDC_NoError);
    cardsim::AdvanceClock(100000);  // the deck parks; its final answer is on its way
    Forget();
    timecode_t tc = Frames(0);
    EXPECT_EQ(device_->DeviceGetTimecode(&tc), DDC_NoError);
    EXPECT_EQ(tc.frameCount, 60);
    const std::vector<cardsim::JournalEntry> sent = CallsTo("KDXSendGenericAVCCommand");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].reply[2], 0x51) << "the search's final answer";
    EXPECT_EQ(sent[1].reply, (std::vector<uint8_t>{0x0C, 0x20, 0x59, 0x71, 0x40, 0x02, 0x00, 0x00}));
    EXPECT_TRUE(CallsTo("DevGetTimecode").empty());
}
