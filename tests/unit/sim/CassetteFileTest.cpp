// A cassette file is the user's tape: what is not DV is refused, damaged frames and
// everything not recorded over stay byte for byte, the file keeps its mode, owner and
// symlink, and a read-only file is a write-protected cassette.
#include "SimTestSupport.h"

#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace simtest {
namespace {

class CassetteFileTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        OpenSession();
    }
    // Plays `frames` with the deck recording from `position`, then stops the deck, which
    // writes the cassette back.
    static void Record(int64_t position, const std::vector<std::vector<uint8_t>>& frames) {
        ASSERT_TRUE(PdvBeginPlayback());
        for (size_t i = 0; i < frames.size(); ++i) QueuePlaybackFrame(static_cast<LONG>(i), frames[i]);
        ASSERT_TRUE(PdvStartPlayback());
        cardsim::ParkDeck(position, DDC_STATE_RECORD);
        AdvancePeriods(static_cast<int64_t>(frames.size()));
        ASSERT_TRUE(PdvEndPlayback());
        cardsim::ParkDeck(position, DDC_STATE_STOP);
        AdvancePeriods(1);
    }
    // `original` with the 525/60 frames at `position` replaced by `frames`.
    static std::vector<uint8_t> Replaced(std::vector<uint8_t> original, int64_t position,
                                         const std::vector<std::vector<uint8_t>>& frames) {
        const std::vector<uint8_t> bytes = Concat(frames);
        const size_t at = static_cast<size_t>(position) * kDVFrameSizeNTSC;
        if (original.size() < at + bytes.size()) original.resize(at + bytes.size());
        std::copy(bytes.begin(), bytes.end(), original.begin() + static_cast<long>(at));
        return original;
    }
};

std::vector<uint8_t> Junk(size_t size, int kind) {
    std::vector<uint8_t> bytes(size, kind == 0 ? 0x00 : 'x');
    std::mt19937 random(7);
    if (kind == 2)
        for (auto& b : bytes) b = static_cast<uint8_t>(random());
    return bytes;
}

TEST_F(CassetteFileTest, FilesThatAreNoTapeAreRefusedAtLoad) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* error;  // what the refusal says after the path
    };
    std::vector<uint8_t> partial = MakeFrames(DIO_NTSC, 1, 0)[0];
    partial.resize(100000);
    const Case cases[] = {
        {"text", std::vector<uint8_t>(20000, 'n'), " is not a DV file: none of its 20000 bytes starts a DV frame"},
        {"random", Junk(400000, 2), " is not a DV file: none of its 400000 bytes starts a DV frame"},
        {"partial frame", partial, " is not a DV file: none of its 100000 bytes starts a DV frame"},
        {"empty", {}, " is empty: it is no DV file and was not made as a blank cassette (dvio tape new FILE --blank)"},
    };
    for (const Case& c : cases) {
        const std::string path = TempPath("refused.dv");
        WriteDVFile(path, {c.bytes});
        std::string error;
        EXPECT_FALSE(cardsim::LoadTapeFile(path, &error)) << c.name;
        EXPECT_EQ(error, path + c.error) << c.name;
        EXPECT_EQ(ReadFile(path), c.bytes) << c.name;
    }
}

TEST_F(CassetteFileTest, DamagedFramesAndAllNotRecordedOverStayByteForByte) {
    // Frames 10-19 of 30 damaged, three ways; a piece of a frame after the last one.
    for (int kind = 0; kind < 3; ++kind) {
        cardsim::Reset();
        cardsim::UseManualClock(true);
        OpenSession();
        std::vector<uint8_t> original = Concat(MakeFrames(DIO_NTSC, 30, 0, 100));
        const std::vector<uint8_t> junk = Junk(10 * kDVFrameSizeNTSC, kind);
        std::copy(junk.begin(), junk.end(), original.begin() + 10 * static_cast<long>(kDVFrameSizeNTSC));
        original.insert(original.end(), {0x1F, 0x07, 0x00, 0x3F, 0x55});
        const std::string path = TempPath("damaged.dv");
        WriteDVFile(path, {original});
        std::string error;
        ASSERT_TRUE(cardsim::LoadTapeFile(path, &error)) << error;
        EXPECT_FALSE(cardsim::IsTapeBlank(15)) << kind;
        std::vector<uint8_t> frame;
        EXPECT_FALSE(cardsim::ReadTapeFrame(15, &frame)) << "unreadable, kind " << kind;
        EXPECT_EQ(DeckLabel(20), DropFrameLabel(20)) << "positions after the damage are where they were";

        // Over good frames, over damaged ones, and past the end.
        const auto program = MakeFrames(DIO_NTSC, 2, 9000, 500);
        Record(3, program);
        Record(18, program);
        EXPECT_EQ(cardsim::TapeError(), "") << kind;
        std::vector<uint8_t> expected = Replaced(original, 3, program);
        expected = Replaced(expected, 18, program);
        EXPECT_TRUE(ReadFile(path) == expected) << kind;
        Record(30, program);
        const std::vector<uint8_t> appended = Concat(program);
        expected.insert(expected.end(), appended.begin(), appended.end());
        EXPECT_TRUE(ReadFile(path) == expected) << "appended after the last byte, kind " << kind;
        EXPECT_TRUE(TapeAt(31) == program[1]);
    }
}

TEST_F(CassetteFileTest, WritingBackKeepsModeOwnerAndSymlink) {
    const auto original = Concat(MakeFrames(DIO_NTSC, 8, 0, 100));
    const std::string target = TempPath("target.dv");
    const std::string link = TempPath("link.dv");
    WriteDVFile(target, {original});
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    struct stat before {};
    ASSERT_EQ(::stat(target.c_str(), &before), 0);
    std::string error;
    ASSERT_TRUE(cardsim::LoadTapeFile(link, &error)) << error;
    const auto program = MakeFrames(DIO_NTSC, 2, 9000, 500);
    Record(2, program);
    Record(8, program);  // past the end: the file grows in place too
    EXPECT_EQ(cardsim::TapeError(), "");
    struct stat after {};
    ASSERT_EQ(::lstat(link.c_str(), &after), 0);
    EXPECT_TRUE(S_ISLNK(after.st_mode)) << "still a symlink";
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the same file";
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    std::vector<uint8_t> expected = Replaced(original, 2, program);
    expected = Replaced(expected, 8, program);
    EXPECT_TRUE(ReadFile(target) == expected);
}

TEST_F(CassetteFileTest, AReadOnlyFileIsAWriteProtectedCassette) {
    const auto original = Concat(MakeFrames(DIO_NTSC, 8, 0, 100));
    const std::string path = TempPath("readonly.dv");
    WriteDVFile(path, {original});
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    std::string error;
    ASSERT_TRUE(cardsim::LoadTapeFile(path, &error)) << error;
    EXPECT_TRUE(cardsim::GetDeckStatus().writeProtected);
    cardsim::SetWriteProtected(false);
    EXPECT_TRUE(cardsim::GetDeckStatus().writeProtected) << "the file decides";
    EXPECT_EQ(DevRecord(), DDC_TapeProtected);
    EXPECT_FALSE(PdvDeckControl(PDV_DECK_RECORD_PAUSE));
    // The card cannot connect its output for recording: what a writability probe sees.
    EXPECT_FALSE(PdvBeginPlayback());
    EXPECT_EQ(KDXGetLastError(), KDX_E_DEV_REJECT_SRV);
    cardsim::ParkDeck(2, DDC_STATE_RECORD);
    AdvancePeriods(3);
    EXPECT_TRUE(ReadFile(path) == original);
}

}  // namespace
}  // namespace simtest
