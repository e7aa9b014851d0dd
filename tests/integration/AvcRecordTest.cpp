// The host's AV/C record: operands grow the frame, and fields pack into bus order and
// back.
#include "interface/DigitalDevice.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TEST(AVCRecord, OperandsGrowTheFrameAndOutOfRangeOnesAreIgnored) {
    AVC command;
    EXPECT_EQ(command.m_nLength, 3);
    command.SetOperand(4, 0x99);
    command.SetOperand(1, 0x55);  // an earlier operand does not shrink the frame
    EXPECT_EQ(command.m_nLength, 8);
    const AVC before = command;
    command.SetOperand(509, 0x77);
    command.SetOperand(-1, 0x77);
    EXPECT_EQ(0, std::memcmp(&before, &command, sizeof command));
    EXPECT_EQ(command.GetOperand(-1), 0);
    command.Reset();
    EXPECT_EQ(command.m_nLength, 3);
    EXPECT_EQ(command.GetOperand(4), 0);
}

TEST(AVCRecord, PacksIntoBusOrderAndBack) {
    // A STATUS time code query to tape subunit 0, and a response to subunit 0x1F/5.
    AVC command;
    command.m_cCType = 0x01;
    command.m_cResponse = 0x0C;  // ignored: this record is a command
    command.m_nSubunitType = 4;
    command.m_cOpcode = 0x51;
    for (int i = 0; i < 5; ++i) command.SetOperand(i, i == 0 ? 0x71 : 0xFF);
    command.Pack();
    const BYTE expected[] = {0x01, 0x20, 0x51, 0x71, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    EXPECT_EQ(0, std::memcmp(command.m_aFrame, expected, sizeof expected));

    AVC response(true);
    response.m_cResponse = 0x0C;
    response.m_nSubunitType = 0x1F;
    response.m_nSubunitID = 5;
    response.m_cOpcode = 0xDA;
    response.SetOperand(508, 0xEE);
    response.Pack();
    EXPECT_EQ((std::vector<int>{response.m_aFrame[0], response.m_aFrame[1], response.m_aFrame[511]}),
              (std::vector<int>{0x0C, 0xFD, 0xEE}));
    AVC received(true);
    std::memcpy(received.m_aFrame, response.m_aFrame, sizeof received.m_aFrame);
    received.Unpack();
    EXPECT_EQ((std::vector<int>{received.m_cResponse, received.m_nSubunitType, received.m_nSubunitID,
                                received.m_cOpcode, received.GetOperand(508)}),
              (std::vector<int>{0x0C, 0x1F, 5, 0xDA, 0xEE}));
}

}  // namespace
