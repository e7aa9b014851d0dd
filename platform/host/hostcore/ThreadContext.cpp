#include "hostcore/ThreadContext.h"

#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct Registry {
    std::mutex mutex;
    std::vector<std::thread::id> threads;
};

Registry& Threads() {
    static Registry* registry = new Registry;
    return *registry;
}

}  // namespace

void ThreadContext::Register() {
    Registry& registry = Threads();
    std::lock_guard<std::mutex> lock(registry.mutex);
    registry.threads.push_back(std::this_thread::get_id());
}

void ThreadContext::Unregister() {
    Registry& registry = Threads();
    std::lock_guard<std::mutex> lock(registry.mutex);
    auto it = std::find(registry.threads.begin(), registry.threads.end(), std::this_thread::get_id());
    if (it != registry.threads.end()) registry.threads.erase(it);
}

size_t ThreadContext::RegisteredCount() {
    Registry& registry = Threads();
    std::lock_guard<std::mutex> lock(registry.mutex);
    return registry.threads.size();
}

bool ThreadContext::IsRegistered() {
    Registry& registry = Threads();
    std::lock_guard<std::mutex> lock(registry.mutex);
    return std::find(registry.threads.begin(), registry.threads.end(), std::this_thread::get_id()) !=
           registry.threads.end();
}
