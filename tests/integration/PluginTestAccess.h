// Reaches the device's private frame assembly, for the print benchmark that times it.
#pragma once

#include "device/CDV1394.h"

struct PluginTestAccess {
    static bool QueueAFrame(CDV1394& device) { return device.QueueAFrame(); }
};
