// The library entry point. It only logs; the device is made on the first export call.
#include "windows.h"

extern "C" BOOL WINAPI DllMain(HANDLE /*module*/, DWORD reason, LPVOID /*reserved*/) {
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

DLL_ENTRY_POINT_HOOKS(DllMain)
