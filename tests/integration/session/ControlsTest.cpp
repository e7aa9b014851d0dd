// The device's control table through the host interface: existence, sizes, defaults,
// reads, writes and the odd ones.
#include "queues/DV1394AudioInput.h"
#include "queues/DV1394VideoInput.h"
#include "device/DefaultFormat.h"
#include "queues/DV1394AudioOutput.h"
#include "queues/DV1394VideoOutput.h"
#include "PluginTestAccess.h"
#include "support/DeviceFixture.h"

#include <cstring>

using namespace dv1394;

namespace {

using Access = PluginTestAccess;

class ControlsTest : public DeviceFixture {};

struct Shape {
    LONG id;
    unsigned char has;
    LONG size;
    unsigned char settable;
};

TEST_F(ControlsTest, TableShapeAndUnknownIds) {
    const Shape table[] = {
        {8, 1, 4, 1},         {18, 1, 4, 0},        {0x10001, 1, 4, 1},   {0x1000b, 1, 4, 0},
        {0x20005, 1, 24, 0},  {0x30001, 1, 4, 1},   {0x70001, 1, 4, 0},   {0xb00001, 1, 4, 0},
        {0xb00002, 1, 0, 0},  {0xb00003, 1, 16, 1}, {0xb00004, 1, 4, 1},  {0xb00005, 0, 0, 0},
        {0xb00007, 0, 0, 0},  {0xb00008, 1, 16, 1}, {0xb00009, 1, 0, 0},  {0xb0000a, 1, 8, 0},
        {0xb0000b, 1, 0, 0},  {0xb0000c, 1, 0, 0},  {0xb10001, 1, 4, 0},  {0xb10002, 1, 16, 0},
        {0xb10003, 1, 4, 0},  {0xb10005, 1, 4, 0},  {0xb10006, 1, 36, 0}, {0xb20001, 1, 4, 0},
        {0xb20003, 1, 4, 1},  {0xb20005, 1, 4, 0},  {0xb20006, 1, 1, 1},
    };
    for (const Shape& shape : table) {
        EXPECT_EQ(device_->HasControl(shape.id), shape.has) << std::hex << shape.id;
        EXPECT_EQ(device_->GetControlSize(shape.id), shape.size) << std::hex << shape.id;
        EXPECT_EQ(device_->CanSetControl(shape.id), shape.settable) << std::hex << shape.id;
        EXPECT_EQ(device_->GetControlRange(shape.id, nullptr, nullptr), 0);
    }
    for (LONG unknown : {0, 1, 0xb00006, 0xb10004, 0xb20002, 0xb20004, -1}) {
        unsigned char buffer[64];
        std::memset(buffer, 0xAB, sizeof buffer);
        EXPECT_EQ(device_->HasControl(unknown), 0);
        EXPECT_EQ(device_->GetControlSize(unknown), 0);
        EXPECT_EQ(device_->CanSetControl(unknown), 0);
        EXPECT_EQ(device_->GetControl(unknown, buffer), 0);
        EXPECT_EQ(device_->GetControlDefault(unknown, buffer), 0);
        EXPECT_EQ(device_->SetControl(unknown, buffer), 0);
        for (unsigned char byte : buffer) ASSERT_EQ(byte, 0xAB) << "written for " << std::hex << unknown;
    }
    // A null buffer is refused, never written through.
    EXPECT_EQ(device_->GetControl(0x10001, nullptr), 0);
    EXPECT_EQ(device_->SetControl(0xb00003, nullptr), 0);
    EXPECT_TRUE(CardCalls().empty());
}

TEST_F(ControlsTest, DefaultsAndStoredValues) {
    LONG value = -1;
    for (const auto& [id, expected] : {std::pair<LONG, LONG>{18, 5}, {0x10001, 0x44562f43}, {0x30001, 120000}}) {
        EXPECT_EQ(device_->GetControlDefault(id, &value), 1) << std::hex << id;
        EXPECT_EQ(value, expected) << std::hex << id;
    }
    unsigned char record[24];
    std::memset(record, 0xAB, sizeof record);
    ASSERT_EQ(device_->GetControlDefault(0x20005, record), 1);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(record[i], 0);
    EXPECT_EQ(record[16], 0xAB);  // the record is 16 bytes although the size says 24
    EXPECT_EQ(device_->GetControlDefault(0xb10005, &value), 0);  // no default
    // The seek switches have size 0: their default is known and nothing is written.
    for (LONG id : {0xb0000b, 0xb0000c}) {
        value = -1;
        EXPECT_EQ(device_->GetControlDefault(id, &value), 1) << std::hex << id;
        EXPECT_EQ(value, -1) << std::hex << id;
    }
    unsigned char locked = 0;
    ASSERT_EQ(device_->GetControlDefault(0xb20006, &locked), 1);
    EXPECT_EQ(locked, 1);
    timecode_t start{};
    ASSERT_EQ(device_->GetControlDefault(0xb00003, &start), 1);
    EXPECT_TRUE(TCIsEmpty(start));
    DIOFormat roomy(3), small(2);
    EXPECT_EQ(device_->GetControlDefault(0xb00008, &roomy), 1);
    EXPECT_EQ(roomy.NumParameters(), 4);
    EXPECT_EQ(device_->GetControlDefault(0xb00008, &small), 0);
    EXPECT_EQ(small.NumParameters(), 0);

    DWORD fourCC = 0x31637664;
    EXPECT_EQ(device_->SetControl(0x10001, &fourCC), 1);
    DWORD readFourCC = 0;
    EXPECT_EQ(device_->GetControl(0x10001, &readFourCC), 1);
    EXPECT_EQ(readFourCC, fourCC);
    LONG control30001 = 144000;
    EXPECT_EQ(device_->SetControl(0x30001, &control30001), 1);
    EXPECT_EQ(device_->GetControl(0x30001, &value), 1);
    EXPECT_EQ(value, 144000);
    LONG pair[2] = {-1, -1};
    EXPECT_EQ(device_->GetControl(0xb0000a, pair), 1);
    EXPECT_EQ(pair[0], 1);
    EXPECT_EQ(pair[1], 0);

    const timecodeDesc_t desc = TCCreateDesc(1, 30);
    timecode_t wanted = TCConstruct(0, 1, 2, 3, 4, &desc);
    EXPECT_EQ(device_->SetControl(0xb00003, &wanted), 1);
    EXPECT_TRUE(Access::m_bStartTimecodeSet(*device_).load());
    timecode_t read{};
    EXPECT_EQ(device_->GetControl(0xb00003, &read), 1);
    EXPECT_EQ(std::memcmp(&read, &wanted, sizeof read), 0);
}

TEST_F(ControlsTest, OddControls) {
    // 0xb00004 accepts only 1 and always reads 1.
    LONG one = 1, two = 2, value = 0;
    EXPECT_EQ(device_->SetControl(0xb00004, &one), 1);
    EXPECT_EQ(device_->SetControl(0xb00004, &two), 0);
    EXPECT_EQ(device_->GetControl(0xb00004, &value), 1);
    EXPECT_EQ(value, 1);

    // 0xb0000b and 0xb0000c answer through the result and write nothing.
    unsigned char seekOnly = 1;
    EXPECT_EQ(device_->SetControl(0xb0000b, &seekOnly), 0);
    LONG untouched = 0x5A5A5A5A;
    EXPECT_EQ(device_->GetControl(0xb0000b, &untouched), 1);
    EXPECT_EQ(untouched, 0x5A5A5A5A);
    LONG offset = 3;
    EXPECT_EQ(device_->SetControl(0xb0000c, &offset), 0);
    EXPECT_EQ(device_->GetControl(0xb0000c, &untouched), 3);
    EXPECT_EQ(Access::m_nATNFrameOffset(*device_), 3);

    // 0xb00002: size 0, yet the error text comes back whole.
    char text[256];
    EXPECT_EQ(device_->GetControl(0xb00002, text), 0);
    EXPECT_STREQ(text, "");
    std::strcpy(Access::m_szLastError(*device_), "DV input device error");
    EXPECT_EQ(device_->GetControl(0xb00002, text), 1);
    EXPECT_STREQ(text, "DV input device error");

    // Trace switches: three bits, higher bits ignored.
    LONG bits = 0x7 | 0x100;
    EXPECT_EQ(device_->SetControl(0xb00005, &bits), 1);
    EXPECT_TRUE(Access::m_bTraceDeckControl(*device_).load());
    EXPECT_TRUE(Access::m_bTraceCapture(*device_).load());
    EXPECT_TRUE(Access::m_bTracePlayback(*device_).load());
    bits = 2;
    device_->SetControl(0xb00005, &bits);
    EXPECT_FALSE(Access::m_bTraceDeckControl(*device_).load());
    EXPECT_TRUE(Access::m_bTraceCapture(*device_).load());
    EXPECT_FALSE(Access::m_bTracePlayback(*device_).load());

    // Frame delay: 5; 8 once a start timecode is in use; 4 when only VideoOut prints.
    EXPECT_EQ(device_->GetControl(18, &value), 1);
    EXPECT_EQ(value, 5);
    Access::m_bStartTimecodeUsed(*device_) = true;
    EXPECT_EQ(device_->GetControl(0xb20005, &value), 1);
    EXPECT_EQ(value, 8);
    Access::m_nOutputDevices(*device_) = 2;
    EXPECT_EQ(device_->GetControl(18, &value), 1);
    EXPECT_EQ(value, 4);
}

TEST_F(ControlsTest, SignalPresentWithinTwoSeconds) {
    LONG present = -1;
    EXPECT_EQ(device_->GetControl(0xb10005, &present), 1);
    EXPECT_EQ(present, 0);  // no frame captured yet
    // Exactly 2000 ms reads present; the tick may move during the call, so retry
    // until a call ran within one tick.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const DWORD before = GetTickCount();
        Access::m_dwLastFrameTick(*device_) = before - 2000;
        ASSERT_EQ(device_->GetControl(0xb10005, &present), 1);
        if (GetTickCount() == before) {
            EXPECT_EQ(present, 1);
            EXPECT_TRUE(Access::m_bSignalPresent(*device_).load());
            break;
        }
    }
    Access::m_dwLastFrameTick(*device_) = GetTickCount() - 2001;
    EXPECT_EQ(device_->GetControl(0xb10005, &present), 1);
    EXPECT_EQ(present, 0);
    EXPECT_FALSE(Access::m_bSignalPresent(*device_).load());
}

