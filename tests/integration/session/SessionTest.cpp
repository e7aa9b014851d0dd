// The card session: opened on first use, reopened after a loss or for a new
// standard, closed on teardown, with its log lines and exactly the card calls it needs.
#include "KDXCORE.h"
#include "queues/DV1394VideoInput.h"
#include "device/DefaultFormat.h"
#include "device/DeviceLog.h"
#include "hostcore/ThreadContext.h"
#include "digitalio/DV25audioDeshuffler.h"
#include "FormatReadback.h"
#include "PluginTestAccess.h"
#include "support/DeviceFixture.h"

#include <algorithm>

using namespace dv1394;

namespace {

using Access = PluginTestAccess;

class SessionTest : public DeviceFixture {};

// The record thread joins the registry just after it says it started and leaves it
// just after it says it is done, so the count is waited for rather than read once.
bool RegisteredCountBecomes(size_t expected) {
    for (int waited = 0; waited < 10000; ++waited) {
        if (ThreadContext::RegisteredCount() == expected) return true;
        Sleep(1);
    }
    return ThreadContext::RegisteredCount() == expected;
}

size_t CountOf(const std::vector<std::string>& entries, const std::string& entry) {
    return static_cast<size_t>(std::count(entries.begin(), entries.end(), entry));
}

TEST_F(SessionTest, FirstAdapterQueryOpensTheSessionOnce) {
    const size_t threadsBefore = ThreadContext::RegisteredCount();
    LONG traceDeck = 1;
    ASSERT_TRUE(device_->SetControl(0xb00005, &traceDeck));
    EXPECT_EQ(device_->GetNumberHostAdapters(), 1);
    auto opens = CallsTo("KDXOpen");
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].arguments, (std::vector<int64_t>{0, 1, 0}));
    // The deck library right after the driver, in the calls and in the traced lines.
    auto calls = CardCalls();
    auto open = std::find(calls.begin(), calls.end(), "KDXOpen");
    ASSERT_TRUE(open != calls.end() && open + 1 != calls.end());
    EXPECT_EQ(*(open + 1), "DevInitialize");
    auto lines = log_.Entries();
    auto openLine = std::find(lines.begin(), lines.end(), "KDXOpen  standard -> NTSC  OK -> YES\n");
    ASSERT_TRUE(openLine != lines.end() && openLine + 1 != lines.end());
    EXPECT_EQ(*(openLine + 1), "DevInitialize  error -> No Error\n");
    EXPECT_TRUE(Access::m_bRecordThreadRunning(*device_).load());
    EXPECT_TRUE(RegisteredCountBecomes(threadsBefore + 1));
    EXPECT_EQ(Access::m_bDeviceInitialized(*device_), 1);

    cardsim::ClearJournal();
    EXPECT_EQ(device_->GetNumberHostAdapters(), 1);
    EXPECT_EQ(Access::KordexDDCReady(*device_), 1);
    EXPECT_TRUE(CallsTo("KDXOpen").empty());
    EXPECT_TRUE(CallsTo("DevInitialize").empty());

    // Teardown ends the record thread and closes both libraries.
    delete device_;
    device_ = nullptr;
    EXPECT_TRUE(RegisteredCountBecomes(threadsBefore));
    EXPECT_EQ(CallsTo("DevUnInitialize").size(), 1u);
    EXPECT_EQ(CallsTo("KDXClose").size(), 1u);
    EXPECT_FALSE(cardsim::GetCardStatus().open);
}

TEST_F(SessionTest, FormatZeroAdoptsTheCardsStandard) {
    cardsim::SetCardStandard(DIO_PAL);
    Access::OpenKordexDriver(*device_, DIO_NoVideoFormat);
    EXPECT_EQ(log_.Take(), (std::vector<std::string>{"OpenKordexDriver DIO_NoVideoFormat\n", "shoot\n",
                                                     "-------- Kordex set to PDV_VST_PAL\n"}));
    EXPECT_EQ(Access::m_eVideoFormat(*device_).load(), DIO_PAL);
    EXPECT_EQ(CallsTo("KDXOpen")[0].arguments, (std::vector<int64_t>{0, 0, 0}));
}

