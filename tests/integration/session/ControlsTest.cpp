// The device's control table through the host interface: existence, sizes, defaults,
// reads and writes, and the adapter and node slots.
#include "device/DefaultFormat.h"
#include "support/DeviceFixture.h"

#include <cstring>

using namespace dv1394;

namespace {

class ControlsTest : public DeviceFixture {};

TEST_F(ControlsTest, EveryIdHasItsSizeAndSettabilityAndUnknownIdsTouchNothing) {
    struct Shape {
        LONG id;
        unsigned char has;
        LONG size;
        unsigned char settable;
    };
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
        EXPECT_EQ(device_->HasControl(unknown) + device_->GetControlSize(unknown) + device_->CanSetControl(unknown) +
                      device_->GetControl(unknown, buffer) + device_->GetControlDefault(unknown, buffer) +
                      device_->SetControl(unknown, buffer),
                  0)
            << std::hex << unknown;
        for (unsigned char byte : buffer) ASSERT_EQ(byte, 0xAB) << "written for " << std::hex << unknown;
    }
    // A null buffer is refused, never written through.
    EXPECT_EQ(device_->GetControl(0x10001, nullptr), 0);
    EXPECT_EQ(device_->SetControl(0xb00003, nullptr), 0);
    EXPECT_TRUE(CardCalls().empty());
}

TEST_F(ControlsTest, DefaultsAndWhatIsWrittenReadsBack) {
    // Defaults: (id, value) of the 4-byte ones.
    for (const auto& [id, expected] : {std::pair<LONG, LONG>{18, 5}, {0x10001, 0x44562f43}, {0x30001, 120000}}) {
        LONG value = -1;
        EXPECT_EQ(device_->GetControlDefault(id, &value), 1) << std::hex << id;
        EXPECT_EQ(value, expected) << std::hex << id;
    }
    LONG value = -1;
    EXPECT_EQ(device_->GetControlDefault(0xb10005, &value), 0);  // no default
    for (LONG sizeZero : {0xb0000b, 0xb0000c}) {  // known, and nothing is written
        EXPECT_EQ(device_->GetControlDefault(sizeZero, &value), 1) << std::hex << sizeZero;
        EXPECT_EQ(value, -1);
    }
    unsigned char locked = 0;
    ASSERT_EQ(device_->GetControlDefault(0xb20006, &locked), 1);
    EXPECT_EQ(locked, 1);
    timecode_t start{};
    ASSERT_EQ(device_->GetControlDefault(0xb00003, &start), 1);
    EXPECT_TRUE(TCIsEmpty(start));

    // Written, then read: (id, value written, value read, result of the read).
    struct RoundTrip {
        LONG id;
        LONG written, read;
        unsigned char setResult, getResult;
    };
    const RoundTrip trips[] = {
        {0x10001, 0x31637664, 0x31637664, 1, 1}, {0x30001, 144000, 144000, 1, 1},
        {0xb00004, 1, 1, 1, 1},                  {0xb00004, 2, 1, 0, 1},  // only 1, and it always reads 1
        {0xb0000c, 3, 0x5A5A5A5A, 0, 3},         // the seek offset answers through the result
        {0xb0000b, 1, 0x5A5A5A5A, 0, 1},         {8, 300, 0x5A5A5A5A, 1, 0},  // frames to print: set only
    };
    for (const RoundTrip& trip : trips) {
        LONG in = trip.written, out = 0x5A5A5A5A;
        EXPECT_EQ(device_->SetControl(trip.id, &in), trip.setResult) << std::hex << trip.id;
        EXPECT_EQ(device_->GetControl(trip.id, &out), trip.getResult) << std::hex << trip.id;
        EXPECT_EQ(out, trip.read) << std::hex << trip.id;
    }
    LONG pair[2] = {-1, -1};
    EXPECT_EQ(device_->GetControl(0xb0000a, pair), 1);
    EXPECT_EQ(std::vector<LONG>(pair, pair + 2), (std::vector<LONG>{1, 0}));
    const timecodeDesc_t desc = TCCreateDesc(1, 30);
    timecode_t wanted = TCConstruct(0, 1, 2, 3, 4, &desc), read{};
    EXPECT_EQ(device_->SetControl(0xb00003, &wanted), 1);
    EXPECT_EQ(device_->GetControl(0xb00003, &read), 1);
    EXPECT_EQ(std::memcmp(&read, &wanted, sizeof read), 0);
}

TEST_F(ControlsTest, OneAdapterAndOneDeviceWhileTheSessionIsOpenAndTheDeckConnected) {
    char name[8] = "xxxxxxx";
    EXPECT_EQ(device_->GetHostAdapterName(5, name), 0);
    EXPECT_STREQ(name, "1394");
    EXPECT_EQ(device_->HasAVDevice(0, 0), 0);  // closed session: nothing is opened to find out
    EXPECT_TRUE(CardCalls().empty());
    ASSERT_EQ(device_->GetNumberHostAdapters(), 1);
    LONG devices = -1;
    EXPECT_EQ(device_->GetControl(0xb00007, &devices), 1);
    EXPECT_EQ(devices, 1);
    EXPECT_EQ(device_->HasAVDevice(0, 0) + device_->HasAVDevice(1, 0), 1);
    cardsim::DisconnectDevice();
    LONG trace = 1;
    device_->SetControl(0xb00005, &trace);
    log_.Clear();
    EXPECT_EQ(device_->HasAVDevice(0, 0), 0);
    EXPECT_EQ(log_.Take(), std::vector<std::string>{"PdvIsConnectedDV2  error -> No Device\n"});
}

}  // namespace
