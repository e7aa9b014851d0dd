// The error names and the shared log lines of deck control, entry by entry. Raw state
// names are checked through the device in DeckStateTest, card error lines in SessionTest.
#include "KordexDDC.h"
#include "device/DeviceLog.h"
#include "Win32DebugSink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace dv1394;

namespace {

TEST(DeckNamesTest, ErrorNamesCoverTheTableAndNameAnythingElse) {
    const char* const names[] = {
        "No Error",       "No Device",        "No H/W",         "Device Busy",
        "Device In Transition", "Driver Error", "Command Not Implemented", "Command Rejected",
        "Command Pending", "Command Timeout", "Tape Protected", "Tape Ejected",
        "Device Not Supported", "No Timecode", "Data Too Long", "Invalid Parameter",
        "Hardware Error", "No Device Handle", "No Event Handle", "Unknown Error",
    };
    for (LONG e = 0; e < 20; ++e) EXPECT_EQ(DDCErrorName(e), names[e]) << e;
    EXPECT_EQ(DDCErrorName(20), "Unknown Error 20");
    EXPECT_EQ(DDCErrorName(25), "Unknown Error 25");
    EXPECT_EQ(DDCErrorName(-1), "Unknown Error -1");
}

TEST(DeckLogTest, EachHelperWritesItsOneLine) {
    win32::DebugCapture log;
    LogDDCError("DevPlay", 0);
    LogDDCError("DevPlay", 5);
    LogDDCError("DevPlay", 25);
    LogDDCShuttle("DevShuttle", -40, 0);
    LogDDCShuttle("DevShuttle", 81, 4);
    LogDDCState("DevGetState", DDC_STATE_CUE, 0);
    LogDDCState("DevGetState", 99, 0);
    LogDDCState("DevGetState", DDC_STATE_INVALID, 25);
    LogDDCState("DevGetState", DDC_STATE_STOP, 4);
    const timecodeDesc_t drop = TCCreateDesc(1, 30);
    const timecodeDesc_t plain = TCCreateDesc(0, 25);
    LogDDCTimecode("DevGetTimecode", TCConstruct(0, 1, 2, 3, 4, &drop), 0);
    LogDDCTimecode("DevGetTimecode", TCConstruct(0, 23, 59, 59, 24, &plain), 0);
    LogDDCTimecode("DevGetTimecode", TCCreateDur(kTCEmptyFrameCount, &drop), 13);
    LogDDCTimecode("DevGetTimecode", TCConstruct(0, 1, 2, 3, 4, &drop), 5);
    const std::vector<std::string> expected = {
        "DevPlay  error -> No Error\n",
        "DevPlay  error -> Driver Error\n",
        "DevPlay  error -> Unknown Error 25\n",
        "DevShuttle  speed -> -40  error -> No Error\n",
        "DevShuttle  speed -> 81  error -> Device In Transition\n",
        "DevGetState  -> CUE\n",
        "DevGetState  -> UNKNOWN 99\n",
        "DevGetState  -> Unknown Error 25\n",
        "DevGetState  -> Device In Transition\n",
        "DevGetTimecode -> 01:02:03;04\n",
        "DevGetTimecode -> 23:59:59:24\n",
        "DevGetTimecode -> NO TIMECODE\n",
        "DevGetTimecode  error -> Driver Error\n",
    };
    EXPECT_EQ(log.Entries(), expected);
}

TEST(DeckLogTest, AVCBytesAreDumpedInBufferOrderThenALineEnd) {
    win32::DebugCapture log;
    const unsigned char bytes[] = {0x71, 0x51, 0x20, 0x01, 0xff, 0x0a};
    DumpAVCBytes(bytes, sizeof bytes);
    DumpAVCBytes(bytes, 0);
    DumpAVCBytes(nullptr, 4);
    unsigned char many[80];
    for (size_t i = 0; i < sizeof many; ++i) many[i] = static_cast<unsigned char>(i);
    DumpAVCBytes(many, sizeof many);  // one 64-byte buffer at most
    const std::vector<std::string> entries = log.Entries();
    ASSERT_EQ(entries.size(), 8u);
    EXPECT_EQ(entries[0], "71 51 20 01 ff 0a ");
    EXPECT_EQ(entries[1], "\n");
    EXPECT_EQ(entries[2], "");
    EXPECT_EQ(entries[4], "");
    EXPECT_EQ(entries[6].size(), 64u * 3);
    EXPECT_EQ(entries[6].substr(0, 12), "00 01 02 03 ");
    EXPECT_EQ(entries[6].substr(63 * 3), "3f ");
    EXPECT_EQ(entries[7], "\n");
}

}  // namespace
