// The card session: opened on first use, reopened after a loss or for a new
// standard, closed on teardown, with its log lines and exactly the card calls it needs.
#include "KDXCORE.h"
#include "device/DefaultFormat.h"
#include "interface/ControlIds.h"
#include "hostcore/ThreadContext.h"
#include "support/DeviceFixture.h"

#include <algorithm>

using namespace dv1394;

namespace {

class SessionTest : public DeviceFixture {
protected:
    // The record thread joins the registry just after it says it started and leaves it
    // just after it says it is done, so the count is waited for rather than read once.
    static bool ThreadsBecome(size_t expected) {
        return WaitUntil([&] { return ThreadContext::RegisteredCount() == expected; }, 10);
    }
    const size_t threadsBefore_ = ThreadContext::RegisteredCount();
};

TEST_F(SessionTest, FirstAdapterQueryOpensTheSessionOnceAndTeardownClosesIt) {
    LONG traceDeck = 1;
    ASSERT_TRUE(device_->SetControl(kControlTraceSwitches, &traceDeck));
    EXPECT_EQ(device_->GetNumberHostAdapters(), 1);
    ASSERT_EQ(CallsTo("KDXOpen").size(), 1u);
    EXPECT_EQ(CallsTo("KDXOpen")[0].arguments, (std::vector<int64_t>{0, 1, 0}));
    // The deck library right after the driver, in the calls and in the traced lines.
    const std::vector<std::string> calls = CardCalls();
    const auto open = std::find(calls.begin(), calls.end(), "KDXOpen");
    ASSERT_TRUE(open != calls.end() && open + 1 != calls.end());
    EXPECT_EQ(*(open + 1), "DevInitialize");
    const std::vector<std::string> lines = log_.Entries();
    const auto openLine = std::find(lines.begin(), lines.end(), "KDXOpen  standard -> NTSC  OK -> YES\n");
    ASSERT_TRUE(openLine != lines.end() && openLine + 1 != lines.end());
    EXPECT_EQ(*(openLine + 1), "DevInitialize  error -> No Error\n");
    EXPECT_TRUE(ThreadsBecome(threadsBefore_ + 1)) << "the record thread";

    cardsim::ClearJournal();
    EXPECT_EQ(device_->GetNumberHostAdapters(), 1);
    EXPECT_TRUE(CallsTo("KDXOpen").empty());
    EXPECT_TRUE(CallsTo("DevInitialize").empty());

    // Teardown ends the record thread and closes both libraries.
    delete device_;
    device_ = nullptr;
    EXPECT_TRUE(ThreadsBecome(threadsBefore_));
    EXPECT_EQ(CallsTo("DevUnInitialize").size(), 1u);
    EXPECT_EQ(CallsTo("KDXClose").size(), 1u);
    EXPECT_FALSE(cardsim::GetCardStatus().open);
}

TEST_F(SessionTest, DeckLibraryFailureClosesTheDriverAgain) {
    cardsim::FailDevInitialize(DDC_HardwareError, 1);
    EXPECT_EQ(device_->GetNumberHostAdapters(), 0);
    EXPECT_EQ(CardCalls(), (std::vector<std::string>{"KDXOpen", "DevInitialize", "KDXClose"}));
    EXPECT_FALSE(cardsim::GetCardStatus().open);
    EXPECT_EQ(ThreadContext::RegisteredCount(), threadsBefore_);
    // The next call tries a full opening again, and it works.
    EXPECT_EQ(device_->GetNumberHostAdapters(), 1);
    EXPECT_TRUE(ThreadsBecome(threadsBefore_ + 1));
}

TEST_F(SessionTest, LostSessionTakesTheRecoveryPathOncePerCall) {
    ASSERT_EQ(device_->GetNumberHostAdapters(), 1);
    // Lose the session: a change of standard whose reopening fails.
    cardsim::FailDriverOpen(KDX_E_BUSY);
    DIOFormat pal(4);
    pal.SetKeywordParameter(kKeywordVideoSignal, "PAL");
    EXPECT_EQ(device_->SetControl(kControlDeviceFormat, &pal), 1);  // the format itself was taken
    EXPECT_FALSE(cardsim::GetCardStatus().open);
    EXPECT_TRUE(ThreadsBecome(threadsBefore_));
    log_.Clear();
    for (int call = 0; call < 3; ++call) EXPECT_EQ(device_->GetNumberHostAdapters(), 0);
    EXPECT_EQ(log_.Count("----- Kordex driver is not open, attempting to correct...\n"), 3u);
    EXPECT_EQ(log_.Count("KDX_E_BUSY\n"), 3u);

    cardsim::ClearFaults();
    cardsim::ClearJournal();
    EXPECT_EQ(device_->GetNumberHostAdapters(), 1);
    ASSERT_EQ(CallsTo("KDXOpen").size(), 1u);
    EXPECT_EQ(CallsTo("KDXOpen")[0].arguments, (std::vector<int64_t>{0, 2, 0}));
    EXPECT_EQ(CallsTo("DevInitialize").size(), 1u);
    // The lighter path reopens the libraries only: no new record thread.
    EXPECT_EQ(ThreadContext::RegisteredCount(), threadsBefore_);
}

}  // namespace
