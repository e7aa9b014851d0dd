// One card or deck-control call: holds the world's lock for the call, brings the
// world up to now, and on the way out writes the call, its arguments, outputs and
// result into the journal.
#pragma once

#include "sim/World.h"

#include <initializer_list>
#include <mutex>
#include <type_traits>

namespace cardsim {

class SimCall {
public:
    SimCall(const char* function, std::initializer_list<int64_t> arguments);
    ~SimCall();
    SimCall(const SimCall&) = delete;
    SimCall& operator=(const SimCall&) = delete;

    World& world() { return world_; }
    JournalEntry& entry() { return entry_; }

    // Notes the result for the journal and hands it back.
    template <typename T>
    T Return(T value) {
        if constexpr (std::is_pointer_v<T>) entry_.result = value != nullptr ? 1 : 0;
        else entry_.result = static_cast<int64_t>(value);
        return value;
    }
    void Output(int64_t value) { entry_.outputs.push_back(value); }
    // True when a fault refuses this call: the card's last error is set and the caller
    // returns its failure result without changing anything.
    bool Refused();

private:
    World& world_;
    std::lock_guard<std::mutex> lock_;
    JournalEntry entry_;
};

// 1 for a non-null pointer argument, 0 for null (how the journal shows pointers).
inline int64_t PointerArgument(const void* p) { return p != nullptr ? 1 : 0; }

}  // namespace cardsim
