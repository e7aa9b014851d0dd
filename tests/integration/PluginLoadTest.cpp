// The plug-in as a host sees it: loaded by file name, its two exports found by name,
// one device per process, the exact debug lines in order, and the virtual table of the
// loaded device checked slot by slot against the names the loader knows.
//
// This program does not link the plug-in, so each test's process sees the library's
// load line only when the test loads it.
#include "interface/DigitalDevice.h"
#include "SlotList.h"
#include "Win32DebugSink.h"

#include <gtest/gtest.h>

#include <cxxabi.h>
#include <dlfcn.h>
#include <elf.h>

#include <atomic>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

using GetDIODeviceFn = DigitalDevice* (*)();
using GetDIOVersionFn = void (*)(int*, int*);

const std::string kLoaded = "DIOVelorin DLL Loaded\n";
const std::string kDetach = "DIOVelorin DLL Process detach\n";
const std::string kCalled = "DIOVelorin GetDIODevice called\n";
const std::string kCreated = "CDV1394 object created\n";

class LoadedPlugin {
public:
    LoadedPlugin() { handle_ = dlopen(VELORIN_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL); }
    ~LoadedPlugin() { Close(); }
    void Close() {
        if (handle_ != nullptr) dlclose(handle_);
        handle_ = nullptr;
    }
    void* handle() const { return handle_; }
    void* Find(const char* name) const { return dlsym(handle_, name); }
    GetDIODeviceFn GetDIODevice() const { return reinterpret_cast<GetDIODeviceFn>(Find("GetDIODevice")); }
    GetDIOVersionFn GetDIOVersion() const { return reinterpret_cast<GetDIOVersionFn>(Find("GetDIOVersion")); }

private:
    void* handle_ = nullptr;
};

std::string Demangled(const char* symbol) {
    int status = 0;
    char* text = abi::__cxa_demangle(symbol, nullptr, nullptr, &status);
    std::string result = status == 0 && text != nullptr ? text : symbol;
    std::free(text);
    return result;
}

// Every exported name of the loaded plug-in by address. Identical bodies may be folded
// into one function, so one address can carry several names; dladdr would show one.
class ExportedNames {
public:
    explicit ExportedNames(void* anyFunction) {
        Dl_info info{};
        if (dladdr(anyFunction, &info) == 0) return;
        base_ = reinterpret_cast<std::uintptr_t>(info.dli_fbase);
        std::ifstream file(info.dli_fname, std::ios::binary);
        std::vector<char> image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (image.size() < sizeof(Elf64_Ehdr)) return;
        const auto* header = reinterpret_cast<const Elf64_Ehdr*>(image.data());
        if (header->e_shoff == 0 || header->e_shoff + header->e_shnum * sizeof(Elf64_Shdr) > image.size()) return;
        const auto* sections = reinterpret_cast<const Elf64_Shdr*>(image.data() + header->e_shoff);
        for (int i = 0; i < header->e_shnum; ++i) {
            if (sections[i].sh_type != SHT_DYNSYM || sections[i].sh_link >= header->e_shnum) continue;
            const Elf64_Shdr& strings = sections[sections[i].sh_link];
            const auto* symbols = reinterpret_cast<const Elf64_Sym*>(image.data() + sections[i].sh_offset);
            const size_t count = sections[i].sh_size / sizeof(Elf64_Sym);
            for (size_t j = 0; j < count; ++j) {
                if (ELF64_ST_TYPE(symbols[j].st_info) != STT_FUNC || symbols[j].st_value == 0) continue;
                const char* name = image.data() + strings.sh_offset + symbols[j].st_name;
                names_.emplace(symbols[j].st_value, Demangled(name));
            }
        }
    }

    // The names of the function at `address`, joined for messages.
    std::string At(void* address) const {
        std::string joined;
        auto range = names_.equal_range(reinterpret_cast<std::uintptr_t>(address) - base_);
        for (auto it = range.first; it != range.second; ++it) joined += (joined.empty() ? "" : " | ") + it->second;
        return joined.empty() ? "<no exported function>" : joined;
    }

    bool Has(void* address, const std::string& name) const {
        auto range = names_.equal_range(reinterpret_cast<std::uintptr_t>(address) - base_);
        for (auto it = range.first; it != range.second; ++it)
            if (it->second == name) return true;
        return false;
    }

