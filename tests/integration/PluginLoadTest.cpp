// The plug-in as a host sees it: loaded by file name, its two exports found by name,
// one device at a time, the exact debug lines in order, and only what a host links to
// exported.
//
// This program does not link the plug-in, so each test's process sees the library's
// load line only when the test loads it.
#include "interface/DigitalDevice.h"
#include "Win32DebugSink.h"

#include <gtest/gtest.h>

#include <cxxabi.h>
#include <dlfcn.h>

#include <cstdlib>
#include <string>
#include <utility>
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

TEST(PluginLoad, OneDeviceForEveryCallUntilItIsDeletedAndTheExactLinesInOrder) {
    win32::DebugCapture log;
    LoadedPlugin plugin;
    ASSERT_NE(plugin.handle(), nullptr) << dlerror();
    EXPECT_EQ(log.Entries(), std::vector<std::string>{kLoaded});
    GetDIOVersionFn getVersion = plugin.GetDIOVersion();
    GetDIODeviceFn getDevice = plugin.GetDIODevice();
    ASSERT_TRUE(getVersion != nullptr && getDevice != nullptr);
    int major = -1;
    int minor = -1;
    getVersion(&major, &minor);
    EXPECT_EQ(std::make_pair(major, minor), std::make_pair(1, 0));
    getVersion(nullptr, nullptr);  // a careless host gets no crash

    DigitalDevice* device = getDevice();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(getDevice(), device);
    // Every export call (the version too) writes its line; only the first made the device.
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{kLoaded, kCalled, kCreated, kCalled, kCalled, kCalled}));

    // The host may delete the device (silently); the next call makes a new one.
    log.Clear();
    delete device;
    EXPECT_TRUE(log.Entries().empty());
    DigitalDevice* second = getDevice();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{kCalled, kCreated}));
    EXPECT_EQ(second->VideoInGetState(), VDMIdle);  // a live device, not freed memory
    // The raw AV/C slots keep the interface's own bodies.
    unsigned char buffer[64] = {};
    EXPECT_EQ(second->SendRawCommand(buffer, buffer, sizeof buffer), DDC_CommandNotImplemented);
    EXPECT_EQ(second->SendAsyncRawCommand(buffer, sizeof buffer), DDC_CommandNotImplemented);
    delete second;
    // Unloading writes the detach line last.
    log.Clear();
    plugin.Close();
    EXPECT_EQ(log.Entries(), std::vector<std::string>{kDetach});
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
    // The host links to the class: its table and its locks are exported.
    for (const char* shared : {"_ZTV7CDV1394", "_ZTV13DigitalDevice", "_ZN7CDV139425m_csCaptureThreadTimecodeE",
                               "_ZN7CDV139422m_csCaptureThreadStartE", "_ZN7CDV139425m_csTimeCodeDiscontinuityE"})
        EXPECT_NE(plugin.Find(shared), nullptr) << Demangled(shared);
    plugin.Close();
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{kLoaded, kDetach}));
}

}  // namespace
