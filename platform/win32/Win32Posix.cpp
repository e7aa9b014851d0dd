// POSIX bodies of the Win32 subset declared in windows.h.
#include "windows.h"

#include "DebugSinkEntry.h"

#include <pthread.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// ---------------------------------------------------------------------------
// Debug output
// ---------------------------------------------------------------------------
void OutputDebugStringA(LPCSTR text) {
    // Windows takes a null text for an empty one.
    win32::DeliverDebugEntry(text != nullptr ? text : "");
}

// ---------------------------------------------------------------------------
// Events
// ---------------------------------------------------------------------------
namespace {

struct Event {
    bool manualReset = true;
    bool signalled = false;
    std::string name;
};

// All events share one lock and one condition variable: a wait on several events
// must wake when any of them is set, and the plug-in has only a handful of events.
struct EventTable {
    std::mutex mutex;
    std::condition_variable changed;
    // Live handles with their open-handle counts. A handle is the Event's address;
    // a second CreateEventA of a named event returns the same handle, counted again.
    std::map<Event*, std::pair<std::shared_ptr<Event>, int>> live;
};

EventTable& Events() {
    static EventTable* table = new EventTable;
    return *table;
}

std::shared_ptr<Event> FindLocked(EventTable& table, HANDLE handle) {
    auto it = table.live.find(static_cast<Event*>(handle));
    if (it == table.live.end()) return nullptr;
    return it->second.first;
}

}  // namespace

HANDLE CreateEventA(void* /*attributes*/, BOOL manualReset, BOOL initialState, LPCSTR name) {
    EventTable& table = Events();
    std::lock_guard<std::mutex> lock(table.mutex);
    if (name != nullptr && *name != '\0') {
        for (auto& entry : table.live) {
            if (entry.second.first->name == name) {
                ++entry.second.second;
                return entry.first;
            }
        }
    }
    auto event = std::make_shared<Event>();
    event->manualReset = manualReset != FALSE;
    event->signalled = initialState != FALSE;
    if (name != nullptr) event->name = name;
    Event* handle = event.get();
    table.live.emplace(handle, std::make_pair(std::move(event), 1));
    return handle;
}

BOOL SetEvent(HANDLE handle) {
    EventTable& table = Events();
    std::lock_guard<std::mutex> lock(table.mutex);
    std::shared_ptr<Event> event = FindLocked(table, handle);
    if (!event) return FALSE;
    event->signalled = true;
    table.changed.notify_all();
    return TRUE;
}

BOOL ResetEvent(HANDLE handle) {
    EventTable& table = Events();
    std::lock_guard<std::mutex> lock(table.mutex);
    std::shared_ptr<Event> event = FindLocked(table, handle);
    if (!event) return FALSE;
    event->signalled = false;
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    EventTable& table = Events();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.live.find(static_cast<Event*>(handle));
    if (it == table.live.end()) return FALSE;
    if (--it->second.second == 0) table.live.erase(it);  // waiters keep their own reference
    return TRUE;
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || handles == nullptr) return WAIT_FAILED;
    EventTable& table = Events();
    std::unique_lock<std::mutex> lock(table.mutex);
    std::vector<std::shared_ptr<Event>> events;
    events.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        std::shared_ptr<Event> event = FindLocked(table, handles[i]);
        if (!event) return WAIT_FAILED;
        events.push_back(std::move(event));
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (waitAll) {
            bool all = std::all_of(events.begin(), events.end(), [](const auto& e) { return e->signalled; });
            if (all) {
                for (auto& e : events)
                    if (!e->manualReset) e->signalled = false;
                return WAIT_OBJECT_0;
            }
        } else {
            for (DWORD i = 0; i < count; ++i) {
                if (events[i]->signalled) {
                    if (!events[i]->manualReset) events[i]->signalled = false;
                    return WAIT_OBJECT_0 + i;
                }
            }
        }
        if (milliseconds == 0) return WAIT_TIMEOUT;
        if (milliseconds == INFINITE) {
            table.changed.wait(lock);
        } else if (table.changed.wait_until(lock, deadline) == std::cv_status::timeout &&
                   std::chrono::steady_clock::now() >= deadline) {
            // One last look: a set that raced with the time-out still counts.
            for (DWORD i = 0; i < count && !waitAll; ++i)
                if (events[i]->signalled) {
                    if (!events[i]->manualReset) events[i]->signalled = false;
                    return WAIT_OBJECT_0 + i;
                }
            return WAIT_TIMEOUT;
        }
    }
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

// ---------------------------------------------------------------------------
// Critical sections
// ---------------------------------------------------------------------------
void InitializeCriticalSection(LPCRITICAL_SECTION section) {
    if (section != nullptr) section->impl = new std::recursive_mutex;
}

void DeleteCriticalSection(LPCRITICAL_SECTION section) {
    if (section == nullptr) return;
    delete static_cast<std::recursive_mutex*>(section->impl);
    section->impl = nullptr;
}

void EnterCriticalSection(LPCRITICAL_SECTION section) {
    static_cast<std::recursive_mutex*>(section->impl)->lock();
}

void LeaveCriticalSection(LPCRITICAL_SECTION section) {
    static_cast<std::recursive_mutex*>(section->impl)->unlock();
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section) {
    return static_cast<std::recursive_mutex*>(section->impl)->try_lock() ? TRUE : FALSE;
}

