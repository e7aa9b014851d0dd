// DevicePerform: the position check with its one-frame correction, the card's
// synchronised-record parameters, and record pause.
#include "DeckFixture.h"
#include "KDXCORE.h"
#include "KordexDDC.h"

#include <algorithm>
#include <thread>

namespace {

class PerformTest : public DeckFixture {
protected:
    // In 00:00:10;00 (position 300), Out 00:00:20;00, the deck parked at `position`.
    void SetUpEdit(int64_t position, DeviceEditMode_t mode) {
        OpenSession();
        // The position checks poll the deck for seconds: fold the repeated queries.
        cardsim::SetJournalFoldsRepeats(true);
        ASSERT_EQ(device_->DeviceSetIn(Tc(0, 0, 10, 0)), DDC_NoError);
        ASSERT_EQ(device_->DeviceSetOut(Tc(0, 0, 20, 0)), DDC_NoError);
        device_->DeviceSetEditMode(mode);
        device_->DeviceSetRecordPlayDelay(3);
        device_->DeviceSetRecordStopDelay(7);
        cardsim::ParkDeck(position, DDC_STATE_PLAYBACK_PAUSE);
        Forget();
    }

    // The last four card calls: the parameters, then record pause.
    static void ExpectEditArmed(LONG playDelay, LONG pauseFlying, LONG frames) {
        std::vector<std::string> names = CardCalls();
        ASSERT_GE(names.size(), 4u);
        names.erase(names.begin(), names.end() - 4);
        EXPECT_EQ(names, (std::vector<std::string>{"PdvSetSyncRecDelay", "PdvSetSyncRecPauseFlying",
                                                   "PdvSetSyncRecNumFrames", "PdvDeckControl"}));
        EXPECT_EQ(CallsTo("PdvSetSyncRecDelay").back().arguments, std::vector<int64_t>{playDelay});
        EXPECT_EQ(CallsTo("PdvSetSyncRecPauseFlying").back().arguments, std::vector<int64_t>{pauseFlying});
        EXPECT_EQ(CallsTo("PdvSetSyncRecNumFrames").back().arguments, std::vector<int64_t>{frames});
        EXPECT_EQ(CallsTo("PdvDeckControl").back().arguments, std::vector<int64_t>{0x86});
    }

    size_t PositionLines() const {
        size_t n = 0;
        for (const std::string& line : Lines())
            if (line.find("TAPE") != std::string::npos) ++n;
        return n;
    }
};

TEST_F(PerformTest, OneFrameOffInIsCorrectedTwoFramesOffOnlyReported) {
    const std::vector<std::string> corrected = {"TRYING TO CORRECT TAPE LOCATION\n", "PRINT TO TAPE IS ACCURATE\n"};
    struct Case {
        int64_t position;
        size_t forward;
        size_t back;
        std::vector<std::string> lines;
    };
    const Case cases[] = {{299, 1, 0, corrected}, {301, 0, 1, corrected}, {298, 0, 0, {"PRINT TO TAPE IS INACCURATE\n"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        Restart();
        SetUpEdit(c.position, EditModeSynchronised);
        EXPECT_EQ(device_->DevicePerform(), DDC_NoError);
        EXPECT_EQ(Lines(), c.lines);
        EXPECT_EQ(CallsTo("DevStepForwardAFrame").size(), c.forward);
        EXPECT_EQ(CallsTo("DevStepBackAFrame").size(), c.back);
        ExpectEditArmed(3, 0, 300);  // the edit goes ahead even when inaccurate
        const cardsim::CardStatus card = cardsim::GetCardStatus();
        EXPECT_EQ(card.syncRecDelay, 3);
        EXPECT_EQ(card.syncRecNumFrames, 300);
        if (c.forward + c.back > 0) {
            EXPECT_TRUE(WaitForDeck(DDC_STATE_RECORD_PAUSE, 300));
        }
    }
}

TEST_F(PerformTest, OnTheInPointNothingIsCorrectedAndTheTraceShowsTheParameters) {
    SetUpEdit(300, EditModeSynchronisedStopDelay);
    Trace(true);
    EXPECT_EQ(device_->DevicePerform(), DDC_NoError);
    EXPECT_EQ(PositionLines(), 0u);
    const std::vector<std::string> lines = Lines();
    ASSERT_GE(lines.size(), 4u);
    const std::vector<std::string> tail(lines.end() - 4, lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"PdvSetSyncRecDelay(3) ->OK\n", "PdvSetSyncRecPauseFlying(7) ->OK\n",
                                              "PdvSetSyncRecNumFrames ->300 ->OK\n",
                                              "RecordPause  error -> No Error\n"}));
    ExpectEditArmed(3, 7, 300);
}

}  // namespace
