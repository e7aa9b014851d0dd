// The AV/C tape subunit, byte for byte, through the card's pass-through call.
#include "SimTestSupport.h"

#include "hostcore/Timecode.h"

namespace simtest {
namespace {

using Bytes = std::vector<uint8_t>;

class AVCTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        OpenSession();
    }
};

const Bytes kTimecodeStatus = {0x01, 0x20, 0x51, 0x71, 0xFF, 0xFF, 0xFF, 0xFF};
const Bytes kSmpteStatus = {0x01, 0x20, 0x59, 0x71, 0xFF, 0xFF, 0xFF, 0xFF};
const Bytes kTrackStatus = {0x01, 0x20, 0x52, 0x71, 0xFF, 0xFF, 0xFF, 0xFF};
const Bytes kMediumInfo = {0x01, 0x20, 0xDA, 0x7F, 0x7F};

TEST_F(AVCTest, BuffersCarryTheFrameQuadletByQuadlet) {
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK_PAUSE);
    BYTE command[8] = {0x71, 0x51, 0x20, 0x01, 0xFF, 0xFF, 0xFF, 0xFF};
    BYTE response[64] = {};
    ULONG length = 64;
    ASSERT_TRUE(KDXSendGenericAVCCommand(0, 0, 4, 8, 8, command, &length, response));
    EXPECT_EQ(length, 8u);
    // 00:00:03;10, drop-frame: response code at buffer byte 3, opcode at 1, operand at 0.
    EXPECT_EQ(Bytes(response, response + 8), (Bytes{0x71, 0x51, 0x20, 0x0C, 0x00, 0x00, 0x03, 0x50}));
    const auto calls = CallsSince(0, "KDXSendGenericAVCCommand");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].request, kTimecodeStatus);
    EXPECT_EQ(calls[0].reply, (Bytes{0x0C, 0x20, 0x51, 0x71, 0x50, 0x03, 0x00, 0x00}));
    EXPECT_EQ(calls[0].arguments, (std::vector<int64_t>{0, 0, 4, 8, 8, 1, 64, 1}));
}