// ---------------------------------------------------------------------------
// Time
// ---------------------------------------------------------------------------
void Sleep(DWORD milliseconds) {
    if (milliseconds == INFINITE) {
        for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD GetTickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// ---------------------------------------------------------------------------
// Threads
// ---------------------------------------------------------------------------
namespace {

struct ThreadStart {
    void (*start)(void*);
    void* argument;
};

void* RunThread(void* raw) {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(raw));
    ThreadStart copy = *start;
    start.reset();
    copy.start(copy.argument);
    return nullptr;
}

thread_local int t_priority = THREAD_PRIORITY_NORMAL;

HANDLE const kCurrentThread = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));
HANDLE const kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

}  // namespace

uintptr_t _beginthread(void (*start)(void*), unsigned stackSize, void* argument) {
    if (start == nullptr) return static_cast<uintptr_t>(-1);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    if (stackSize != 0) pthread_attr_setstacksize(&attributes, std::max<size_t>(stackSize, 64 * 1024));
    auto* startInfo = new ThreadStart{start, argument};
    pthread_t thread;
    int rc = pthread_create(&thread, &attributes, RunThread, startInfo);
    pthread_attr_destroy(&attributes);
    if (rc != 0) {
        delete startInfo;
        return static_cast<uintptr_t>(-1);
    }
    return static_cast<uintptr_t>(thread);
}

void _endthread() {
    pthread_exit(nullptr);
}

HANDLE GetCurrentThread() {
    return kCurrentThread;
}

HANDLE GetCurrentProcess() {
    return kCurrentProcess;
}

BOOL SetThreadPriority(HANDLE thread, int priority) {
    if (thread != kCurrentThread) return FALSE;
    if (priority < THREAD_PRIORITY_IDLE || priority > THREAD_PRIORITY_TIME_CRITICAL) return FALSE;
    t_priority = priority;
    // Map onto this thread's nice value. Raising it may be refused without privilege;
    // that is fine: the priority is a wish, and the call still succeeds as on Windows.
    int nice = 0;
    if (priority >= THREAD_PRIORITY_TIME_CRITICAL) nice = -5;
    else if (priority > 0) nice = -priority;
    else nice = std::min(-priority, 19);
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), nice);
    return TRUE;
}

int GetThreadPriority(HANDLE thread) {
    return thread == kCurrentThread ? t_priority : THREAD_PRIORITY_NORMAL;
}

// ---------------------------------------------------------------------------
// Virtual memory
// ---------------------------------------------------------------------------
namespace {

struct Allocations {
    std::mutex mutex;
    std::map<void*, size_t> sizes;
    SIZE_T workingSetMin = 200 * 4096;
    SIZE_T workingSetMax = 1380 * 4096;
};

Allocations& Memory() {
    static Allocations* allocations = new Allocations;
    return *allocations;
}

size_t RoundToPages(size_t size) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    return (size + page - 1) / page * page;
}

}  // namespace

LPVOID VirtualAlloc(LPVOID address, SIZE_T size, DWORD allocationType, DWORD protect) {
    // Only fresh allocations are supported: the plug-in reserves and commits in one call.
    if (address != nullptr || size == 0 || (allocationType & MEM_COMMIT) == 0 || protect != PAGE_READWRITE)
        return nullptr;
    const size_t rounded = RoundToPages(size);
    void* block = mmap(nullptr, rounded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) return nullptr;
    Allocations& memory = Memory();
    std::lock_guard<std::mutex> lock(memory.mutex);
    memory.sizes[block] = rounded;
    return block;
}

BOOL VirtualFree(LPVOID address, SIZE_T size, DWORD freeType) {
    if (freeType != MEM_RELEASE || size != 0) return FALSE;  // Windows requires size 0 on release
    Allocations& memory = Memory();
    size_t length;
    {
        std::lock_guard<std::mutex> lock(memory.mutex);
        auto it = memory.sizes.find(address);
        if (it == memory.sizes.end()) return FALSE;
        length = it->second;
        memory.sizes.erase(it);
    }
    return munmap(address, length) == 0 ? TRUE : FALSE;
}

BOOL VirtualLock(LPVOID address, SIZE_T size) {
    if (address == nullptr || size == 0) return FALSE;
    return mlock(address, size) == 0 ? TRUE : FALSE;
}

BOOL VirtualUnlock(LPVOID address, SIZE_T size) {
    if (address == nullptr || size == 0) return FALSE;
    return munlock(address, size) == 0 ? TRUE : FALSE;
}

BOOL GetProcessWorkingSetSize(HANDLE process, SIZE_T* minimum, SIZE_T* maximum) {
    if (process != kCurrentProcess || minimum == nullptr || maximum == nullptr) return FALSE;
    Allocations& memory = Memory();
    std::lock_guard<std::mutex> lock(memory.mutex);
    *minimum = memory.workingSetMin;
    *maximum = memory.workingSetMax;
    return TRUE;
}

BOOL SetProcessWorkingSetSize(HANDLE process, SIZE_T minimum, SIZE_T maximum) {
    if (process != kCurrentProcess || minimum > maximum) return FALSE;
    Allocations& memory = Memory();
    std::lock_guard<std::mutex> lock(memory.mutex);
    memory.workingSetMin = minimum;
    memory.workingSetMax = maximum;
    return TRUE;
}
