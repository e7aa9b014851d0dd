// Playback and recording: frames handed to the card reach the tape at the deck's
// position; synchronised record lands an insert exactly where the deck stood.
#include "SimTestSupport.h"

#include <cstring>
#include <functional>

namespace simtest {
namespace {

constexpr size_t kSequence = 12000;

class PlaybackRecordTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        OpenSession();
    }
    // `played` with the subcode blocks (blocks 1 and 2 of every sequence) of `tape`.
    static std::vector<uint8_t> WithSubcodeOf(std::vector<uint8_t> played, const std::vector<uint8_t>& tape) {
        for (size_t s = 0; s < played.size() / kSequence; ++s)
            std::memcpy(&played[s * kSequence + 80], &tape[s * kSequence + 80], 160);
        return played;
    }
    // Frames distinct from anything on the built-in tape.
    static std::vector<std::vector<uint8_t>> Program(int count) { return MakeFrames(DIO_NTSC, count, 50000, 7000); }
    void BeginWith(const std::vector<std::vector<uint8_t>>& frames, bool syncMode) {
        ASSERT_TRUE(syncMode ? PdvBeginPlayback2() : PdvBeginPlayback());
        for (size_t i = 0; i < frames.size(); ++i) QueuePlaybackFrame(static_cast<LONG>(i), frames[i]);
    }
};

TEST_F(PlaybackRecordTest, PlayedFramesReachTheTapeInOrderAndUnderrunsRepeat) {
    const auto program = Program(6);
    BeginWith(program, false);
    ASSERT_TRUE(PdvStartPlayback());
    cardsim::ParkDeck(300, DDC_STATE_RECORD);
    AdvancePeriods(6);
    EXPECT_EQ(PdvGetPlaybackFrame(), 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(TapeAt(300 + i), program[i]) << "position " << 300 + i;

    // Nothing ready: the last frame goes out again, counted as an underrun, and the
    // played count stays.
    AdvancePeriods(3);
    EXPECT_EQ(PdvGetPlaybackFrame(), 6);
    EXPECT_EQ(cardsim::GetCardCounters().underruns, 3u);
    EXPECT_EQ(cardsim::GetCardCounters().framesRecorded, 9u);
    for (int i = 6; i < 9; ++i) EXPECT_EQ(TapeAt(300 + i), program[5]);

    // A frame made ready now plays at the next period.
    QueuePlaybackFrame(6, program[0]);
    AdvancePeriods(1);
    EXPECT_EQ(PdvGetPlaybackFrame(), 7);
    EXPECT_EQ(TapeAt(309), program[0]);
    EXPECT_EQ(cardsim::GetDeckStatus().position, 310);
}

TEST_F(PlaybackRecordTest, SynchronisedInsertReplacesExactlyTheFramesAtTheParkedPosition) {
    std::vector<std::vector<uint8_t>> before;
    for (int p = 399; p < 406; ++p) before.push_back(TapeAt(p));
    cardsim::ParkDeck(400, DDC_STATE_RECORD_PAUSE);
    ASSERT_TRUE(PdvSetSyncRecDelay(0));
    ASSERT_TRUE(PdvSetSyncRecNumFrames(5));
    const auto program = Program(9);  // lead-in, five frames, and more than the edit
    BeginWith(program, true);
    ASSERT_TRUE(PdvSyncRecNoParam());
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_PLAYING);
    AdvancePeriods(2);
    EXPECT_EQ(DeckState(), DDC_STATE_RECORD);
    AdvancePeriods(10);
    EXPECT_EQ(DeckState(), DDC_STATE_RECORD_PAUSE);
    EXPECT_EQ(cardsim::GetDeckStatus().position, 405);
    EXPECT_EQ(cardsim::GetCardCounters().framesRecorded, 5u);
    // Positions 400..404 hold program frames 1..5 under the tape's subcode; 399 and 405 are untouched.
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(TapeAt(399 + k), k == 0 || k == 6 ? before[k] : WithSubcodeOf(program[k], before[k])) << 399 + k;
    // The insert kept the tape's timecode running.
    EXPECT_EQ(DeckLabel(404), DropFrameLabel(404));
    EXPECT_EQ(DeckLabel(405), DropFrameLabel(405));
}

// The blocks of every DIF sequence an edit may keep or replace: subcode (1-2), audio
// (6, 22, ... 134) or video (VAUX 3-5 and the rest).
enum Part { kSubcode, kVideo, kAudio };
std::vector<uint8_t> PartOf(const std::vector<uint8_t>& frame, Part part) {
    std::vector<uint8_t> bytes;
    for (size_t block = 0; block < frame.size() / 80; ++block) {
        const size_t b = block % 150;
        const Part is = b < 3 ? kSubcode : (b >= 6 && (b - 6) % 16 == 0 ? kAudio : kVideo);
        if (b != 0 && is == part) bytes.insert(bytes.end(), &frame[block * 80], &frame[block * 80 + 80]);
    }
    return bytes;
}

TEST_F(PlaybackRecordTest, AnInsertReplacesTheTracksNamedAndAnAssembleEverything) {
    struct Case {
        const char* deckOptions;
        bool subcodeSent, videoSent, audioSent;
    };
    const Case cases[] = {
        {"insert", false, true, true},
        {"insert=video", false, true, false},
        {"insert=audio", false, false, true},
        {"assemble", true, true, true},
    };
    for (const Case& c : cases) {
        cardsim::Reset();
        cardsim::UseManualClock(true);
        ASSERT_TRUE(cardsim::SetDeckOptions(c.deckOptions));
        OpenSession();
        const std::vector<uint8_t> before = TapeAt(400);
        cardsim::ParkDeck(400, DDC_STATE_RECORD_PAUSE);
        ASSERT_TRUE(PdvSetSyncRecNumFrames(1));
        const auto program = Program(3);
        BeginWith(program, true);
        ASSERT_TRUE(PdvSyncRecNoParam());
        AdvancePeriods(4);
        const std::vector<uint8_t> after = TapeAt(400);
        for (const auto& [part, sent] : {std::pair{kSubcode, c.subcodeSent}, std::pair{kVideo, c.videoSent},
                                          std::pair{kAudio, c.audioSent}})
            EXPECT_TRUE(PartOf(after, part) == PartOf(sent ? program[1] : before, part))
                << c.deckOptions << " part " << part;
        EXPECT_EQ(DeckLabel(400), c.subcodeSent ? DropFrameLabel(50001) : DropFrameLabel(400)) << c.deckOptions;
    }
}

}  // namespace
}  // namespace simtest
