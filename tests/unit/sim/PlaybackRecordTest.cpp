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

    // Paused: the still goes on tape, nothing is counted.
    ASSERT_TRUE(PdvPausePlayback(TRUE));
    AdvancePeriods(2);
    EXPECT_EQ(TapeAt(311), program[0]);
    EXPECT_EQ(cardsim::GetCardCounters().underruns, 3u);
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

TEST_F(PlaybackRecordTest, ADelayThatMissesTheLatencyShiftsTheInsert) {
    struct Case {
        LONG delay;
        int latency;
        int64_t firstReplaced;
    };
    for (const Case& c : {Case{3, 2, 501}, Case{1, 2, 499}, Case{2, 2, 500}}) {
        cardsim::Reset();
        cardsim::UseManualClock(true);
        cardsim::DeckModel model;
        model.recordLatencyFrames = c.latency;
        model.syncEdit = cardsim::EditKind::Assemble;
        cardsim::SetDeckModel(model);
        OpenSession();
            std::vector<std::vector<uint8_t>> before;
        for (int p = 497; p < 506; ++p) before.push_back(TapeAt(p));
        cardsim::ParkDeck(500, DDC_STATE_RECORD_PAUSE);
        ASSERT_TRUE(PdvSetSyncRecDelay(c.delay));
        ASSERT_TRUE(PdvSetSyncRecNumFrames(3));
        const auto program = Program(6);
        BeginWith(program, true);
        ASSERT_TRUE(PdvSyncRecNoParam());
        AdvancePeriods(8);
        for (int p = 497; p < 506; ++p) {
            const int64_t k = p - c.firstReplaced + 1;
            if (k >= 1 && k <= 3) EXPECT_EQ(TapeAt(p), program[k]) << "delay " << c.delay << " position " << p;
            else EXPECT_EQ(TapeAt(p), before[p - 497]) << "delay " << c.delay << " position " << p;
        }
    }
}

TEST_F(PlaybackRecordTest, SyncRecordWaitsForTheDeckAndRunsUntilStoppedWithoutALength) {
    cardsim::ParkDeck(700, DDC_STATE_PLAYBACK_PAUSE);
    ASSERT_TRUE(PdvDeckControl(PDV_DECK_RECORD_PAUSE));
    ASSERT_TRUE(PdvSetSyncRecNumFrames(0));
    const auto program = Program(8);
    BeginWith(program, true);
    ASSERT_TRUE(PdvSyncRecNoParam()) << "the deck is on its way into record pause";
    AdvancePeriods(3);
    EXPECT_EQ(PdvGetPlaybackFrame(), 0) << "the card holds its frames until the deck is ready";
    SettleDeck();
    const LONG played = PdvGetPlaybackFrame();
    EXPECT_GT(played, 0);
    AdvancePeriods(4);
    EXPECT_EQ(PdvGetPlaybackFrame(), played + 4);
    EXPECT_EQ(DeckState(), DDC_STATE_RECORD);
    ASSERT_TRUE(PdvStopPlayback());
    EXPECT_EQ(DeckState(), DDC_STATE_RECORD_PAUSE);
    EXPECT_EQ(cardsim::GetDeckStatus().position, 700 + PdvGetPlaybackFrame() - 1);
    EXPECT_EQ(TapeAt(700), WithSubcodeOf(program[1], TapeAt(700)));
}

TEST_F(PlaybackRecordTest, WriteProtectedCassetteRefusesToRecord) {
    cardsim::SetWriteProtected(true);
    EXPECT_EQ(DevRecord(), DDC_TapeProtected);
    EXPECT_CARD_ERROR(PdvDeckControl(PDV_DECK_RECORD_PAUSE), KDX_E_DEV_REJECT_SRV);
    EXPECT_CARD_ERROR(PdvBeginPlayback(), KDX_E_DEV_REJECT_SRV);
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_IDLE);
    cardsim::SetWriteProtected(false);
    cardsim::ParkDeck(10, DDC_STATE_RECORD_PAUSE);
    ASSERT_TRUE(PdvBeginPlayback());
    cardsim::SetWriteProtected(true);
    EXPECT_CARD_ERROR(PdvSyncRecNoParam(), KDX_E_DEV_REJECT_SRV);
    EXPECT_EQ(PdvGetDriverState(), PDV_STATE_PLAYBACK_OPEN);
}

