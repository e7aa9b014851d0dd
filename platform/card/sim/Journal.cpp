#include "sim/Journal.h"

#include <algorithm>

namespace cardsim {

uint64_t Journal::Add(JournalEntry entry) {
    entry.sequence = next_++;
    entries_.push_back(std::move(entry));
    while (entries_.size() > capacity_) entries_.pop_front();
    return entries_.back().sequence;
}

std::vector<JournalEntry> Journal::Since(uint64_t after) const {
    // Sequence numbers rise by one, so the first wanted entry is found by arithmetic.
    std::vector<JournalEntry> out;
    if (entries_.empty() || entries_.back().sequence <= after) return out;
    const uint64_t first = entries_.front().sequence;
    const size_t skip = after >= first ? static_cast<size_t>(after - first + 1) : 0;
    out.assign(entries_.begin() + static_cast<std::ptrdiff_t>(skip), entries_.end());
    return out;
}

void Journal::Clear() { entries_.clear(); }

void Journal::SetCapacity(size_t capacity) {
    capacity_ = std::max<size_t>(capacity, 1);
    while (entries_.size() > capacity_) entries_.pop_front();
}

}  // namespace cardsim
