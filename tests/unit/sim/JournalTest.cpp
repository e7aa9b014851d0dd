// The journal: every call with its arguments, outputs, result and time.
#include "SimTestSupport.h"

#include "sim/SimConfig.h"
#include "sim/World.h"

#include <cstdlib>
#include <list>

namespace simtest {
namespace {

using JournalTest = SimTest;

TEST_F(JournalTest, RecordsEveryCallInOrder) {
    OpenSession();
    const uint64_t mark = cardsim::JournalMark();
    AdvanceMs(40);
    ASSERT_TRUE(PdvBeginPlayback());
    EXPECT_EQ(PdvGetPlaybackFrame(), 0);
    EXPECT_NE(PdvGetPlaybackFrameAddr(0), nullptr);
    EXPECT_FALSE(PdvSetPlaybackFrame(40));
    LONG h, m, s, f;
    ASSERT_EQ(DevGetTimecode(&h, &m, &s, &f, 100), DDC_NoError);
    EXPECT_EQ(DevPlay(), DDC_NoError);

    // Arguments, results (a pointer reads as 1) and outputs, all at the time of the calls.
    const auto calls = cardsim::JournalSince(mark);
    ASSERT_EQ(calls.size(), 6u);
    const int64_t t = calls[0].timeMicros;
    EXPECT_GE(t, 40000);
    const std::vector<std::string> lines = {"PdvBeginPlayback() -> 1", "PdvGetPlaybackFrame() -> 0",
                                            "PdvGetPlaybackFrameAddr(0) -> 1", "PdvSetPlaybackFrame(40) -> 0",
                                            "DevGetTimecode(1, 1, 1, 1, 100) -> 0 [0, 0, 0, 0]", "DevPlay() -> 0"};
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(cardsim::DescribeEntry(calls[i]), std::to_string(t) + " " + lines[i]);
        EXPECT_EQ(calls[i].sequence, mark + 1 + i);
    }
    EXPECT_EQ(calls[3].lastError, KDX_E_INVALID_PARAMETER);
}

TEST_F(JournalTest, KeepsOnlyTheNewestEntries) {
    cardsim::SetJournalCapacity(3);
    for (int i = 0; i < 5; ++i) PdvGetDriverState();
    const uint64_t newest = cardsim::JournalMark();
    const auto kept = cardsim::JournalSince(0);
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept.front().sequence, newest - 2);
    EXPECT_EQ(cardsim::JournalSince(newest - 1).size(), 1u);
    EXPECT_TRUE(cardsim::JournalSince(newest).empty());
    cardsim::ClearJournal();
    EXPECT_TRUE(cardsim::JournalSince(0).empty());
    PdvGetDriverState();
    EXPECT_EQ(cardsim::JournalMark(), newest + 1) << "numbers keep rising";
}

TEST_F(JournalTest, FoldsPollingLoopsWhenAsked) {
    OpenSession();
    cardsim::SetJournalFoldsRepeats(true);
    const uint64_t mark = cardsim::JournalMark();
    for (int i = 0; i < 4; ++i) PdvGetDriverState();
    AdvanceMs(10);
    PdvGetDriverState();
    PdvGetCapturedFrame();
    PdvGetDriverState();
    const auto entries = cardsim::JournalSince(mark);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].function, "PdvGetDriverState");
    EXPECT_EQ(entries[0].repeats, 5u);
    EXPECT_EQ(entries[0].lastTimeMicros - entries[0].timeMicros, 10000);
    EXPECT_EQ(entries[1].sequence, mark + 6);
    EXPECT_EQ(entries[2].repeats, 1u);
    EXPECT_EQ(cardsim::JournalMark(), mark + 7);
    // A call that only repeats still shows after a mark taken before it.
    EXPECT_EQ(cardsim::JournalSince(mark + 3).size(), 3u);
    const std::string text = cardsim::DescribeEntry(entries[0]);
    EXPECT_EQ(text.substr(text.size() - 3), " x5");
}

