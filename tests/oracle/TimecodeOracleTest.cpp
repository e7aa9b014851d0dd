// The timecode FFmpeg writes is the timecode the library reads, and the timecode the
// library inserts is what FFmpeg reports.
#include "OracleSupport.h"

#include "digitalio/DV25Timecode.h"
#include "digitalio/DVFrame.h"
#include "hostcore/Timecode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string Label(const TimeCode& r, bool dropFrame) {
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u%c%02u", static_cast<unsigned>(r.hours),
                  static_cast<unsigned>(r.minutes), static_cast<unsigned>(r.seconds), dropFrame ? ';' : ':',
                  static_cast<unsigned>(r.frames));
    return text;
}

std::string Label(const timecode_t& tc) {
    char text[32];
    TCToStr(tc, text, sizeof text, 0);
    return text;
}

void ExpectFfmpegTimecodeRead(bool pal, const char* start, short h, short m, short s, short f) {
    SCOPED_TRACE(start);
    oracle::ScratchDir dir;
    const std::string dv = dir.File("tc.dv");
    std::string errors;
    ASSERT_TRUE(oracle::FfmpegDv(dv, pal ? DIO_PAL : DIO_NTSC, "color=black:d=10", "sine=frequency=1000:sample_rate=48000:d=11",
                                 std::string("-timecode '") + start + "'", &errors))
        << errors;
    const auto frames = oracle::SplitFrames(oracle::ReadBytes(dv));
    ASSERT_GE(frames.size(), 250u);
    const timecodeDesc_t desc = pal ? TCCreateDesc(0, 25) : TCCreateDesc(1, 30);
    const timecode_t first = TCConstruct(0, h, m, s, f, &desc);
    DV25Timecode reader;
    for (size_t i = 0; i < frames.size(); ++i) {
        unsigned char* frame = const_cast<unsigned char*>(frames[i].data());
        TimeCode record;
        bool dropFrame = false;
        ASSERT_TRUE(reader.GetTimecode(frame, &record, &dropFrame)) << "frame " << i;
        const timecode_t expected = TCAddModDay(first, static_cast<LONG>(i));
        ASSERT_EQ(Label(record, dropFrame), Label(expected)) << "frame " << i;
        timecode_t wanted = expected;
        ASSERT_TRUE(reader.LookForTimeCode(frame, &wanted, 1)) << "frame " << i;
        timecode_t next = TCAdd(expected, 1);
        ASSERT_FALSE(reader.LookForTimeCode(frame, &next, 1)) << "frame " << i;
    }
}

TEST(TimecodeOracle, LibraryReadsWhatFfmpegWrote) {
    REQUIRE_FFMPEG();
    // Across a dropped minute start, and across midnight.
    ExpectFfmpegTimecodeRead(false, "00:00:55;00", 0, 0, 55, 0);
    ExpectFfmpegTimecodeRead(true, "23:59:55:00", 23, 59, 55, 0);
}

TEST(TimecodeOracle, FfmpegReportsWhatTheLibraryInserted) {
    REQUIRE_FFMPEG();
    struct Case {
        DIO_VideoFormat standard;
        timecodeDesc_t desc;
        short h, m, s, f;
        const char* text;
    };
    const Case cases[] = {
        {DIO_NTSC, TCCreateDesc(1, 30), 1, 2, 3, 4, "01:02:03;04"},
        {DIO_NTSC, TCCreateDesc(1, 30), 0, 10, 0, 0, "00:10:00;00"},
        {DIO_NTSC, TCCreateDesc(0, 30), 10, 20, 30, 29, "10:20:30:29"},
        {DIO_PAL, TCCreateDesc(0, 25), 23, 59, 59, 24, "23:59:59:24"},
    };
    DVFrame generator;
    DV25Timecode writer;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::unique_ptr<unsigned char[]> frame(generator.GenBlackFrame(c.standard));
        // Start from a frame without timecode so that the packs are created.
        const size_t size = c.standard == DIO_PAL ? kDVFrameSizePAL : kDVFrameSizeNTSC;
        for (size_t s = 0; s < size; s += 12000) std::memset(frame.get() + s + 80, 0xFF, 160);
        ASSERT_TRUE(writer.InsertTimecode(frame.get(), TCConstruct(0, c.h, c.m, c.s, c.f, &c.desc), c.standard, false));
        oracle::ScratchDir dir;
        oracle::WriteBytes(dir.File("one.dv"), std::vector<uint8_t>(frame.get(), frame.get() + size));
        EXPECT_EQ(oracle::Probe(dir.File("one.dv"), "format_tags=timecode"), std::string("TAG:timecode=") + c.text);
    }
}

}  // namespace
