// POSIX has no library entry point with a reason; the loader's load and unload hooks
// stand in for process attach and detach. (On Windows the system calls DllMain.)
#include "windows.h"

extern "C" BOOL WINAPI DllMain(HANDLE module, DWORD reason, LPVOID reserved);

__attribute__((constructor)) static void VelorinLibraryLoaded() {
    DllMain(nullptr, DLL_PROCESS_ATTACH, nullptr);
}

__attribute__((destructor)) static void VelorinLibraryUnloaded() {
    DllMain(nullptr, DLL_PROCESS_DETACH, nullptr);
}
