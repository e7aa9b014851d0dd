// Loads a device plug-in by file name and hands out its device, as an editing host
// does: the library's two exports, nothing else.
#pragma once

#include "interface/DigitalDevice.h"

#include <string>

class PluginHost {
public:
    PluginHost() = default;
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // False with a sentence in *error when the library or its exports cannot be had,
    // or when it reports no device.
    bool Load(const std::string& path, std::string* error);

    DigitalDevice* Device() const { return device_; }
    int Major() const { return major_; }
    int Minor() const { return minor_; }
    const std::string& Path() const { return path_; }

    // The plug-in built next to this program.
    static std::string DefaultPluginPath();

private:
    void* library_ = nullptr;
    DigitalDevice* device_ = nullptr;
    int major_ = 0;
    int minor_ = 0;
    std::string path_;
};
