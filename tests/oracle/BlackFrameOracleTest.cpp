// The library's black frames decode in FFmpeg without complaint, to black.
#include "OracleSupport.h"

#include "digitalio/DVFrame.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {


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

// Writes one generated frame and decodes it with FFmpeg in its native chroma format:
// the planes one after another.
std::vector<uint8_t> Decode(const unsigned char* frame, DIO_VideoFormat standard) {
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
    return oracle::ReadBytes(raw);
}

TEST(GeneratedFrameOracle, BlackDecodesToBlackInBothStandards) {
    REQUIRE_FFMPEG();
    for (DIO_VideoFormat standard : {DIO_NTSC, DIO_PAL}) {
        SCOPED_TRACE(standard == DIO_PAL ? "625/50" : "525/60");
        std::unique_ptr<unsigned char[]> frame(DVFrame().GenBlackFrame(standard));
        const std::vector<uint8_t> planes = Decode(frame.get(), standard);
        const size_t luma = static_cast<size_t>(720) * (standard == DIO_PAL ? 576 : 480);
        ASSERT_EQ(planes.size(), luma * 3 / 2);
        size_t wrong = 0;
        for (size_t i = 0; i < planes.size(); ++i) wrong += planes[i] != (i < luma ? 16 : 128) ? 1 : 0;
        EXPECT_EQ(wrong, 0u);
    }
}

}  // namespace
