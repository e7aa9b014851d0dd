// The library entry point. It only logs; the device is made on the first export call.
#include "windows.h"

extern "C" BOOL DllMain(HANDLE /*module*/, DWORD reason, LPVOID /*reserved*/) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            OutputDebugStringA("DIOVelorin DLL Loaded\n");
            break;
        case DLL_PROCESS_DETACH:
            OutputDebugStringA("DIOVelorin DLL Process detach\n");
            break;
        default:
            break;
    }
    return TRUE;
}

// POSIX has no entry point with a reason; the loader's load and unload hooks stand in
// for process attach and detach.
__attribute__((constructor)) static void VelorinLibraryLoaded() {
    DllMain(nullptr, DLL_PROCESS_ATTACH, nullptr);
}

__attribute__((destructor)) static void VelorinLibraryUnloaded() {
    DllMain(nullptr, DLL_PROCESS_DETACH, nullptr);
}
