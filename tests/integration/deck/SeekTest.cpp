// Seeking: the AV/C time code search, the relative track-number search and the
// library's seek, in that order with their fall-backs, the frames they send byte for
// byte, and the deck parked where it was sent.
#include "DeckFixture.h"
#include "KDXCORE.h"
#include "KordexDDC.h"
#include "deck/TimecodeFields.h"

#include <algorithm>
#include <utility>

using namespace dv1394;

namespace {

using Frame = std::vector<uint8_t>;

class SeekTest : public DeckFixture {
protected:
    // (opcode, operand 0) of every AV/C command sent.
    static std::vector<std::pair<int, int>> AVCKinds() {
        std::vector<std::pair<int, int>> kinds;
        for (const Frame& frame : AVCRequests())
            if (frame.size() > 3) kinds.emplace_back(frame[2], frame[3]);
        return kinds;
    }

    // True when `expected` appear among the lines in this order.
    ::testing::AssertionResult LinesInOrder(const std::vector<std::string>& expected) const {
        const std::vector<std::string> lines = Lines();
        auto at = lines.begin();
        for (const std::string& line : expected) {
            at = std::find(at, lines.end(), line);
            if (at == lines.end()) return ::testing::AssertionFailure() << "missing or out of order: " << line;
            ++at;
        }
        return ::testing::AssertionSuccess();
    }

    static Frame TrackSearch(LONG track) {
        unsigned char bytes[3];
        EncodeTrackNumber(track, bytes);
        return {0x00, 0x20, 0x52, 0x20, bytes[0], bytes[1], bytes[2], 0xFF};
    }

    static bool SeekCommandSent() {
        for (const Frame& frame : AVCRequests())
            if (frame.size() > 3 && frame[0] == 0x00 && frame[3] == 0x20) return true;
        return !CallsTo("DevSeekToTimecode").empty();
    }
};

const std::pair<int, int> kTimecodeStatus{0x51, 0x71};
const std::pair<int, int> kTimecodeSearch{0x51, 0x20};
const std::pair<int, int> kSmpteStatus{0x59, 0x71};
const std::pair<int, int> kTrackStatus{0x52, 0x71};
const std::pair<int, int> kTrackSearch{0x52, 0x20};
const std::pair<int, int> kMediumInfo{0xDA, 0x7F};

TEST_F(SeekTest, TheTimeCodeSearchCuesTheDeckFirst) {
    cardsim::SetSpeed(4);
    OpenSession();
    const timecode_t target = Tc(0, 2, 3, 4);
    EXPECT_EQ(device_->DeviceSeekToTimecode(target), DDC_NoError);
    EXPECT_EQ(AVCRequests(), std::vector<Frame>{Frame({0x00, 0x20, 0x51, 0x20, 0x04, 0x03, 0x02, 0x00})});
    EXPECT_EQ(CardCalls(), (std::vector<std::string>{"DevGetState", "KDXSendGenericAVCCommand"}));
    // Written whatever the trace switch says.
    EXPECT_EQ(Lines(), std::vector<std::string>{"SeekToTimecodeWithTC -> 00:02:03;04\n"});
    EXPECT_TRUE(WaitForDeck(DDC_STATE_PLAYBACK_PAUSE, cardsim::FindTapeTimecode({0, 2, 3, 4, true})));
}

TEST_F(SeekTest, ARefusedTimeCodeSearchIsCuedByTrackNumber) {
    OpenSession();
    cardsim::RemoveSubcode(130, 1);  // the deck cannot find 00:00:04;10 by its label
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK_PAUSE);
    Forget();
    Trace(true);
    EXPECT_EQ(device_->DeviceSeekToTimecode(Frames(130)), DDC_NoError);
    // The position check, the refused search, the cassette, the track and the time
    // code under the head, then the track search.
    const std::vector<std::pair<int, int>> kinds = {kSmpteStatus, kTimecodeSearch, kMediumInfo,
                                                    kTrackStatus, kTimecodeStatus, kTrackSearch};
    EXPECT_EQ(AVCKinds(), kinds);
    ASSERT_EQ(AVCRequests().size(), 6u);
    EXPECT_EQ(AVCRequests()[2], Frame({0x01, 0x20, 0xDA, 0x7F, 0x7F}));
    EXPECT_EQ(AVCRequests()[3], Frame({0x01, 0x20, 0x52, 0x71, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(AVCRequests()[4], Frame({0x01, 0x20, 0x51, 0x71, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(AVCRequests()[5], Frame({0x00, 0x20, 0x52, 0x20, 0x29, 0x0A, 0x00, 0xFF}));
    EXPECT_TRUE(CallsTo("DevSeekToTimecode").empty());
    EXPECT_TRUE(CallsTo("DevPause").empty());  // the deck was still already
    EXPECT_TRUE(LinesInOrder({
        "SeekToTimecodeWithTC seek not successful\n",
        "GetAbsoluteTrackNumber 1000  blankFlag 1\n",
        "GetTimecode -> 00:00:03;10\n",
        "CurrentTC = 00:00:03;10 = 100 frames = 1000 tracks\n",
        "    CueTC = 00:00:04;10 = 130 frames = 1300 tracks\n",
        "  deltaFrames = 30\n",
        "  deltaTracks = 300\n",
        "    seekTrack = 1300\n",
        "SeekToTimecodeWithRelATN -> 00:00:04;10\n",
        "DevSeekToTimecode -> 00:00:04;10\n",
    }));
    EXPECT_TRUE(WaitForDeck(DDC_STATE_PLAYBACK_PAUSE, 130));
}

TEST_F(SeekTest, TheTrackSearchAimsTheFrameOffsetEarlyExceptAtFrameZeroAndCountsTwelveTracksAFrameAt25) {
    OpenSession();
    SetTrackOffset(5);
    cardsim::RemoveSubcode(130, 1);
    cardsim::RemoveSubcode(0, 1);
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK_PAUSE);
    Forget();
    EXPECT_EQ(device_->DeviceSeekToTimecode(Frames(130)), DDC_NoError);
    EXPECT_EQ(AVCRequests().back(), TrackSearch(1250));
    EXPECT_TRUE(WaitForDeck(DDC_STATE_PLAYBACK_PAUSE, 125));
    Forget();
    EXPECT_EQ(device_->DeviceSeekToTimecode(Frames(0)), DDC_NoError);
    EXPECT_EQ(AVCRequests().back(), TrackSearch(0));
    EXPECT_TRUE(WaitForDeck(DDC_STATE_PLAYBACK_PAUSE, 0));

    Restart();
    cardsim::BuiltInTapeOptions pal;
    pal.standard = DIO_PAL;
    pal.materialFrames = 3000;
    cardsim::LoadBuiltInTape(pal);
    OpenSession();
    cardsim::RemoveSubcode(130, 1);
    cardsim::ParkDeck(100, DDC_STATE_PLAYBACK_PAUSE);
    Forget();
    EXPECT_EQ(device_->DeviceSeekToTimecode(Frames(130, 25, false)), DDC_NoError);
    ASSERT_FALSE(AVCRequests().empty());
    EXPECT_EQ(AVCRequests().back(), TrackSearch(1200 + 360));
    EXPECT_TRUE(WaitForDeck(DDC_STATE_PLAYBACK_PAUSE, 130));
}

}  // namespace