TEST_F(SessionTest, DriverOpenFailureWritesTheCardErrorLine) {
#define CODE(name) {name, #name "\n"}
    const std::pair<DWORD, const char*> codes[] = {
        CODE(KDX_E_NOTIMPL), CODE(KDX_E_GENERALERROR), CODE(KDX_E_INVALID_PARAMETER), CODE(KDX_E_NOMEMORY),
        CODE(KDX_E_BUSY), CODE(KDX_E_NOTEQUIPPED), CODE(KDX_E_INVALID_STATE), CODE(KDX_E_NOTSUPPORTED),
        CODE(KDX_E_IO), CODE(KDX_E_DECOMPRESS), CODE(KDX_E_COMPRESS), CODE(KDX_E_NORESOURCE), CODE(KDX_E_TIMEOUT),
        CODE(KDX_E_FUNCTION_CANCELED), CODE(KDX_E_NO_DEVICE_CONNECTED), CODE(KDX_E_DEV_NOT_SUPPORT_SRV),
        CODE(KDX_E_DEV_REJECT_SRV), CODE(KDX_E_BUFFER_SMALL), CODE(KDX_E_NO_DVKORDEX),
        CODE(KDX_E_ALLOWED_SINGLE_INSTANCE), CODE(KDX_E_CLIENT_TYPE_MISMATCH), CODE(KDX_E_INTERNAL),
        {0x80049999u, "Unknown KDX error\n"}};
#undef CODE
    for (const auto& [code, line] : codes) {
        cardsim::FailDriverOpen(code, 1);
        log_.Clear();
        // No session was ever completed, so every call tries the whole opening again.
        EXPECT_EQ(device_->GetNumberHostAdapters(), 0);
        EXPECT_EQ(log_.Entries(), std::vector<std::string>{line}) << std::hex << code;
        EXPECT_EQ(Access::m_bDeviceInitialized(*device_), 0);
    }
    EXPECT_TRUE(CallsTo("DevInitialize").empty());
    EXPECT_FALSE(Access::m_bRecordThreadRunning(*device_).load());
    EXPECT_STREQ(KDXErrorLine(0), "Unknown KDX error\n");  // success is no card error
}

TEST_F(SessionTest, DeckLibraryFailureClosesTheDriverAgain) {
    cardsim::FailDevInitialize(DDC_HardwareError, 1);
    EXPECT_EQ(Access::KordexDDCReady(*device_), 0);
    EXPECT_EQ(CardCalls(), (std::vector<std::string>{"KDXOpen", "DevInitialize", "KDXClose"}));
    EXPECT_EQ(Access::m_hKordex(*device_), 0);
    EXPECT_EQ(Access::m_bDDCInitialized(*device_), 0);
    EXPECT_FALSE(Access::m_bRecordThreadRunning(*device_).load());
    // The next call tries a full opening again, and it works.
    EXPECT_EQ(Access::KordexDDCReady(*device_), 1);
    EXPECT_TRUE(Access::m_bRecordThreadRunning(*device_).load());
}

