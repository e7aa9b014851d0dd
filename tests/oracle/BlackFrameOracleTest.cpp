// The library's generated frames decode in FFmpeg without complaint: black to black,
// the test pattern to its bars and marker.
#include "OracleSupport.h"

#include "digitalio/DV25Timecode.h"
#include "digitalio/DVFrame.h"
#include "hostcore/Timecode.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Picture {
    int width = 720, height = 0;
    int chromaStepX = 1, chromaStepY = 1;
    std::vector<uint8_t> planes;
    int Y(int x, int y) const { return planes[static_cast<size_t>(y) * width + x]; }
    int Chroma(int plane, int x, int y) const {
        const int cw = width / chromaStepX, ch = height / chromaStepY;
        const size_t base = static_cast<size_t>(width) * height + static_cast<size_t>(plane) * cw * ch;
        return planes[base + static_cast<size_t>(y / chromaStepY) * cw + x / chromaStepX];
    }
};

// Lines of FFmpeg's warnings other than the demuxer's note that a raw DV file's
// duration is estimated.
std::string Complaints(const std::string& errors) {
    std::istringstream lines(errors);
    std::string line, out;
    while (std::getline(lines, line)) {
        if (line.find("Estimating duration from bitrate") == std::string::npos) out += line + "\n";
    }
    return out;
}

// Writes one generated frame and decodes it with FFmpeg in its native chroma format.
Picture Decode(const unsigned char* frame, DIO_VideoFormat standard) {
    const bool pal = standard == DIO_PAL;
    oracle::ScratchDir dir;
    const std::string dv = dir.File("frame.dv"), raw = dir.File("frame.yuv");
    oracle::WriteBytes(dv, std::vector<uint8_t>(frame, frame + (pal ? kDVFrameSizePAL : kDVFrameSizeNTSC)));
    EXPECT_EQ(oracle::Output("ffprobe -v error -show_entries stream=codec_name,width,height,pix_fmt -of csv=p=0 "
                             "-select_streams v:0 '" + dv + "'"),
              pal ? "dvvideo,720,576,yuv420p" : "dvvideo,720,480,yuv411p");
    std::string errors;
    EXPECT_EQ(oracle::Run("ffmpeg -nostdin -v warning -i '" + dv + "' -f rawvideo -y '" + raw + "'", &errors), 0);
    EXPECT_EQ(Complaints(errors), "");
    Picture p;
    p.height = pal ? 576 : 480;
    p.chromaStepX = pal ? 2 : 4;
    p.chromaStepY = pal ? 2 : 1;
    p.planes = oracle::ReadBytes(raw);
    EXPECT_EQ(p.planes.size(), static_cast<size_t>(720) * p.height * 3 / 2);
    return p;
}

TEST(GeneratedFrameOracle, BlackDecodesToBlackInBothStandards) {
    REQUIRE_FFMPEG();
    for (DIO_VideoFormat standard : {DIO_NTSC, DIO_PAL}) {
        SCOPED_TRACE(standard == DIO_PAL ? "625/50" : "525/60");
        std::unique_ptr<unsigned char[]> frame(DVFrame().GenBlackFrame(standard));
        const Picture p = Decode(frame.get(), standard);
        const size_t luma = static_cast<size_t>(720) * p.height;
        ASSERT_EQ(p.planes.size(), luma * 3 / 2);
        size_t wrong = 0;
        for (size_t i = 0; i < p.planes.size(); ++i) wrong += p.planes[i] != (i < luma ? 16 : 128) ? 1 : 0;
        EXPECT_EQ(wrong, 0u);
    }
}

TEST(GeneratedFrameOracle, TestPatternDecodesToBarsAndMarker) {
    REQUIRE_FFMPEG();
    const int bars[7][3] = {{180, 128, 128}, {162, 44, 142}, {131, 156, 44}, {112, 72, 58},
                            {84, 184, 198},  {65, 100, 212}, {35, 212, 114}};
    for (DIO_VideoFormat standard : {DIO_NTSC, DIO_PAL}) {
        SCOPED_TRACE(standard == DIO_PAL ? "625/50" : "525/60");
        std::unique_ptr<unsigned char[]> frame(DVFrame().GenTestPatternFrame(standard, 30));
        // The pattern carries no timecode of its own; a deck stamps its tape position.
        const timecodeDesc_t desc = standard == DIO_PAL ? TCCreateDesc(0, 25) : TCCreateDesc(1, 30);
        ASSERT_TRUE(DV25Timecode().InsertTimecode(frame.get(), TCCreateDur(30, &desc), standard, false));
        const Picture p = Decode(frame.get(), standard);
        if (p.planes.size() != static_cast<size_t>(720) * p.height * 3 / 2) continue;
        for (int bar = 0; bar < 7; ++bar) {
            // The middle of each bar, where macroblock edges cannot blur it.
            const int x = (720 * bar + 360) / 7, y = p.height / 3;
            EXPECT_EQ(p.Y(x, y), bars[bar][0]) << "bar " << bar;
            EXPECT_EQ(p.Chroma(0, x, y), bars[bar][1]) << "bar " << bar;
            EXPECT_EQ(p.Chroma(1, x, y), bars[bar][2]) << "bar " << bar;
        }
        // Frame 30: the marker covers columns 240..255 of the bottom 48 lines.
        const int y = p.height - 20;
        for (int x = 0; x < 720; x += 4) {
            EXPECT_EQ(p.Y(x, y), x >= 240 && x < 256 ? 235 : 16) << "column " << x;
        }
    }
}

}  // namespace
