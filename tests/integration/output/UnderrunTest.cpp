// Rings that run dry during a print: what is counted, and what the card gets instead.
#include "PrintFixture.h"

#include "sim/SimControl.h"

#include <algorithm>

namespace print_test {
namespace {

struct DryCase {
    const char* name;
    LONG videoExpected, videoGiven;  // expected 0: the stream is not prepared
    LONG audioExpected, audioGiven;
    bool videoUnderruns, audioUnderruns;
    bool blackFill;  // black frames keep reaching the card
};

class UnderrunTest : public PrintFixture, public ::testing::WithParamInterface<DryCase> {};

TEST_P(UnderrunTest, DryRingsAreCountedOnlyWhileFramesAreDue) {
    const DryCase& c = GetParam();
    const int streams = (c.videoExpected != 0 ? kVideo : 0) | (c.audioExpected != 0 ? kAudio : 0);
    OpenSession();
    cardsim::UseManualClock(true);
    if (streams & kVideo) PrepareVideo(10, c.videoExpected);
    if (streams & kAudio) PrepareAudio(10, c.audioExpected);
    GivePictures(c.videoGiven);
    for (int channel = 0; channel < 2 && (streams & kAudio); ++channel)
        GiveAudio(channel, std::vector<int16_t>(SamplesOfFrames(c.audioGiven), 5));
    Do(streams, Step::Arm);
    StartCardClock();
    Do(streams, Step::Start);

    // Every frame there was is played after the lead-in; then the record loop asks for
    // more until the card was polled twenty more times, or all frames were sent.
    const LONG given = streams == kAudio ? c.audioGiven
                       : streams == kVideo ? c.videoGiven
                                           : std::min(c.videoGiven, c.audioGiven);
    ASSERT_TRUE(WaitForPlayed(given + 1));
    const size_t polls = CallsTo("PdvGetPlaybackFrame").size();
    ASSERT_TRUE(WaitUntil([&] {
        return CallsTo("PdvGetPlaybackFrame").size() >= polls + 20 ||
               cardsim::GetCardCounters().playedFrames > std::max(c.videoExpected, c.audioExpected);
    }));
    EXPECT_EQ(ControlLong(kControlVideoOutUnderruns) > 0, c.videoUnderruns);
    EXPECT_EQ(ControlLong(kControlAudioOutUnderruns) > 0, c.audioUnderruns);
    EXPECT_EQ(cardsim::GetCardCounters().playedFrames > given + 1, c.blackFill);
    Do(streams, Step::Terminate);
}

INSTANTIATE_TEST_SUITE_P(
    Rings, UnderrunTest,
    ::testing::Values(DryCase{"VideoShortOfItsCount", 10, 5, 0, 0, true, false, false},
                      // One picture held over the audio: once it was taken, no video underrun.
                      DryCase{"VideoHeldOverAudio", 1, 1, 10, 3, false, false, false},
                      DryCase{"AudioOnlyFillsWithBlack", 0, 0, 10, 3, false, true, true}),
    [](const ::testing::TestParamInfo<DryCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace print_test
