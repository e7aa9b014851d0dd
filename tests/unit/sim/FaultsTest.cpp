// Injected faults produce what a host sees from real failing hardware.
#include "SimTestSupport.h"

#include "digitalio/DV25audioDeshuffler.h"
#include "sim/Faults.h"

namespace simtest {
namespace {

using FaultsTest = SimTest;

TEST_F(FaultsTest, DriverAndLibraryOpenFailures) {
    cardsim::FailDriverOpen(KDX_E_NO_DVKORDEX, 1);
    EXPECT_CARD_ERROR(KDXOpen(0, 1, 0), KDX_E_NO_DVKORDEX);
    ASSERT_NE(KDXOpen(0, 1, 0), 0) << "only the first time";
    ASSERT_TRUE(KDXClose(0));

    std::string error;
    ASSERT_TRUE(cardsim::SetFaults("open=0x8004000e*2", &error)) << error;
    EXPECT_CARD_ERROR(KDXOpen(0, 1, 0), KDX_E_NO_DEVICE_CONNECTED);
    EXPECT_EQ(KDXOpen(0, 1, 0), 0);
    ASSERT_NE(KDXOpen(0, 1, 0), 0);

    cardsim::FailDevInitialize(DDC_HardwareError, 1);
    EXPECT_EQ(DevInitialize(), DDC_HardwareError);
    ASSERT_EQ(DevInitialize(), DDC_NoError);
    ASSERT_TRUE(cardsim::SetFaults("ddc=DevPlay:7*1", &error)) << error;
    EXPECT_EQ(DevPlay(), DDC_CommandRejected);
    EXPECT_EQ(DevPlay(), DDC_NoError);
}

TEST_F(FaultsTest, DeviceGoesAwayAndComesBackAtTheGivenMoments) {
    OpenSession();
    // Gone: the deck reports no device and every call that needs it fails.
    cardsim::DisconnectDevice();
    EXPECT_EQ(DeckState(), DDC_STATE_NO_DEVICE);
    EXPECT_EQ(DevPlay(), DDC_NoDevice);
    LONG h, m, s, f;
    EXPECT_EQ(DevGetTimecode(&h, &m, &s, &f, 100), DDC_NoDevice);
    EXPECT_EQ(DevAskForTCAsync(), DDC_NoDevice);
    EXPECT_FALSE(PdvIsConnectedDV2());
    EXPECT_CARD_ERROR(PdvBeginPlayback(), KDX_E_NO_DEVICE_CONNECTED);
    EXPECT_FALSE(PdvDeckControl(PDV_DECK_STILL));
    cardsim::ReconnectDevice();
    EXPECT_TRUE(PdvIsConnectedDV2());
    EXPECT_EQ(DeckState(), DDC_STATE_STOP);

    // At given moments, while capturing.
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK);
    StartCapture();
    cardsim::DisconnectDevice(500, 1500);
    AdvanceMs(499);
    EXPECT_TRUE(PdvIsConnectedDV2());
    const LONG before = PdvGetCapturedFrame();
    AdvanceMs(2);
    EXPECT_FALSE(PdvIsConnectedDV2());
    EXPECT_EQ(DeckState(), DDC_STATE_NO_DEVICE);
    AdvanceMs(500);
    EXPECT_EQ(PdvGetCapturedFrame(), before) << "no frames without the device";
    AdvanceMs(500);
    EXPECT_TRUE(PdvIsConnectedDV2());
    EXPECT_EQ(DeckState(), DDC_STATE_PLAYBACK);
    AdvancePeriods(2);
    EXPECT_EQ(PdvGetCapturedFrame(), before + 2);
}

TEST_F(FaultsTest, DeckStuckInTransition) {
    OpenSession();
    cardsim::SetStuckInTransition(true);
    LONG state;
    AdvanceMs(10000);
    EXPECT_EQ(DevGetState(&state), DDC_DeviceInTransition);
    ASSERT_EQ(DevPlay(), DDC_NoError);
    AdvanceMs(10000);
    EXPECT_EQ(DevGetState(&state), DDC_DeviceInTransition);
    EXPECT_EQ(SendAVC({0x01, 0x20, 0x51, 0x71, 0xFF, 0xFF, 0xFF, 0xFF}).at(0), 0x0B);
    cardsim::SetStuckInTransition(false);
    EXPECT_EQ(DeckState(), DDC_STATE_PLAYBACK) << "the pending command completes once freed";
}

TEST_F(FaultsTest, RefusedStartsAndStalledCapture) {
    OpenSession();
    cardsim::RefuseCaptureStart(KDX_E_DEV_REJECT_SRV);
    ASSERT_TRUE(PdvBeginCapture());
    EXPECT_CARD_ERROR(PdvStartCapture(), KDX_E_DEV_REJECT_SRV);
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_CAPTURE_OPEN);
    cardsim::RefuseCaptureStart(0);
    cardsim::StallCapture(true);
    cardsim::ParkDeck(10, DDC_STATE_PLAYBACK);
    ASSERT_TRUE(PdvStartCapture());
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_CAPTURE_STALLED);
    AdvancePeriods(3);
    EXPECT_EQ(PdvGetCapturedFrame(), 0);
    cardsim::StallCapture(false);
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_CAPTURING);
    cardsim::StallCapture(true);
    ASSERT_TRUE(PdvStopCapture()) << "a stalled capture can be stopped";
    ASSERT_TRUE(PdvEndCapture());

    cardsim::RefusePlaybackStart(KDX_E_TIMEOUT);
    ASSERT_TRUE(PdvBeginPlayback());
    EXPECT_CARD_ERROR(PdvStartPlayback(), KDX_E_TIMEOUT);
    cardsim::ParkDeck(10, DDC_STATE_RECORD_PAUSE);
    EXPECT_CARD_ERROR(PdvSyncRecNoParam(), KDX_E_TIMEOUT);
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_PLAYBACK_OPEN);
}