TEST_F(SessionTest, LostSessionTakesTheRecoveryPathOncePerCall) {
    ASSERT_EQ(Access::KordexDDCReady(*device_), 1);
    // Lose the session: a change of standard whose reopening fails.
    cardsim::FailDriverOpen(KDX_E_BUSY);
    DIOFormat pal(4);
    pal.SetKeywordParameter(kKeywordVideoSignal, "PAL");
    EXPECT_EQ(device_->SetControl(0xb00008, &pal), 1);  // the format itself was taken
    EXPECT_EQ(Access::m_hKordex(*device_), 0);
    EXPECT_FALSE(Access::m_bRecordThreadRunning(*device_).load());
    log_.Clear();
    for (int call = 0; call < 3; ++call) EXPECT_EQ(device_->GetNumberHostAdapters(), 0);
    auto lines = log_.Take();
    EXPECT_EQ(CountOf(lines, "----- Kordex driver is not open, attempting to correct...\n"), 3u);
    EXPECT_EQ(CountOf(lines, "KDX_E_BUSY\n"), 3u);

    cardsim::ClearFaults();
    cardsim::ClearJournal();
    EXPECT_EQ(device_->GetNumberHostAdapters(), 1);
    auto opens = CallsTo("KDXOpen");
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].arguments, (std::vector<int64_t>{0, 2, 0}));
    EXPECT_EQ(CallsTo("DevInitialize").size(), 1u);
    // The lighter path reopens the libraries only: no new record thread.
    EXPECT_FALSE(Access::m_bRecordThreadRunning(*device_).load());
    EXPECT_EQ(log_.Count("----- Kordex driver is not open, attempting to correct...\n"), 1u);
}

TEST_F(SessionTest, NeverOpenedDeviceClosesNothing) {
    const size_t threadsBefore = ThreadContext::RegisteredCount();
    EXPECT_EQ(device_->GetNumberAVDevices(0), 0);  // asks nothing while closed
    delete device_;
    device_ = nullptr;
    EXPECT_TRUE(CardCalls().empty());
    EXPECT_TRUE(log_.Entries().empty());
    EXPECT_EQ(ThreadContext::RegisteredCount(), threadsBefore);
}

TEST_F(SessionTest, ChangingToPalReopensTheSessionForPal) {
    ASSERT_EQ(device_->GetNumberHostAdapters(), 1);
    cardsim::ClearJournal();
    DIOFormat pal(4);
    pal.SetKeywordParameter(kKeywordVideoSignal, "PAL");
    pal.SetKeywordParameter(kKeywordAudioSampleRate, "48000");
    ASSERT_EQ(device_->SetControl(0xb00008, &pal), 1);
    // Closed and reopened for PAL, with a new record thread.
    auto calls = CardCalls();
    auto close = std::find(calls.begin(), calls.end(), "KDXClose");
    auto open = std::find(calls.begin(), calls.end(), "KDXOpen");
    ASSERT_NE(close, calls.end());
    ASSERT_NE(open, calls.end());
    EXPECT_LT(close, open);
    EXPECT_LT(std::find(calls.begin(), calls.end(), "DevUnInitialize"), close);
    EXPECT_EQ(CallsTo("KDXOpen")[0].arguments, (std::vector<int64_t>{0, 2, 0}));
    EXPECT_TRUE(Access::m_bRecordThreadRunning(*device_).load());
    EXPECT_EQ(cardsim::GetCardStatus().standard, PDV_VST_PAL);

    EXPECT_EQ(Access::m_nFrameSize(*Access::m_pVideoIn(*device_)).load(), 144000);
    EXPECT_EQ(Access::m_nFrameSize(*Access::m_pVideoConfidence(*device_)).load(), 144000);
    EXPECT_EQ(Access::m_nFrameSize(*Access::m_pVideoOut(*device_)).load(), 144000u);
    DIO_AudioFormat audio;
    DIO_VideoFormat video;
    DV25audioDeshuffler reader;
    ASSERT_EQ(reader.GetRateAndSampsFromASPak(Access::m_pBlackFrame(*device_), &audio, &video), 0);
    EXPECT_EQ(video, DIO_PAL);

    DIOFormat readBack(3);
    ASSERT_EQ(device_->GetControl(0xb00008, &readBack), 1);
    EXPECT_EQ(KeywordsOf(&readBack), (std::vector<std::string>{"VSIG=PAL", "VCMP=DV25", "ASRT=48000", "ASSZ=16"}));
}

}  // namespace
