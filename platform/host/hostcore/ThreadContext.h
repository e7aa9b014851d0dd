// Registry of the worker threads that are alive. Every thread the plug-in starts
// registers at its start and unregisters at its end, so a host (or a test) can see
// which workers are running.
#pragma once

#include <cstddef>

class ThreadContext {
public:
    static void Register();
    static void Unregister();
    // Number of registered threads right now.
    static size_t RegisteredCount();
    // True when the calling thread is registered.
    static bool IsRegistered();
};