TEST_F(FaultsTest, RefusedCardCallsChangeNothing) {
    OpenSession();
    StartCapture();
    std::string error;
    ASSERT_TRUE(cardsim::SetFaults("refuse=PdvEndCapture*1, refuse=KDXSetPlayPauseMode:0x80040004", &error)) << error;
    EXPECT_CARD_ERROR(PdvEndCapture(), KDX_E_DEV_REJECT_SRV);
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_CAPTURING);
    EXPECT_TRUE(PdvEndCapture()) << "refused once only";
    EXPECT_CARD_ERROR(KDXSetPlayPauseMode(KDX_PLAYPAUSE_ODD), KDX_E_BUSY);
    EXPECT_EQ(KDXGetPlayPauseMode(), KDX_PLAYPAUSE_FRAME);

    cardsim::ForceDriverState(0x305);
    EXPECT_EQ(PdvGetDriverState(), 0x305);
    EXPECT_TRUE(PdvBeginCapture()) << "the card itself is unchanged";
    cardsim::ClearFaults();
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_CAPTURE_OPEN);
    EXPECT_FALSE(cardsim::SetFaults("refuse=", &error));
    EXPECT_FALSE(cardsim::SetFaults("driverstate=x", &error));
}

TEST_F(FaultsTest, CardDropsAndCorruptsCapturedFrames) {
    OpenSession();
    std::string error;
    ASSERT_TRUE(cardsim::SetFaults("drop=2:3, corrupt=1", &error)) << error;
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK);
    StartCapture();
    AdvancePeriods(8);
    ASSERT_EQ(PdvGetCapturedFrame(), 5);
    EXPECT_EQ(cardsim::GetCardCounters().injectedDrops, 3u);
    EXPECT_EQ(cardsim::GetCardCounters().corruptedFrames, 1u);
    for (LONG i : {0, 2, 3, 4}) {
        const std::vector<uint8_t> tape = TapeAt(i == 0 ? 100 : 103 + i);
        EXPECT_EQ(std::vector<uint8_t>(PdvGetCapturedFrameAddr(i), PdvGetCapturedFrameAddr(i) + tape.size()), tape)
            << "captured " << i;
    }
    // The damaged frame keeps its picture but has no readable timecode or audio pack.
    BYTE* damaged = PdvGetCapturedFrameAddr(1);
    const std::vector<uint8_t> tape = TapeAt(101);
    for (size_t block = 7; block < 150 * 10; ++block) {
        if (block % 150 < 7 || (block % 150 - 6) % 16 == 0) continue;  // header, subcode, VAUX, audio
        ASSERT_EQ(std::vector<uint8_t>(damaged + block * 80, damaged + block * 80 + 80),
                  std::vector<uint8_t>(tape.begin() + block * 80, tape.begin() + block * 80 + 80))
            << "video block " << block;
    }
    EXPECT_EQ(FrameLabel(damaged), std::vector<int>());
    DIO_AudioFormat audio;
    DIO_VideoFormat video;
    EXPECT_NE(DV25audioDeshuffler().GetRateAndSampsFromASPak(damaged, &audio, &video), 0);
}

