#include "PluginHost.h"

#include "PluginLibrary.h"

namespace {

using GetDIODeviceFn = DigitalDevice* (*)();
using GetDIOVersionFn = void (*)(int*, int*);

}  // namespace

PluginHost::~PluginHost() {
    // Deleting the device closes its card session and ends its threads. The library
    // stays loaded, so its own unload hook runs at process exit.
    if (device_ != nullptr) delete device_;
}

bool PluginHost::Load(const std::string& path, std::string* error) {
    path_ = path;
    std::string reason;
    library_ = pluginlibrary::Open(path, &reason);
    if (library_ == nullptr) {
        *error = "cannot load the plug-in " + path + ": " + reason;
        return false;
    }
    auto getVersion = reinterpret_cast<GetDIOVersionFn>(pluginlibrary::Find(library_, "GetDIOVersion"));
    auto getDevice = reinterpret_cast<GetDIODeviceFn>(pluginlibrary::Find(library_, "GetDIODevice"));
    if (getVersion == nullptr || getDevice == nullptr) {
        *error = path + " is not a device plug-in: GetDIOVersion or GetDIODevice is missing";
        return false;
    }
    getVersion(&major_, &minor_);
    device_ = getDevice();
    if (device_ == nullptr) {
        *error = "the plug-in could not create its device (it reported version " + std::to_string(major_) + "." +
                 std::to_string(minor_) + ")";
        return false;
    }
    return true;
}

std::string PluginHost::DefaultPluginPath() {
    return pluginlibrary::ProgramFolder() + pluginlibrary::PluginFileName();
}