    size_t size() const { return names_.size(); }

private:
    std::uintptr_t base_ = 0;
    std::multimap<std::uintptr_t, std::string> names_;
};

TEST(PluginLoad, VersionFirstThenTheSameDeviceForEveryCall) {
    const std::string path = VELORIN_PLUGIN_PATH;
    ASSERT_EQ(path.substr(path.find_last_of('/') + 1), "DIOdv1394Velorin.so");

    win32::DebugCapture log;
    LoadedPlugin plugin;
    ASSERT_NE(plugin.handle(), nullptr) << dlerror();
    EXPECT_EQ(log.Entries(), std::vector<std::string>{kLoaded});

    GetDIOVersionFn getVersion = plugin.GetDIOVersion();
    GetDIODeviceFn getDevice = plugin.GetDIODevice();
    ASSERT_NE(getVersion, nullptr);
    ASSERT_NE(getDevice, nullptr);

    int major = -1;
    int minor = -1;
    getVersion(&major, &minor);
    EXPECT_EQ(major, 1);
    EXPECT_EQ(minor, 0);

    DigitalDevice* device = getDevice();
    ASSERT_NE(device, nullptr);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(getDevice(), device);
    getVersion(&major, &minor);
    EXPECT_EQ(major, 1);
    EXPECT_EQ(minor, 0);
    getVersion(nullptr, nullptr);  // a careless host gets no crash

    // Every export call writes its line; only the first call made the device.
    std::vector<std::string> expected = {kLoaded, kCalled, kCreated};
    for (int call = 0; call < 1 + 5 + 2; ++call) expected.push_back(kCalled);
    EXPECT_EQ(log.Entries(), expected);

    // The host may delete the device; that writes nothing. Unloading writes the
    // detach line last.
    log.Clear();
    delete device;
    EXPECT_TRUE(log.Entries().empty());
    plugin.Close();
    EXPECT_EQ(log.Entries(), std::vector<std::string>{kDetach});
}

TEST(PluginLoad, HostsCallingAtOnceGetOneDevice) {
    win32::DebugCapture log;
    LoadedPlugin plugin;
    ASSERT_NE(plugin.handle(), nullptr) << dlerror();
    GetDIODeviceFn getDevice = plugin.GetDIODevice();

    constexpr int kThreads = 8;
    std::atomic<int> ready{0};
    std::vector<DigitalDevice*> devices(kThreads, nullptr);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            ++ready;
            while (ready.load() < kThreads) std::this_thread::yield();
            devices[i] = getDevice();
        });
    }
    for (std::thread& thread : threads) thread.join();
    ASSERT_NE(devices[0], nullptr);
    for (DigitalDevice* device : devices) EXPECT_EQ(device, devices[0]);
    EXPECT_EQ(log.Count(kCreated), 1u);
    EXPECT_EQ(log.Count(kCalled), static_cast<size_t>(kThreads));
    delete devices[0];
}

TEST(PluginLoad, DeviceFirstThenVersionAndADeletedDeviceIsReplacedNotHandedOutAgain) {
    win32::DebugCapture log;
    LoadedPlugin plugin;
    ASSERT_NE(plugin.handle(), nullptr) << dlerror();
    GetDIODeviceFn getDevice = plugin.GetDIODevice();
    DigitalDevice* first = getDevice();
    ASSERT_NE(first, nullptr);
    int major = 0;
    int minor = -1;
    plugin.GetDIOVersion()(&major, &minor);
    EXPECT_EQ(major, 1);
    EXPECT_EQ(minor, 0);
    EXPECT_EQ(getDevice(), first);
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{kLoaded, kCalled, kCreated, kCalled, kCalled}));
    delete first;

    log.Clear();
    DigitalDevice* second = getDevice();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{kCalled, kCreated}));
    EXPECT_EQ(second->VideoInGetState(), VDMIdle);  // a live device, not freed memory
    delete second;
}

// The entry point is not exported (the loader finds it on its own): loading and
// unloading show its two lines and nothing else; the library exports nothing beyond
// the two entry points and the classes a host links to.
TEST(PluginLoad, EntryPointLogsOnlyProcessAttachAndDetach) {
    win32::DebugCapture log;
    LoadedPlugin plugin;
    ASSERT_NE(plugin.handle(), nullptr) << dlerror();
    EXPECT_EQ(plugin.Find("DllMain"), nullptr);
    for (const char* inside : {"_ZN6dv139422ShuttleSpeedToDeckCodeEi", "_ZN6dv139411LogDDCErrorEPKci", "_ZN16DV1394VideoInputC1Ev"})
        EXPECT_EQ(plugin.Find(inside), nullptr) << Demangled(inside);
    plugin.Close();
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{kLoaded, kDetach}));
}

