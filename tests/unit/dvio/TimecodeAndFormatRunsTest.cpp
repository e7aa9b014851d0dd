// What runs of frames show: timecode runs and breaks, format runs, frames without
// timecode or audio.
#include "TimecodeAndFormatRuns.h"
#include "InterfaceValueText.h"

#include <gtest/gtest.h>

namespace {

DvFrameFacts Ntsc(int seconds, int frames) {
    DvFrameFacts facts;
    facts.standard = DIO_NTSC;
    facts.hasTimecode = true;
    facts.dropFrame = true;
    facts.timecode = {1, 0, static_cast<ULONG>(seconds), static_cast<ULONG>(frames)};
    facts.audioReadable = true;
    facts.audioRate = DIO_Audio48000;
    facts.audioChannels = 2;
    facts.audioBits = 16;
    facts.samples = 1602;
    return facts;
}

TEST(IndexRanges, MergesNeighboursAndShortensLongLists) {
    IndexRanges ranges;
    for (int64_t i : {3, 4, 5, 9, 11, 12}) ranges.Add(i);
    EXPECT_EQ(ranges.Count(), 6);
    EXPECT_EQ(ranges.Text(), "3-5, 9, 11-12");
    EXPECT_EQ(ranges.Text(2), "3-5, 9 and 1 more");
    EXPECT_EQ(ranges.ToJson().Dump(), "[[3,5],[9,9],[11,12]]");
}

TEST(TimecodeTrack, RunsBreakWhereTheTimecodeDoesNotRunOn) {
    TimecodeTrack track;
    int64_t index = 0;
    track.Add(index++, Ntsc(0, 28));
    track.Add(index++, Ntsc(0, 29));
    track.Add(index++, Ntsc(1, 0));
    DvFrameFacts missing = Ntsc(0, 0);
    missing.hasTimecode = false;
    track.Add(index++, missing);  // 01:00:01;01 would be here: no break by itself
    track.Add(index++, Ntsc(1, 2));
    track.Add(index++, Ntsc(5, 0));  // a jump
    // A timecode that stands still for a run of frames is one finding, not a break
    // per frame; the tape runs on after it.
    for (int repeat = 0; repeat < 18; ++repeat) track.Add(index++, Ntsc(5, 0));
    track.Add(index++, Ntsc(5, 1));

    ASSERT_EQ(track.Runs().size(), 2u);
    EXPECT_EQ(track.Runs()[0].firstFrame, 0);
    EXPECT_EQ(track.Runs()[0].lastFrame, 4);
    EXPECT_EQ(TimecodeText(track.Runs()[0].last), "01:00:01;02");
    ASSERT_EQ(track.Breaks().size(), 1u);
    EXPECT_EQ(track.Breaks()[0].frame, 5);
    EXPECT_EQ(TimecodeText(track.Breaks()[0].before), "01:00:01;02");
    EXPECT_EQ(TimecodeText(track.Breaks()[0].after), "01:00:05;00");
    ASSERT_EQ(track.Repeats().size(), 1u);
    EXPECT_EQ(RepeatsJson(track).Dump(), R"([{"first_frame":6,"last_frame":23,"timecode":"01:00:05;00"}])");
    EXPECT_EQ(TimecodeText(track.First()), "01:00:00;28");
    EXPECT_EQ(TimecodeText(track.Last()), "01:00:05;01");
    EXPECT_EQ(track.Missing().Text(), "3");
    EXPECT_EQ(BreaksJson(track).Dump(), R"([{"frame":5,"before":"01:00:01;02","after":"01:00:05;00"}])");

    // 01:01:00;02 follows 01:00:59;29 in drop-frame counting: no break.
    TimecodeTrack minute;
    DvFrameFacts before = Ntsc(59, 29), after = Ntsc(0, 2);
    before.timecode.minutes = 0;
    after.timecode.minutes = 1;
    minute.Add(0, before);
    minute.Add(1, after);
    EXPECT_TRUE(minute.Breaks().empty());
    EXPECT_FALSE(TimecodeTrack().HasAny());
}

TEST(FormatTrack, ChangesAreRunsAndUnreadableAudioKeepsTheFormat) {
    FormatTrack track;
    DvFrameFacts frame = Ntsc(0, 0);
    track.Add(0, frame);
    DvFrameFacts damaged = frame;
    damaged.audioReadable = false;
    track.Add(1, damaged);
    track.Add(2, frame);
    DvFrameFacts rate32 = frame;
    rate32.audioRate = DIO_Audio32000;
    rate32.audioBits = 12;
    rate32.audioChannels = 4;
    track.Add(3, rate32);
    DvFrameFacts pal = frame;
    pal.standard = DIO_PAL;
    track.Add(4, pal);

    ASSERT_EQ(track.Runs().size(), 3u);
    EXPECT_EQ(track.Changes(), 2u);
    EXPECT_EQ(track.Runs()[0].lastFrame, 2);
    EXPECT_EQ(track.Runs()[0].format.Text(), "NTSC, 48000 Hz 16-bit, 2 channels");
    EXPECT_EQ(track.Runs()[1].format.Text(), "NTSC, 32000 Hz 12-bit, 4 channels");
    EXPECT_EQ(TimecodeText(track.Runs()[1].firstTimecode), "01:00:00;00");
    EXPECT_EQ(track.Runs()[2].format.standard, DIO_PAL);
    EXPECT_EQ(track.WithoutAudio().Text(), "1");
    EXPECT_EQ(FormatRunsJson(track).Dump(),
              R"([{"standard":"NTSC","sample_rate":48000,"bits":16,"channels":2,"first_frame":0,"last_frame":2,)"
              R"("first_timecode":"01:00:00;00"},)"
              R"({"standard":"NTSC","sample_rate":32000,"bits":12,"channels":4,"first_frame":3,"last_frame":3,)"
              R"("first_timecode":"01:00:00;00"},)"
              R"({"standard":"PAL","sample_rate":48000,"bits":16,"channels":2,"first_frame":4,"last_frame":4,)"
              R"("first_timecode":"01:00:00:00"}])");
}

}  // namespace