TEST_F(FaultsTest, TimecodeBreakAndMissingSubcodeOnTape) {
    OpenSession();
    cardsim::AddTimecodeBreak(50, 100);
    cardsim::RemoveSubcode(10, 2);
    EXPECT_EQ(DeckLabel(49), DropFrameLabel(49));
    EXPECT_EQ(DeckLabel(50), DropFrameLabel(150));
    EXPECT_EQ(DeckLabel(10), std::vector<int>());
    EXPECT_EQ(DeckLabel(11), std::vector<int>());
    EXPECT_EQ(DeckLabel(12), DropFrameLabel(12));

    // What the card captures carries the same damage, read by the host library.
    cardsim::ParkDeck(10, DDC_STATE_PLAYBACK_PAUSE);
    EXPECT_EQ(DeckTimecode(), "-1:-1:-1:-1");
    cardsim::ParkDeck(49, DDC_STATE_PLAYBACK);
    StartCapture();
    AdvancePeriods(2);
    EXPECT_EQ(FrameLabel(PdvGetCapturedFrameAddr(0)), DropFrameLabel(49));
    EXPECT_EQ(FrameLabel(PdvGetCapturedFrameAddr(1)), DropFrameLabel(150));

    // A search finds the timecode where the break put it, and nothing that was jumped.
    EXPECT_EQ(DevSeekToTimecode(0, 0, 5, 5), DDC_NoError) << "frame count 155, at position 55";
    SettleDeck();
    EXPECT_EQ(cardsim::GetDeckStatus().position, 55);
    EXPECT_EQ(DevSeekToTimecode(0, 0, 2, 0), DDC_CommandRejected) << "frame count 60 is not on the tape";
}

TEST_F(FaultsTest, FaultListsAreCheckedItemByItem) {
    cardsim::Faults faults;
    std::string error;
    EXPECT_TRUE(cardsim::ParseFaultList(" stuck , tcbreak=5 , nosubcode=7:3, capturestart", 0, &faults, &error));
    EXPECT_TRUE(faults.stuckInTransition);
    EXPECT_EQ(faults.TimecodeShiftAt(5), 100);
    EXPECT_EQ(faults.TimecodeShiftAt(4), 0);
    EXPECT_TRUE(faults.SubcodeMissingAt(9));
    EXPECT_FALSE(faults.SubcodeMissingAt(10));
    EXPECT_EQ(faults.captureStartRefusal, KDX_E_DEV_REJECT_SRV);
    for (const char* bad : {"bogus", "open=", "drop=x", "ddc=7", "stuck=1", "disconnect=-5", "drop=1:0"}) {
        error.clear();
        EXPECT_FALSE(cardsim::ParseFaultList(std::string("stall,") + bad, 0, &faults, &error)) << bad;
        EXPECT_EQ(error, bad);
    }
    ASSERT_TRUE(cardsim::ParseFaultList("disconnect=10:20", cardsim::MillisecondsToSim(5), &faults, &error));
    EXPECT_EQ(faults.DisconnectAt(), cardsim::MillisecondsToSim(15));
    EXPECT_EQ(faults.ReconnectAt(), cardsim::MillisecondsToSim(25));
}

TEST_F(FaultsTest, ReadErrorsDamageEachPositionAsOftenAsAsked) {
    cardsim::Faults faults;
    std::string error;
    ASSERT_TRUE(cardsim::ParseFaultList("sta=10:2:7*1, audioerr=11:1:3*2, sta=20", 0, &faults, &error)) << error;
    struct Read {
        int64_t position;
        int blocks;
        int samples;
    };
    // Position 11 is covered twice: its first read takes both, its second only the audio.
    const Read reads[] = {{10, 7, 0}, {11, 7, 3}, {10, 0, 0}, {11, 0, 3}, {11, 0, 0},
                          {12, 0, 0}, {20, 10, 0}, {20, 10, 0}, {9, 0, 0}};
    for (const Read& r : reads) {
        const cardsim::Faults::ReadDamage damage = faults.TakeReadDamage(r.position);
        EXPECT_EQ(damage.concealedBlocks, r.blocks) << r.position;
        EXPECT_EQ(damage.invalidSamples, r.samples) << r.position;
    }
    for (const char* bad : {"sta=1:0", "audioerr=1:1:0", "sta=1*x", "sta=1:2:3:4", "audioerr=-1"}) {
        EXPECT_FALSE(cardsim::ParseFaultList(bad, 0, &faults, &error)) << bad;
    }
}

}  // namespace
}  // namespace simtest
