// Layouts the host sees, and the host's AV/C record.
#include "interface/DigitalDevice.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace {

static_assert(sizeof(LONG) == 4 && sizeof(ULONG) == 4, "the host's long is 32 bits");
static_assert(sizeof(timecodeDesc_t) == 12, "12-byte timecode description");
static_assert(sizeof(timecode_t) == 16 && offsetof(timecode_t, frameCount) == 12, "description, then the count");
static_assert(sizeof(TimecodeDiscontinuity) == 36, "count and two timecodes");
static_assert(offsetof(TimecodeDiscontinuity, nCount) == 0 && offsetof(TimecodeDiscontinuity, tcBefore) == 4 &&
                  offsetof(TimecodeDiscontinuity, tcAfter) == 20,
              "count, before, after");
static_assert(sizeof(VDMDeviceState) == 4 && sizeof(DDCError_t) == 4 && sizeof(TransportState_t) == 4,
              "host enums are 32 bits");

TEST(HostValues, EnumerationsHaveTheHostsNumbers) {
    EXPECT_EQ((std::vector<int>{VDMIdle, VDMPrepared, VDMArmed, VDMRunning, VDMAborted}),
              (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ((std::vector<int>{EventNone, EventPrepare, EventArm, EventStart, EventPause, EventAbort,
                                EventTerminate}),
              (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ((std::vector<int>{DeviceAudioOut, DeviceVideoOut}), (std::vector<int>{0, 1}));
    EXPECT_EQ((std::vector<int>{EditModeNone, EditModeSynchronised, EditModeSynchronisedStopDelay}),
              (std::vector<int>{0, 1, 2}));
    EXPECT_EQ((std::vector<int>{EditStatusRecording, EditStatusIdle}), (std::vector<int>{2, 4}));
    EXPECT_EQ((std::vector<int>{TransportUnknown, TransportStopped, TransportPaused, TransportRecordPaused,
                                TransportPlaying, TransportRecording, TransportEjected, TransportNoDevice,
                                TransportSeeking}),
              (std::vector<int>{0, 1, 2, 3, 4, 41, 42, 44, 46}));
}

TEST(AVCRecord, StartsAsAThreeByteFrameAndGrowsWithItsOperands) {
    AVC command;
    EXPECT_EQ(command.m_nLength, 3);
    EXPECT_EQ(command.m_bResponse, 0);
    EXPECT_EQ(AVC(true).m_bResponse, 1);

    command.SetOperand(4, 0x99);
    EXPECT_EQ(command.m_nLength, 8);
    command.SetOperand(1, 0x55);  // an earlier operand does not shrink the frame
    EXPECT_EQ(command.m_nLength, 8);
    EXPECT_EQ(command.GetOperand(4), 0x99);
    EXPECT_EQ(command.GetOperand(1), 0x55);

    // Out of range: ignored on set, 0 on get, nothing outside the operands touched.
    const AVC before = command;
    command.SetOperand(509, 0x77);
    command.SetOperand(-1, 0x77);
    EXPECT_EQ(0, std::memcmp(&before, &command, sizeof command));
    EXPECT_EQ(command.GetOperand(509), 0);
    EXPECT_EQ(command.GetOperand(-1), 0);
    command.SetOperand(508, 0x01);
    EXPECT_EQ(command.m_nLength, 512);

    command.Reset();
    EXPECT_EQ(command.m_nLength, 3);
    EXPECT_EQ(command.GetOperand(4), 0);
    EXPECT_EQ(command.GetOperand(508), 0);
}

TEST(AVCRecord, PacksIntoBusOrderAndBack) {
    // A STATUS time code query to tape subunit 0: 01 20 51 71 FF FF FF FF.
    AVC command;
    command.m_cCType = 0x01;
    command.m_cResponse = 0x0C;  // ignored: this record is a command
    command.m_nSubunitType = 4;
    command.m_nSubunitID = 0;
    command.m_cOpcode = 0x51;
    const BYTE operands[] = {0x71, 0xFF, 0xFF, 0xFF, 0xFF};
    for (int i = 0; i < 5; ++i) command.SetOperand(i, operands[i]);
    command.Pack();
    const BYTE expected[] = {0x01, 0x20, 0x51, 0x71, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    EXPECT_EQ(0, std::memcmp(command.m_aFrame, expected, sizeof expected));

    // A response packs its response code; type and ID share byte 1 (5 and 3 bits).
    AVC response(true);
    response.m_cCType = 0x01;
    response.m_cResponse = 0x0C;
    response.m_nSubunitType = 0x1F;
    response.m_nSubunitID = 5;
    response.m_cOpcode = 0xDA;
    response.SetOperand(508, 0xEE);
    response.Pack();
    EXPECT_EQ(response.m_aFrame[0], 0x0C);
    EXPECT_EQ(response.m_aFrame[1], 0xFD);
    EXPECT_EQ(response.m_aFrame[2], 0xDA);
    EXPECT_EQ(response.m_aFrame[511], 0xEE);

    AVC received(true);
    std::memcpy(received.m_aFrame, response.m_aFrame, sizeof received.m_aFrame);
    received.Unpack();
    EXPECT_EQ(received.m_cResponse, 0x0C);
    EXPECT_EQ(received.m_nSubunitType, 0x1F);
    EXPECT_EQ(received.m_nSubunitID, 5);
    EXPECT_EQ(received.m_cOpcode, 0xDA);
    EXPECT_EQ(received.GetOperand(508), 0xEE);
    EXPECT_EQ(received.GetOperand(0), 0x00);

    AVC parsed;
    std::memcpy(parsed.m_aFrame, command.m_aFrame, sizeof parsed.m_aFrame);
    parsed.Unpack();
    EXPECT_EQ(parsed.m_cCType, 0x01);
    EXPECT_EQ(parsed.m_nSubunitType, 4);
    EXPECT_EQ(parsed.m_cOpcode, 0x51);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(parsed.GetOperand(i), operands[i]);
}

}  // namespace