TEST_F(JournalTest, AVCEntriesCarryBothFrames) {
    OpenSession();
    BYTE command[8] = {0x71, 0x52, 0x20, 0x01, 0xFF, 0xFF, 0xFF, 0xFF}, response[8];
    ULONG length = 8;
    ASSERT_TRUE(KDXSendGenericAVCCommand(0, 0, 4, 8, 8, command, &length, response));
    const auto calls = CallsSince(0, "KDXSendGenericAVCCommand");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(cardsim::DescribeEntry(calls[0]),
              std::to_string(calls[0].timeMicros) +
                  " KDXSendGenericAVCCommand(0, 0, 4, 8, 8, 1, 8, 1) -> 1 [8] {01 20 52 71 FF FF FF FF} "
                  "{0C 20 52 71 01 00 00 FF}");
}

// The environment is read once, when the world is made.
class EnvironmentTest : public SimTest {
protected:
    void TearDown() override {
        // The world takes an empty variable for an unset one.
        for (const char* name : {"DVIO_SIM_TAPE", "DVIO_SIM_STANDARD", "DVIO_SIM_AUDIO", "DVIO_SIM_SPEED",
                                 "DVIO_SIM_FAULTS", "DVIO_SIM_DECK", "DVIO_SIM_FORMAT_SWITCH"})
            setenv(name, "");
        SimTest::TearDown();
    }
    // putenv is the call both C libraries have; POSIX keeps the string itself, so
    // every one lives as long as the program.
    static void setenv(const char* name, const std::string& value, int = 1) {
        static std::list<std::string> kept;
        kept.push_back(std::string(name) + "=" + value);
        putenv(&kept.back()[0]);
    }
};

TEST_F(EnvironmentTest, ChoosesTheWorld) {
    const std::string path = TempPath("env.dv");
    WriteDVFile(path, MakeFrames(DIO_PAL, 4, 0));
    setenv("DVIO_SIM_TAPE", path.c_str(), 1);
    setenv("DVIO_SIM_STANDARD", "pal", 1);
    setenv("DVIO_SIM_AUDIO", "32000", 1);
    setenv("DVIO_SIM_SPEED", "8", 1);
    setenv("DVIO_SIM_FAULTS", "stuck,drop=3", 1);
    setenv("DVIO_SIM_DECK", "dvcam,late,latency=2,protect", 1);
    setenv("DVIO_SIM_FORMAT_SWITCH", "900", 1);
    cardsim::World world;
    EXPECT_EQ(world.ConfigError(), "");
    EXPECT_EQ(world.card.Standard(), PDV_VST_PAL);
    EXPECT_EQ(std::vector<int64_t>({world.builtInOptions.standard, world.builtInOptions.audio,
                                    world.builtInOptions.formatSwitchAt}),
              std::vector<int64_t>({DIO_PAL, DIO_Audio32000, 900}));
    EXPECT_EQ(world.clock.Speed(), 8.0);
    EXPECT_TRUE(world.faults.stuckInTransition);
    EXPECT_TRUE(world.faults.DropsArrival(3));
    EXPECT_EQ(std::vector<int>({world.model.cassetteType, world.model.landingOffset, world.model.recordLatencyFrames}),
              std::vector<int>({0x31, 1, 2}));
    ASSERT_NE(world.cassette(), nullptr);
    EXPECT_TRUE(world.cassette()->IsFileBacked());
    EXPECT_TRUE(world.cassette()->writeProtected);
    EXPECT_EQ(world.cassette()->Material().Length(), 4);

    setenv("DVIO_SIM_STANDARD", "secam", 1);
    setenv("DVIO_SIM_SPEED", "0", 1);
    setenv("DVIO_SIM_DECK", "wobbly", 1);
    setenv("DVIO_SIM_FORMAT_SWITCH", "soon", 1);
    setenv("DVIO_SIM_TAPE", TempPath("none.dv").c_str(), 1);
    cardsim::World bad;
    for (const char* part : {"DVIO_SIM_STANDARD=secam", "DVIO_SIM_SPEED=0", "wobbly", "DVIO_SIM_TAPE", "DVIO_SIM_FORMAT_SWITCH=soon"})
        EXPECT_NE(bad.ConfigError().find(part), std::string::npos) << part;
    EXPECT_FALSE(bad.cassette()->IsFileBacked()) << "the built-in tape stays";
}

}  // namespace
}  // namespace simtest
