// The Win32 subset the plug-in and its host libraries call.
//
// On Windows this is <windows.h> itself. Elsewhere it declares the same names with
// the same widths and semantics, implemented over POSIX in Win32Posix.cpp. This is
// the only header of the project that tests _WIN32.
#ifdef _WIN32
// The system's header of the same name, found after this folder in the search path.
// (No include guard here: a file in this folder that includes "windows.h" comes in
// once by its own folder and once by the search path, and only the second time does
// the search go on past this folder. The system header guards itself.)
#include_next <windows.h>
#include <process.h>
// The C++ runtime's threads sit on winpthreads, whose header takes a defined
// DLL_EXPORT (libtool's convention) to mean "import me from a DLL". Read it before
// DLL_EXPORT below exists, so that the statically linked runtime is not looked for in
// a DLL.
#include <pthread.h>

static_assert(sizeof(LONG) == 4 && sizeof(ULONG) == 4 && sizeof(DWORD) == 4, "32-bit host longs");

// What a library exports: its entry points and the classes a host links to.
#define DLL_EXPORT __declspec(dllexport)
// The loader calls DllMain itself.
#define DLL_ENTRY_POINT_HOOKS(entry)
#else
#pragma once

#include <cstddef>
#include <cstdint>

// The host interface is 32-bit Windows: its `long` is 32 bits everywhere.
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int BOOL;
typedef void* HANDLE;
typedef void* LPVOID;
typedef const char* LPCSTR;
typedef size_t SIZE_T;
typedef long long __int64;

static_assert(sizeof(LONG) == 4 && sizeof(ULONG) == 4 && sizeof(DWORD) == 4, "32-bit host longs");

// Calling conventions matter only to 32-bit Windows.
#define WINAPI
#define CALLBACK

// What a library exports: its entry points and the classes a host links to. Libraries
// build with hidden visibility, so nothing else leaves them.
#define DLL_EXPORT __attribute__((visibility("default")))
// POSIX has no library entry point with a reason: the loader's load and unload hooks
// stand in for process attach and detach.
#define DLL_ENTRY_POINT_HOOKS(entry)                                                 \
    __attribute__((constructor)) static void DllEntryProcessAttach() {               \
        entry(nullptr, DLL_PROCESS_ATTACH, nullptr);                                 \
    }                                                                                \
    __attribute__((destructor)) static void DllEntryProcessDetach() {                \
        entry(nullptr, DLL_PROCESS_DETACH, nullptr);                                 \
    }

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED_0 0x00000080u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define MAXIMUM_WAIT_OBJECTS 64

#define THREAD_PRIORITY_IDLE (-15)
#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15

#define MEM_COMMIT 0x00001000u
#define MEM_RESERVE 0x00002000u
#define MEM_DECOMMIT 0x00004000u
#define MEM_RELEASE 0x00008000u
#define PAGE_READWRITE 0x04u

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

// A recursive lock, as on Windows: the owning thread may enter it again.
struct CRITICAL_SECTION {
    void* impl;
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;

// Debug output: each call is one entry, passed on verbatim (see Win32DebugSink.h).
void OutputDebugStringA(LPCSTR text);

// Events. Manual-reset events stay signalled until ResetEvent; auto-reset events
// release one waiter. A name that already exists returns that event.
HANDLE CreateEventA(void* attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
BOOL CloseHandle(HANDLE handle);
// Waits in milliseconds (INFINITE for ever). A null or closed handle gives WAIT_FAILED.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
// Wait-any answers WAIT_OBJECT_0 + the lowest signalled index; wait-all waits for every one.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);

void InitializeCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);
void EnterCriticalSection(LPCRITICAL_SECTION section);
void LeaveCriticalSection(LPCRITICAL_SECTION section);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);

void Sleep(DWORD milliseconds);
// Milliseconds of a monotonic clock; wraps at 2^32 like the Windows tick count.
DWORD GetTickCount();

// Starts a detached thread; answers (uintptr_t)-1 when it cannot be started.
uintptr_t _beginthread(void (*start)(void*), unsigned stackSize, void* argument);
// Ends the calling thread (a thread started by _beginthread may also just return).
[[noreturn]] void _endthread();

// Pseudo-handles, as on Windows: they name the calling thread or process.
HANDLE GetCurrentThread();
HANDLE GetCurrentProcess();
// Best effort and never fatal: raising priority is at most a nicer value for other
// threads, never a real-time class (a spinning real-time thread can starve a small machine).
BOOL SetThreadPriority(HANDLE thread, int priority);
int GetThreadPriority(HANDLE thread);

// Page-aligned, zero-filled memory. Lock pins it in memory when the process may lock.
LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocationType, DWORD protect);
BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD freeType);
BOOL VirtualLock(LPVOID address, SIZE_T size);
BOOL VirtualUnlock(LPVOID address, SIZE_T size);
// Working-set limits are remembered as numbers only.
BOOL GetProcessWorkingSetSize(HANDLE process, SIZE_T* minimum, SIZE_T* maximum);
BOOL SetProcessWorkingSetSize(HANDLE process, SIZE_T minimum, SIZE_T maximum);

#endif  // _WIN32
