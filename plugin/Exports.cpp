// The two plain functions a host looks up by name after loading the plug-in.
#include "device/CDV1394.h"
#include "plugin/ProcessDevice.h"

#include <mutex>
#include <new>

using namespace dv1394;

namespace {

// Hosts may ask from two threads at once; the lock makes sure only one device is made.
std::mutex s_deviceLock;
CDV1394* s_pDevice = nullptr;

}  // namespace

void dv1394::ForgetProcessDevice(const CDV1394* device) {
    std::lock_guard<std::mutex> lock(s_deviceLock);
    if (s_pDevice == device) s_pDevice = nullptr;
}

extern "C" DLL_EXPORT DigitalDevice* GetDIODevice() {
    OutputDebugStringA("DIOVelorin GetDIODevice called\n");
    std::lock_guard<std::mutex> lock(s_deviceLock);
    if (s_pDevice != nullptr) return s_pDevice;
    // A failed allocation leaves the pointer null, so the next call tries again.
    s_pDevice = new (std::nothrow) CDV1394;
    OutputDebugStringA("CDV1394 object created\n");
    return s_pDevice;
}

extern "C" DLL_EXPORT void GetDIOVersion(int* major, int* minor) {
    if (major != nullptr) *major = 0;
    if (minor != nullptr) *minor = 0;
    // Reporting 1.0 promises a device; without one the host sees 0.0.
    if (GetDIODevice() == nullptr) return;
    if (major != nullptr) *major = 1;
    if (minor != nullptr) *minor = 0;
}