TEST_F(ControlsTest, StatisticsComeFromTheQueues) {
    LONG value = -1;
    // Errors: the sum over the four queues.
    LONG videoInErrors = 2, audioInErrors = 3, audioOutErrors = 4;
    ASSERT_TRUE(Access::m_pVideoIn(*device_)->SetParameter(0xb00001, &videoInErrors));
    ASSERT_TRUE(Access::m_pAudioIn(*device_)->SetParameter(0xb00001, &audioInErrors));
    ASSERT_TRUE(Access::m_pAudioOut(*device_)->SetParameter(0xb00001, &audioOutErrors));
    Access::m_nErrors(*Access::m_pVideoOut(*device_)) = 5;
    EXPECT_EQ(device_->GetControl(0xb00001, &value), 1);
    EXPECT_EQ(value, 14);

    LONG overruns[] = {7, 8};
    Access::m_pVideoIn(*device_)->SetParameter(0x70001, &overruns[0]);
    Access::m_pAudioIn(*device_)->SetParameter(0xb10003, &overruns[1]);
    LONG read[2] = {};
    EXPECT_EQ(device_->GetControl(0x70001, &read[0]) + device_->GetControl(0xb10003, &read[1]), 2);
    EXPECT_EQ(std::vector<LONG>(read, read + 2), std::vector<LONG>(overruns, overruns + 2));
    DV1394AudioInput& audioIn = *Access::m_pAudioIn(*device_);
    Access::m_nLastFrames(audioIn) = 30;
    Access::m_nLastSamples(audioIn) = 48048;
    Access::m_llLastStart(audioIn) = 0x123456789LL;
    LONG measurement[4];
    EXPECT_EQ(device_->GetControl(0xb10002, measurement), 1);
    EXPECT_EQ(measurement[0], 30);
    EXPECT_EQ(measurement[1], 48048);
    EXPECT_EQ(static_cast<ULONG>(measurement[2]), 0x23456789u);
    EXPECT_EQ(measurement[3], 1);

    // Print side: frames to print and the underrun record.
    LONG frames = 300;
    EXPECT_EQ(device_->SetControl(8, &frames), 1);
    EXPECT_EQ(Access::m_nFramesExpected(*Access::m_pVideoOut(*device_)).load(), 300u);
    EXPECT_EQ(device_->GetControl(8, &value), 0);
    Access::m_nUnderruns(*Access::m_pVideoOut(*device_)) = 9;
    ULONG record[6] = {0, 0, 0, 0, 0xEE, 0xEE};
    EXPECT_EQ(device_->GetControl(0x20005, record), 1);
    EXPECT_EQ(record[0], 9u);
    EXPECT_EQ(record[4], 0xEEu);
    EXPECT_EQ(device_->SetControl(0xb20003, &frames), 1);
    EXPECT_EQ(Access::m_nFramesExpected(*Access::m_pAudioOut(*device_)).load(), 300);
    unsigned char unlocked = 0;
    EXPECT_EQ(device_->SetControl(0xb20006, &unlocked), 1);
    EXPECT_FALSE(Access::m_pReshuffler(*Access::m_pAudioOut(*device_))->IsAudioLocked());
    Access::m_nUnderruns(*Access::m_pAudioOut(*device_)) = 6;
    EXPECT_EQ(device_->GetControl(0xb20001, &value), 1);
    EXPECT_EQ(value, 6);

    // The timecode break record, whole.
    const timecodeDesc_t desc = TCCreateDesc(0, 25);
    TimecodeDiscontinuity& breakRecord = Access::m_Discontinuity(*device_);
    breakRecord.nCount = 2;
    breakRecord.tcBefore = TCCreateDur(100, &desc);
    breakRecord.tcAfter = TCCreateDur(kTCEmptyFrameCount, &desc);
    TimecodeDiscontinuity copy{};
    EXPECT_EQ(device_->GetControl(0xb10006, &copy), 1);
    EXPECT_EQ(std::memcmp(&copy, &breakRecord, sizeof copy), 0);
    LONG missed = -1;
    Access::m_bStartMissed(*device_) = true;
    EXPECT_EQ(device_->GetControl(0xb10001, &missed), 1);
    EXPECT_EQ(missed, 1);
}

