#include "sim/Journal.h"

#include <algorithm>

namespace cardsim {

namespace {
bool SameCall(const JournalEntry& a, const JournalEntry& b) {
    return a.function == b.function && a.arguments == b.arguments && a.result == b.result && a.outputs == b.outputs &&
           a.request == b.request && a.reply == b.reply && a.lastError == b.lastError;
}
uint64_t LastCallOf(const JournalEntry& e) { return e.sequence + e.repeats - 1; }
}  // namespace

uint64_t Journal::Add(JournalEntry entry) {
    entry.lastTimeMicros = entry.timeMicros;
    entry.repeats = 1;
    if (foldRepeats_ && !entries_.empty() && SameCall(entries_.back(), entry)) {
        ++entries_.back().repeats;
        entries_.back().lastTimeMicros = entry.timeMicros;
        return next_++;
    }
    entry.sequence = next_++;
    entries_.push_back(std::move(entry));
    while (entries_.size() > capacity_) entries_.pop_front();
    return entries_.back().sequence;
}

std::vector<JournalEntry> Journal::Since(uint64_t after) const {
    // Entries are in sequence order: find the first whose last call is after `after`.
    auto first = std::upper_bound(entries_.begin(), entries_.end(), after,
                                  [](uint64_t a, const JournalEntry& e) { return a < LastCallOf(e); });
    return std::vector<JournalEntry>(first, entries_.end());
}

void Journal::Clear() { entries_.clear(); }

void Journal::SetCapacity(size_t capacity) {
    capacity_ = std::max<size_t>(capacity, 1);
    while (entries_.size() > capacity_) entries_.pop_front();
}

}  // namespace cardsim