TEST_F(PlaybackRecordTest, ADeckSentNothingRecordsNothing) {
    // Each way of sending the deck nothing, on an NTSC and on a PAL tape.
    struct Case {
        const char* what;
        std::function<void()> arrange;
    };
    const Case cases[] = {
        {"card closed", [] { ASSERT_NE(KDXClose(0), 0); }},
        {"no playback mode", [] {}},
        {"playback mode open, not started", [] { ASSERT_TRUE(PdvBeginPlayback()); }},
        {"started with nothing ever ready", [] {
             ASSERT_TRUE(PdvBeginPlayback());
             ASSERT_TRUE(PdvStartPlayback());
         }},
        {"device link gone", [] {
             ASSERT_TRUE(PdvBeginPlayback());
             QueuePlaybackFrame(0, Program(1)[0]);
             ASSERT_TRUE(PdvStartPlayback());
             cardsim::DisconnectDevice();
         }},
    };
    for (const DIO_VideoFormat standard : {DIO_NTSC, DIO_PAL}) {
        for (const Case& c : cases) {
            cardsim::Reset();
            cardsim::UseManualClock(true);
            cardsim::BuiltInTapeOptions options;
            options.standard = standard;
            cardsim::LoadBuiltInTape(options);
            OpenSession();
            std::vector<std::vector<uint8_t>> before;
            for (int p = 20; p < 26; ++p) before.push_back(TapeAt(p));
            c.arrange();
            cardsim::ParkDeck(20, DDC_STATE_RECORD);
            AdvancePeriods(5, standard);
            EXPECT_EQ(cardsim::GetDeckStatus().position, 25) << c.what << " " << standard;
            EXPECT_EQ(cardsim::GetCardCounters().framesRecorded, 0u) << c.what << " " << standard;
            for (int p = 20; p < 26; ++p) EXPECT_TRUE(TapeAt(p) == before[p - 20]) << c.what << " " << standard;
            const std::vector<int> label = standard == DIO_PAL ? std::vector<int>{0, 0, 0, 21, 0} : DropFrameLabel(21);
            EXPECT_EQ(DeckLabel(21), label) << c.what << " " << standard;
        }
    }
}

TEST_F(PlaybackRecordTest, FramesOfTheOtherStandardAreNotRecordedOverTheTapeAndAreCounted) {
    cardsim::BuiltInTapeOptions options;
    options.standard = DIO_PAL;
    cardsim::LoadBuiltInTape(options);
    const std::vector<uint8_t> before = TapeAt(30);
    BeginWith(Program(4), false);
    ASSERT_TRUE(PdvStartPlayback());
    cardsim::ParkDeck(30, DDC_STATE_RECORD);
    AdvancePeriods(4);
    EXPECT_TRUE(TapeAt(30) == before);
    EXPECT_EQ(cardsim::GetCardCounters().framesRecorded, 0u);
    EXPECT_EQ(cardsim::GetCardCounters().framesNotRecorded, 4u);
}

TEST_F(PlaybackRecordTest, PlainRecordWritesFramesAsReceived) {
    cardsim::ParkDeck(100, DDC_STATE_STOP);
    const auto program = Program(3);
    BeginWith(program, false);
    ASSERT_EQ(DevRecord(), DDC_NoError);
    EXPECT_EQ(cardsim::GetDeckStatus().rawState, DDC_STATE_RECORD);
    SettleDeck();
    ASSERT_TRUE(PdvStartPlayback());
    const int64_t at = cardsim::GetDeckStatus().position;
    AdvancePeriods(3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(TapeAt(at + i), program[i]);
    // The deck reads the frame's own timecode there, not the tape's old one.
    EXPECT_EQ(DeckLabel(at), DropFrameLabel(50000));
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
    std::string error;
    EXPECT_FALSE(cardsim::SetDeckOptions("insert=subcode", &error));
    EXPECT_EQ(error, "insert=subcode");
}

}  // namespace
}  // namespace simtest