TEST_F(ControlsTest, AdaptersAndNodes) {
    char name[8] = "xxxxxxx";
    EXPECT_EQ(device_->GetHostAdapterName(5, name), 0);
    EXPECT_STREQ(name, "1394");
    EXPECT_EQ(device_->GetHostAdapterFormat(), 0);
    EXPECT_EQ(device_->GetHostAdapterAttributes(), 11);
    EXPECT_EQ(device_->GetMaxNodes(), 1);
    EXPECT_EQ(device_->SetControlNode(0), 1);
    EXPECT_EQ(device_->SetControlNode(1), 0);
    EXPECT_EQ(device_->SetIONode(0), 1);
    EXPECT_EQ(device_->SetIONode(2), 0);
    int node = 7;
    EXPECT_EQ(device_->GetIONode(&node), 1);
    EXPECT_EQ(node, 0);
    EXPECT_EQ(device_->HasAVWritableDevice(0, 0), 1);
    EXPECT_EQ(device_->HasAVWritableDevice(0, 1), 0);
    // Closed session: no device, and nothing is opened to find out.
    EXPECT_EQ(device_->HasAVDevice(0, 0), 0);
    LONG devices = -1;
    EXPECT_EQ(device_->GetControl(0xb00007, &devices), 1);
    EXPECT_EQ(devices, 0);
    EXPECT_TRUE(CardCalls().empty());

    ASSERT_EQ(device_->GetNumberHostAdapters(), 1);
    EXPECT_EQ(device_->HasAVDevice(0, 0), 1);
    EXPECT_EQ(device_->HasAVDevice(1, 0), 0);
    EXPECT_EQ(device_->GetControl(0xb00007, &devices), 1);
    EXPECT_EQ(devices, 1);
    cardsim::DisconnectDevice();
    EXPECT_EQ(device_->HasAVDevice(0, 0), 0);
    EXPECT_EQ(device_->GetNumberAVDevices(0), 0);
    LONG trace = 1;
    device_->SetControl(0xb00005, &trace);
    log_.Clear();
    device_->HasAVDevice(0, 0);
    EXPECT_EQ(log_.Take(), std::vector<std::string>{"PdvIsConnectedDV2  error -> No Device\n"});
}

}  // namespace