TEST(PluginLoad, TheLoadedDevicesTableHoldsTheDocumentedSlots) {
    LoadedPlugin plugin;
    ASSERT_NE(plugin.handle(), nullptr) << dlerror();
    DigitalDevice* device = plugin.GetDIODevice()();
    ASSERT_NE(device, nullptr);
    void** table = *reinterpret_cast<void***>(device);

    // The host links to the class too: its table, locks and members are exported.
    EXPECT_NE(plugin.Find("_ZTV7CDV1394"), nullptr);
    EXPECT_NE(plugin.Find("_ZTV13DigitalDevice"), nullptr);
    for (const char* lock : {"_ZN7CDV139425m_csCaptureThreadTimecodeE", "_ZN7CDV139422m_csCaptureThreadStartE",
                             "_ZN7CDV139421m_csRecordThreadStartE", "_ZN7CDV139421m_csDevicePresentCallE",
                             "_ZN7CDV139425m_csTimeCodeDiscontinuityE"})
        EXPECT_NE(plugin.Find(lock), nullptr) << Demangled(lock);

    const ExportedNames names(table[0]);
    ASSERT_GT(names.size(), 150u);
    EXPECT_TRUE(names.Has(table[0], "CDV1394::~CDV1394()")) << names.At(table[0]);
    EXPECT_TRUE(names.Has(table[1], "CDV1394::~CDV1394()")) << names.At(table[1]);
    std::vector<std::pair<std::string, std::string>> slots;
#define SLOT(name, parameters) slots.emplace_back(#name, parameters);
    DIGITAL_DEVICE_SLOTS(SLOT)
#undef SLOT
    ASSERT_EQ(slots.size(), static_cast<size_t>(kSlotCount - 1));
    for (size_t i = 0; i < slots.size(); ++i) {
        const int slot = static_cast<int>(i) + 1;
        const std::string owner = slot >= kFirstInheritedSlot ? "DigitalDevice::" : "CDV1394::";
        void* entry = table[VtableEntryOfSlot(slot)];
        const std::string expected = owner + slots[i].first + "(" + slots[i].second + ")";
        EXPECT_TRUE(names.Has(entry, expected)) << "slot " << slot << " should be " << expected << " but is "
                                                << names.At(entry);
    }

    // The version of the interface, through the exported class member.
    using GetVersionFn = void (*)(DigitalDevice*, int*, int*);
    auto getVersion = reinterpret_cast<GetVersionFn>(plugin.Find("_ZN13DigitalDevice10GetVersionEPiS0_"));
    ASSERT_NE(getVersion, nullptr);
    int major = 0;
    int minor = -1;
    getVersion(device, &major, &minor);
    EXPECT_EQ(major, 1);
    EXPECT_EQ(minor, 0);

    // Raw AV/C slots answer "Command Not Implemented" through the loaded table.
    using RawFn = DDCError_t (*)(DigitalDevice*, void*, void*, ULONG);
    using AsyncFn = DDCError_t (*)(DigitalDevice*, void*, ULONG);
    using ResponseFn = DDCError_t (*)(DigitalDevice*, AVC*);
    unsigned char buffer[64] = {};
    // Only the pointer matters to these slots; AVC's own members live in the plug-in.
    alignas(AVC) unsigned char storage[sizeof(AVC)] = {};
    AVC* record = reinterpret_cast<AVC*>(storage);
    EXPECT_EQ(reinterpret_cast<RawFn>(table[VtableEntryOfSlot(147)])(device, buffer, buffer, 64),
              DDC_CommandNotImplemented);
    EXPECT_EQ(reinterpret_cast<AsyncFn>(table[VtableEntryOfSlot(148)])(device, buffer, 64), DDC_CommandNotImplemented);
    EXPECT_EQ(reinterpret_cast<ResponseFn>(table[VtableEntryOfSlot(149)])(device, record), DDC_CommandNotImplemented);
    delete device;
}

}  // namespace
