// The host's virtual table: every slot where the host expects it, the base bodies of
// slots 145 to 149, and which slots the plug-in's device answers itself. Slots are
// reached by number through the table, as a host does, not only by name.
#include "bare_device.h"
#include "slot_list.h"

#include "CDV1394.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

// A pointer to a virtual member holds 1 + the byte offset of its table entry
// (Itanium C++ ABI); -1 for a member that is not virtual.
template <typename MemberFunction>
int VtableEntryOf(MemberFunction function) {
    struct Representation {
        std::uintptr_t pointer;
        std::ptrdiff_t adjustment;
    };
    static_assert(sizeof(MemberFunction) == sizeof(Representation), "Itanium member pointers");
    Representation representation;
    std::memcpy(&representation, &function, sizeof representation);
    if ((representation.pointer & 1) == 0) return -1;
    return static_cast<int>((representation.pointer - 1) / sizeof(void*));
}

void** VtableOf(DigitalDevice* device) {
    return *reinterpret_cast<void***>(device);
}

// Calls slot `slot` of `device` through its table, the way a host calls it.
template <typename Result, typename... Args>
Result CallSlot(DigitalDevice* device, int slot, Args... args) {
    auto function = reinterpret_cast<Result (*)(DigitalDevice*, Args...)>(VtableOf(device)[VtableEntryOfSlot(slot)]);
    return function(device, args...);
}

TEST(SlotOrder, EverySlotIsWhereTheHostLooksForIt) {
    std::vector<std::pair<const char*, int>> entries;
#define ENTRY(name, parameters) entries.emplace_back(#name, VtableEntryOf(&DigitalDevice::name));
    DIGITAL_DEVICE_SLOTS(ENTRY)
#undef ENTRY
    ASSERT_EQ(entries.size(), static_cast<size_t>(kSlotCount - 1));
    for (size_t i = 0; i < entries.size(); ++i) {
        const int slot = static_cast<int>(i) + 1;
        EXPECT_EQ(entries[i].second, VtableEntryOfSlot(slot)) << entries[i].first << " belongs in slot " << slot;
    }
}

TEST(SlotOrder, BaseBodiesAnswerThroughTheirSlots) {
    BareDevice bare;
    DigitalDevice* host = &bare;

    // 145 and 146 do nothing: no call back into the device, nothing else changes.
    CallSlot<void>(host, 145, LONG{25});
    CallSlot<void>(host, 146, LONG{-7});
    host->DeviceSetRecordPlayDelay(3);
    host->DeviceSetRecordStopDelay(4);

    // 147 to 149 answer "Command Not Implemented" and leave the buffers alone.
    unsigned char command[64];
    unsigned char response[64];
    std::memset(command, 0x11, sizeof command);
    std::memset(response, 0xAB, sizeof response);
    AVC record(true);
    record.SetOperand(0, 0x42);
    const AVC before = record;

    EXPECT_EQ((CallSlot<DDCError_t>(host, 147, static_cast<void*>(command), static_cast<void*>(response), ULONG{64})),
              DDC_CommandNotImplemented);
    EXPECT_EQ((CallSlot<DDCError_t>(host, 147, static_cast<void*>(nullptr), static_cast<void*>(nullptr), ULONG{0})),
              DDC_CommandNotImplemented);
    EXPECT_EQ((CallSlot<DDCError_t>(host, 148, static_cast<void*>(command), ULONG{8})), DDC_CommandNotImplemented);
    EXPECT_EQ((CallSlot<DDCError_t>(host, 149, &record)), DDC_CommandNotImplemented);
    EXPECT_EQ((CallSlot<DDCError_t>(host, 149, static_cast<AVC*>(nullptr))), DDC_CommandNotImplemented);
    EXPECT_EQ(host->SendRawCommand(command, response, 64), DDC_CommandNotImplemented);
    EXPECT_EQ(host->SendAsyncRawCommand(command, 8), DDC_CommandNotImplemented);
    EXPECT_EQ(host->GetAsyncResponse(&record), DDC_CommandNotImplemented);

    for (unsigned char byte : response) ASSERT_EQ(byte, 0xAB);
    for (unsigned char byte : command) ASSERT_EQ(byte, 0x11);
    EXPECT_EQ(0, std::memcmp(&record, &before, sizeof record));
    EXPECT_TRUE(bare.calls.empty()) << "a base body called " << bare.calls.front();

    // A slot the device implements is reached through the same table.
    CallSlot<DDCError_t>(host, 110);
    ASSERT_EQ(bare.calls.size(), 1u);
    EXPECT_EQ(bare.calls[0], "DevicePlay");
}

TEST(SlotOrder, VersionIsOnePointZero) {
    BareDevice bare;
    int major = -1;
    int minor = -1;
    bare.GetVersion(&major, &minor);
    EXPECT_EQ(major, 1);
    EXPECT_EQ(minor, 0);
    bare.GetVersion(nullptr, nullptr);
    EXPECT_TRUE(bare.calls.empty());
}

TEST(SlotOrder, TheDeviceAnswersSlots0To146AndInheritsTheRawCommandSlots) {
    BareDevice bare;
    std::unique_ptr<CDV1394> device(new CDV1394);
    void** deviceTable = VtableOf(device.get());
    void** bareTable = VtableOf(&bare);
    // The bare device keeps DigitalDevice's bodies in 145 to 149; the plug-in's device
    // replaces 145 and 146 and keeps 147 to 149.
    for (int slot = 145; slot < kSlotCount; ++slot) {
        const int entry = VtableEntryOfSlot(slot);
        if (slot >= kFirstInheritedSlot) {
            EXPECT_EQ(deviceTable[entry], bareTable[entry]) << "slot " << slot << " is DigitalDevice's";
        } else {
            EXPECT_NE(deviceTable[entry], bareTable[entry]) << "slot " << slot << " is the device's own";
        }
    }

    DigitalDevice* host = device.get();
    unsigned char response[64];
    std::memset(response, 0xCD, sizeof response);
    AVC record;
    EXPECT_EQ((CallSlot<DDCError_t>(host, 147, static_cast<void*>(response), static_cast<void*>(response), ULONG{64})),
              DDC_CommandNotImplemented);
    EXPECT_EQ((CallSlot<DDCError_t>(host, 148, static_cast<void*>(response), ULONG{64})), DDC_CommandNotImplemented);
    EXPECT_EQ((CallSlot<DDCError_t>(host, 149, &record)), DDC_CommandNotImplemented);
    for (unsigned char byte : response) ASSERT_EQ(byte, 0xCD);

    // The state slots, reached by number, report the device's streams.
    for (int slot : {34, 55, 75, 91, 107}) EXPECT_EQ(CallSlot<VDMDeviceState>(host, slot), VDMIdle) << slot;
}

}  // namespace
