#include "PluginHost.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

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
    library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library_ == nullptr) {
        *error = "cannot load the plug-in " + path + ": " + dlerror();
        return false;
    }
    auto getVersion = reinterpret_cast<GetDIOVersionFn>(dlsym(library_, "GetDIOVersion"));
    auto getDevice = reinterpret_cast<GetDIODeviceFn>(dlsym(library_, "GetDIODevice"));
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
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return "DIOdv1394Velorin.so";
    std::string directory(self, static_cast<size_t>(length));
    directory.resize(directory.rfind('/') + 1);
    return directory + "DIOdv1394Velorin.so";
}
