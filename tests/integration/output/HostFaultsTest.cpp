// Hosts that do the unexpected while printing: terminate or abort while frames are
// sent, pause and start again, a card that refuses to start. No crash, no hang beyond
// the designed waits, the card left in its mode.
#include "PrintFixture.h"

#include "sim/SimControl.h"

#include <algorithm>

namespace print_test {
namespace {

class HostFaultsTest : public PrintFixture {
protected:
    // A video print without an edit that goes on until the host ends it.
    void StartEndlessPrint() {
        cardsim::UseManualClock(true);
        PrepareVideo(10, -1);
        GivePictures(10);
        Do(kVideo, Step::Arm);
        StartCardClock();
        Do(kVideo, Step::Start);
        ASSERT_TRUE(WaitForPlayed(5));
    }
};

TEST_F(HostFaultsTest, TerminateOrAbortWhileSendingStopsTheCard) {
    for (const Step step : {Step::Terminate, Step::Abort}) {
        OpenSession();
        StartEndlessPrint();
        const LONG playbackTrace = 4;
        ASSERT_EQ(device_->SetControl(kControlTraceSwitches, const_cast<LONG*>(&playbackTrace)), 1);
        log_.Clear();
        Do(kVideo, step);
        const std::vector<std::string> lines = log_.Entries();
        EXPECT_NE(std::find(lines.begin(), lines.end(), "PdvPausePlayback(TRUE)\nPdvStopPlayback \nPdvEndPlayback\n"),
                  lines.end());
        EXPECT_EQ(device_->VideoOutGetState(), step == Step::Abort ? VDMAborted : VDMIdle);
        EXPECT_EQ(CardState(), PDV_STATE_IDLE);
        Do(kVideo, Step::Terminate);
        StopCardClock();
    }
}

// A refused start leaves Start unanswered (it fails after its wait), names the error
// and counts it on both output queues. Without an edit the card is opened at Arm, so
// after a pause it is out of playback and the next Start fails the same way.
TEST_F(HostFaultsTest, StartsTheCardRefusesFailAfterTheirWait) {
    for (const bool afterPause : {false, true}) {
        OpenSession();
        const LONG errors = ControlLong(kControlErrorCount);
        if (afterPause) {
            StartEndlessPrint();
            Do(kVideo, Step::Pause);
            EXPECT_EQ(CardState(), PDV_STATE_IDLE);
        } else {
            PrepareVideo(4, 3);
            GivePictures(3);
            Do(kVideo, Step::Arm);
            cardsim::RefusePlaybackStart(KDX_E_IO);
        }
        Do(kVideo, Step::Start, 0);
        EXPECT_EQ(device_->VideoOutGetState(), VDMArmed);
        EXPECT_EQ(LastError(), "DV output device error");
        EXPECT_EQ(ControlLong(kControlErrorCount), errors + 2);
        EXPECT_EQ(CardState(), afterPause ? PDV_STATE_IDLE : PDV_STATE_PLAYBACK_OPEN);
        Do(kVideo, Step::Terminate);
        EXPECT_EQ(CardState(), PDV_STATE_IDLE);
        StopCardClock();
        cardsim::ClearFaults();
    }
}

}  // namespace
}  // namespace print_test