TEST_F(AVCTest, StatusQueriesAnswerFromTheDeckAndCassette) {
    cardsim::ParkDeck(130, DDC_STATE_PLAYBACK_PAUSE);
    // 00:00:04;10 with the drop-frame bit.
    EXPECT_EQ(SendAVC(kTimecodeStatus), (Bytes{0x0C, 0x20, 0x51, 0x71, 0x50, 0x04, 0x00, 0x00}));
    EXPECT_EQ(SendAVC(kSmpteStatus), (Bytes{0x0C, 0x20, 0x59, 0x71, 0x50, 0x04, 0x00, 0x00}));
    // Track 1300, recorded: 2 x 1300 + 1 = 0x000A29.
    EXPECT_EQ(SendAVC(kTrackStatus), (Bytes{0x0C, 0x20, 0x52, 0x71, 0x29, 0x0A, 0x00, 0xFF}));
    EXPECT_EQ(SendAVC(kMediumInfo), (Bytes{0x0C, 0x20, 0xDA, 0x32, 0x00, 0x00, 0x00, 0x00}));

    // Blank tape: no time code, the track number without the recorded flag.
    const int64_t blank = cardsim::TapeLength() - 10;
    cardsim::ParkDeck(blank, DDC_STATE_PLAYBACK_PAUSE);
    EXPECT_EQ(SendAVC(kTimecodeStatus), (Bytes{0x0C, 0x20, 0x51, 0x71, 0xFF, 0xFF, 0xFF, 0xFF}));
    const uint32_t v = static_cast<uint32_t>(blank * 10 * 2);
    EXPECT_EQ(SendAVC(kTrackStatus), (Bytes{0x0C, 0x20, 0x52, 0x71, static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                                            static_cast<uint8_t>(v >> 16), 0xFF}));

    cardsim::SetWriteProtected(true);
    cardsim::DeckModel model;
    model.smpteTimecode = false;
    model.cassetteType = 0x31;
    cardsim::SetDeckModel(model);
    EXPECT_EQ(SendAVC(kMediumInfo), (Bytes{0x0C, 0x20, 0xDA, 0x31, 0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(SendAVC(kSmpteStatus), (Bytes{0x08, 0x20, 0x59, 0x71, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(SendAVC({0x01, 0x20, 0xC3, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF})[0], 0x08) << "not implemented";
    EXPECT_EQ(SendAVC({0x01, 0x60, 0x51, 0x71, 0xFF, 0xFF, 0xFF, 0xFF})[0], 0x08) << "another subunit";
    cardsim::EjectTape();
    EXPECT_EQ(SendAVC(kMediumInfo), (Bytes{0x0C, 0x20, 0xDA, 0x60, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(SendAVC(kTimecodeStatus)[0], 0x0A);
}

TEST_F(AVCTest, TimecodeAndTrackSearchesForTheDocumentedTargets) {
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK_PAUSE);
    EXPECT_EQ(SendAVC(kTrackStatus), (Bytes{0x0C, 0x20, 0x52, 0x71, 0xD1, 0x07, 0x00, 0xFF})) << "track 1000";
    EXPECT_EQ(SendAVC({0x00, 0x20, 0x52, 0x20, 0x29, 0x0A, 0x00, 0xFF}),
              (Bytes{0x09, 0x20, 0x52, 0x20, 0x29, 0x0A, 0x00, 0xFF}));
    SettleDeck();
    EXPECT_EQ(DeckState(), DDC_STATE_PLAYBACK_PAUSE);
    EXPECT_EQ(cardsim::GetDeckStatus().position, 130);
    EXPECT_EQ(SendAVC({0x00, 0x20, 0x52, 0x20, 0xFF, 0xFF, 0x7F, 0xFF})[0], 0x0A) << "beyond the tape";

    cardsim::BuiltInTapeOptions options;
    options.firstFrameCount = 107892;  // the tape starts at 01:00:00;00
    cardsim::LoadBuiltInTape(options);
    const timecodeDesc_t desc = TCCreateDesc(1, 30);
    const int64_t target = TCConstruct(0, 1, 2, 3, 4, &desc).frameCount - 107892;
    const Bytes search = {0x00, 0x20, 0x51, 0x20, 0x04, 0x03, 0x02, 0x01};
    EXPECT_EQ(SendAVC(search), (Bytes{0x09, 0x20, 0x51, 0x20, 0x04, 0x03, 0x02, 0x01}));
    EXPECT_EQ(SendAVC(kTimecodeStatus)[0], 0x0B) << "the deck is changing state";
    SettleDeck();
    AdvancePeriods(target / cardsim::GetDeckModel().windSpeed + 2);
    EXPECT_EQ(DeckState(), DDC_STATE_PLAYBACK_PAUSE);
    EXPECT_EQ(cardsim::GetDeckStatus().position, target);
    EXPECT_EQ(SendAVC(kTimecodeStatus), (Bytes{0x0C, 0x20, 0x51, 0x71, 0x44, 0x03, 0x02, 0x01}));
    EXPECT_EQ(SendAVC({0x00, 0x20, 0x51, 0x20, 0x04, 0x03, 0x02, 0x05})[0], 0x0A) << "not on the tape";
}

TEST_F(AVCTest, DeckModelAnswersToSearches) {
    const Bytes search = {0x00, 0x20, 0x51, 0x20, 0x00, 0x10, 0x00, 0x00};  // 00:00:10;00
    cardsim::DeckModel model;
    model.searchAnswer = cardsim::SearchAnswer::StatusOperand;
    cardsim::SetDeckModel(model);
    cardsim::ParkDeck(31, DDC_STATE_PLAYBACK_PAUSE);
    EXPECT_EQ(SendAVC(search), (Bytes{0x0C, 0x20, 0x51, 0x71, 0x41, 0x01, 0x00, 0x00}));
    EXPECT_FALSE(cardsim::GetDeckStatus().inTransition) << "a status answer moves nothing";

    model.searchAnswer = cardsim::SearchAnswer::InTransition;
    cardsim::SetDeckModel(model);
    EXPECT_EQ(SendAVC(search)[0], 0x0B);
    EXPECT_EQ(SendAVC(search)[0], 0x0B);

    model.searchAnswer = cardsim::SearchAnswer::Interim;
    cardsim::SetDeckModel(model);
    const uint64_t mark = cardsim::JournalMark();
    EXPECT_EQ(SendAVC(search), (Bytes{0x0F, 0x20, 0x51, 0x20, 0x00, 0x10, 0x00, 0x00}));
    SettleDeck();
    EXPECT_TRUE(CallsSince(mark, "AVCFinalResponse").empty()) << "still winding";
    AdvancePeriods(10);
    EXPECT_EQ(cardsim::GetDeckStatus().position, 300);
    const auto finals = CallsSince(mark, "AVCFinalResponse");
    ASSERT_EQ(finals.size(), 1u);
    EXPECT_EQ(finals[0].reply, (Bytes{0x09, 0x20, 0x51, 0x20, 0x00, 0x10, 0x00, 0x00}));
}

TEST_F(AVCTest, BadArgumentsFailWithTheCardError) {
    BYTE command[8] = {0x71, 0x51, 0x20, 0x01, 0xFF, 0xFF, 0xFF, 0xFF};
    BYTE response[8];
    ULONG length = 4;
    EXPECT_CARD_ERROR(KDXSendGenericAVCCommand(0, 0, 4, 8, 8, command, &length, response), KDX_E_BUFFER_SMALL);
    length = 8;
    EXPECT_CARD_ERROR(KDXSendGenericAVCCommand(0, 0, 4, 8, 8, nullptr, &length, response), KDX_E_INVALID_PARAMETER);
    EXPECT_FALSE(KDXSendGenericAVCCommand(0, 0, 4, 8, 8, command, nullptr, response));
    EXPECT_FALSE(KDXSendGenericAVCCommand(0, 0, 4, 8, 8, command, &length, nullptr));
    EXPECT_FALSE(KDXSendGenericAVCCommand(0, 0, 4, 2, 8, command, &length, response));
    EXPECT_CARD_ERROR(KDXSendGenericAVCCommand(0, 0, 4, 100000, 8, command, &length, response), KDX_E_INVALID_PARAMETER);
    cardsim::DisconnectDevice();
    EXPECT_CARD_ERROR(KDXSendGenericAVCCommand(0, 0, 4, 8, 8, command, &length, response), KDX_E_NO_DEVICE_CONNECTED);
}

}  // namespace
}  // namespace simtest
