// Raw DV files read frame by frame, each sized by its own header.
#include "DvFile.h"
#include "DvioTestSupport.h"
#include "TestTape.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> TapeFrame(DIO_VideoFormat standard, int64_t index) {
    TestTapeOptions options;
    options.standard = standard;
    const timecodeDesc_t desc = standard == DIO_PAL ? TCCreateDesc(0, 25) : TCCreateDesc(1, 30);
    options.start = TCCreateDur(0, &desc);
    std::vector<uint8_t> frame;
    EXPECT_TRUE(BuildTestTapeFrame(options, index, &frame));
    return frame;
}

TEST(DvFile, HeaderStandardReadsTheDsfBitOfAHeaderBlockOnly) {
    const std::vector<uint8_t> ntsc = TapeFrame(DIO_NTSC, 0);
    const std::vector<uint8_t> pal = TapeFrame(DIO_PAL, 0);
    EXPECT_EQ(HeaderStandard(ntsc.data(), ntsc.size()), DIO_NTSC);
    EXPECT_EQ(HeaderStandard(pal.data(), pal.size()), DIO_PAL);
    EXPECT_EQ(HeaderStandard(ntsc.data(), 79), DIO_NoVideoFormat);
    EXPECT_EQ(HeaderStandard(nullptr, 80), DIO_NoVideoFormat);
    // The second block of a frame (subcode) is no header; nor is a header of sequence 1.
    EXPECT_EQ(HeaderStandard(ntsc.data() + 80, 80), DIO_NoVideoFormat);
    EXPECT_EQ(HeaderStandard(ntsc.data() + 12000, 80), DIO_NoVideoFormat);
    EXPECT_EQ(FrameSizeOf(DIO_NoVideoFormat), 0u);
}

TEST(DvFile, FramesOfBothStandardsComeBackWholeAndInOrder) {
    dviotest::Scratch dir;
    const std::string path = dir.File("mixed.dv");
    const std::vector<uint8_t> a = TapeFrame(DIO_NTSC, 3), b = TapeFrame(DIO_PAL, 4), c = TapeFrame(DIO_NTSC, 5);
    DvFileWriter writer;
    std::string error;
    ASSERT_TRUE(writer.Open(path, &error)) << error;
    for (const auto* frame : {&a, &b, &c}) ASSERT_TRUE(writer.Write(frame->data(), frame->size(), &error));
    EXPECT_EQ(writer.Frames(), 3);
    ASSERT_TRUE(writer.Close(&error)) << error;

    DvFileReader reader;
    ASSERT_TRUE(reader.Open(path, &error)) << error;
    std::vector<uint8_t> frame;
    for (const auto* expected : {&a, &b, &c}) {
        ASSERT_EQ(reader.Next(&frame), DvFileReader::Result::Frame);
        EXPECT_EQ(frame, *expected);
    }
    EXPECT_EQ(reader.Next(&frame), DvFileReader::Result::End);
    EXPECT_EQ(reader.Index(), 3);
    EXPECT_EQ(reader.Offset(), 120000u + 144000u + 120000u);
}

TEST(DvFile, ATruncatedOrForeignFileIsReportedWhereItGoesWrong) {
    dviotest::Scratch dir;
    std::vector<uint8_t> bytes = TapeFrame(DIO_NTSC, 0);
    const std::vector<uint8_t> second = TapeFrame(DIO_NTSC, 1);
    bytes.insert(bytes.end(), second.begin(), second.begin() + 5000);
    dviotest::WriteBytes(dir.File("short.dv"), bytes);
    DvFileReader reader;
    std::string error;
    ASSERT_TRUE(reader.Open(dir.File("short.dv"), &error));
    std::vector<uint8_t> frame;
    EXPECT_EQ(reader.Next(&frame), DvFileReader::Result::Frame);
    EXPECT_EQ(reader.Next(&frame), DvFileReader::Result::Truncated);
    EXPECT_EQ(reader.Problem(), dir.File("short.dv") + " ends 5000 bytes into frame 1 of 120000 bytes (byte offset 120000)");

    // The sentences for a foreign or a missing file are checked where dvio prints them.
    DvFileReader missing;
    EXPECT_FALSE(missing.Open(dir.File("none.dv"), &error));
    EXPECT_EQ(missing.Next(&frame), DvFileReader::Result::ReadError);

    DvFileWriter nowhere;
    EXPECT_FALSE(nowhere.Open(dir.File("no/such/folder.dv"), &error));
    EXPECT_EQ(error.rfind("cannot write ", 0), 0u);
    EXPECT_FALSE(nowhere.Write(bytes.data(), 10, &error));
}

}  // namespace
