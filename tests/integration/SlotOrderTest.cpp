// The host's virtual table: every slot where the host expects it, the base bodies of
// slots 145 to 149, and which slots the plug-in's device answers itself. Slots are
// reached by number through the table, as a host does, not only by name.
#include "BareDevice.h"
#include "SlotList.h"

#include "PluginTestAccess.h"

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

    // 147 to 149 answer "Command Not Implemented" and leave the buffers alone.
    unsigned char command[64];
    unsigned char response[64];
    std::memset(command, 0x11, sizeof command);
    std::memset(response, 0xAB, sizeof response);
    AVC record(true);
    record.SetOperand(0, 0x42);
    const AVC before = record;
    void* null = nullptr;
    EXPECT_EQ(CallSlot<DDCError_t>(host, 147, static_cast<void*>(command), static_cast<void*>(response), ULONG{64}),
              DDC_CommandNotImplemented);
    EXPECT_EQ(CallSlot<DDCError_t>(host, 147, null, null, ULONG{0}), DDC_CommandNotImplemented);
    EXPECT_EQ(CallSlot<DDCError_t>(host, 148, static_cast<void*>(command), ULONG{8}), DDC_CommandNotImplemented);
    EXPECT_EQ(CallSlot<DDCError_t>(host, 149, &record), DDC_CommandNotImplemented);
    EXPECT_EQ(CallSlot<DDCError_t>(host, 149, static_cast<AVC*>(nullptr)), DDC_CommandNotImplemented);
    for (unsigned char byte : response) ASSERT_EQ(byte, 0xAB);
    for (unsigned char byte : command) ASSERT_EQ(byte, 0x11);
    EXPECT_EQ(0, std::memcmp(&record, &before, sizeof record));

    // The version is not a slot: 1.0, and null outputs are survived.
    int major = -1;
    int minor = -1;
    bare.GetVersion(&major, &minor);
    EXPECT_EQ(major, 1);
    EXPECT_EQ(minor, 0);
    bare.GetVersion(nullptr, nullptr);
    EXPECT_TRUE(bare.calls.empty()) << "a base body called " << bare.calls.front();

    // A slot the device implements is reached through the same table.
    CallSlot<DDCError_t>(host, 110);
    EXPECT_EQ(bare.calls, std::vector<std::string>{"DevicePlay"});
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

    // Each state slot, reached by number, reports its own stream's queue.
    using A = PluginTestAccess;
    A::m_pVideoIn(*device)->SetState(VDMPrepared);
    A::m_pVideoConfidence(*device)->SetState(VDMArmed);
    A::m_pVideoOut(*device)->SetState(VDMRunning);
    A::m_pAudioIn(*device)->SetState(VDMAborted);
    const std::pair<int, VDMDeviceState> states[] = {
        {34, VDMPrepared}, {75, VDMArmed}, {55, VDMRunning}, {91, VDMAborted}, {107, VDMIdle}};
    for (const auto& [slot, state] : states) EXPECT_EQ(CallSlot<VDMDeviceState>(device.get(), slot), state) << slot;
}

}  // namespace
