// The naming tables and the shared log lines of deck control, entry by entry.
#include "KDXCORE.h"
#include "KordexDDC.h"
#include "deck/deck_log.h"
#include "deck/raw_states.h"
#include "win32_debug_sink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(DeckNamesTest, EveryRawStateHasItsNameAndHostState) {
    struct Row {
        LONG raw;
        const char* name;
        LONG host;
        bool moving;
    };
    const Row rows[] = {
        {0, "MIN", 0, false},          {1, "EJECT", 42, false},         {2, "STOP", 1, false},
        {3, "FAST_FORWARD", 31, true}, {4, "REWIND", 21, true},         {5, "RECORD", 41, false},
        {6, "RECORD_PAUSE", 3, false}, {7, "PLAYBACK", 4, true},        {8, "CUE", 31, true},
        {9, "REVIEW", 21, true},       {10, "PLAYBACK_PAUSE", 2, false}, {11, "FRAME", 24, true},
        {12, "1_5", 10, true},         {13, "x2", 32, true},            {14, "REV_PLAYBACK_PAUSE", 2, false},
        {15, "1_10", 24, true},        {16, "x1", 30, true},            {17, "x20", 37, true},
        {18, "REV_FRAME", 7, true},    {19, "REV_1_10", 7, true},       {20, "REV_1_5", 10, true},
        {21, "REV_x1", 13, true},      {22, "REV_x2", 12, true},        {23, "REV_x20", 7, true},
        {32766, "NO_DEVICE", 44, false}, {65535, "INVALID", 0, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DDCStateName(row.raw), row.name) << row.raw;
        EXPECT_EQ(RawStateToTransportState(row.raw), row.host) << row.raw;
        EXPECT_EQ(IsMovingRawState(row.raw), row.moving) << row.raw;
    }
    for (LONG unknown : {24, 99, 32765, 32767, 65536, -1}) {
        EXPECT_EQ(DDCStateName(unknown), "UNKNOWN " + std::to_string(unknown));
        EXPECT_EQ(RawStateToTransportState(unknown), 0) << unknown;
        EXPECT_FALSE(IsMovingRawState(unknown)) << unknown;
    }
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

TEST(DeckLogTest, CardErrorLines) {
    EXPECT_STREQ(KDXErrorLine(KDX_E_NO_DEVICE_CONNECTED), "KDX_E_NO_DEVICE_CONNECTED\n");
    EXPECT_STREQ(KDXErrorLine(KDX_E_DEV_REJECT_SRV), "KDX_E_DEV_REJECT_SRV\n");
    EXPECT_STREQ(KDXErrorLine(KDX_E_INTERNAL), "KDX_E_INTERNAL\n");
    EXPECT_STREQ(KDXErrorLine(0), "Unknown KDX error\n");
    EXPECT_STREQ(KDXErrorLine(0x80040015u), "Unknown KDX error\n");
}

}  // namespace
