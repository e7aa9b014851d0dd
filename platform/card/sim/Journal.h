// A bounded record of every card and deck-control call, oldest entries forgotten
// first, so that tests and the command-line host can see exactly what was sent.
// Polling loops can be folded: a call identical to the entry before it (same
// function, arguments, outputs, result and frames) then only counts a repeat on that
// entry. Every call still gets its own sequence number. Not locked: the world's lock
// guards it.
#pragma once

#include "sim/SimTypes.h"

#include <deque>
#include <vector>

namespace cardsim {

class Journal {
public:
    static constexpr size_t kDefaultCapacity = 65536;

    // Appends an entry, giving it the next sequence number; returns that number.
    uint64_t Add(JournalEntry entry);

    // Entries holding a call numbered above `after`, oldest first (a folded entry is
    // returned whole).
    std::vector<JournalEntry> Since(uint64_t after) const;
    // The sequence number of the newest entry (0 when none was ever added).
    uint64_t LastSequence() const { return next_ - 1; }

    void Clear();
    // At least 1; older entries beyond the capacity are dropped at once.
    void SetCapacity(size_t capacity);
    size_t Capacity() const { return capacity_; }
    void SetFoldsRepeats(bool fold) { foldRepeats_ = fold; }

private:
    std::deque<JournalEntry> entries_;
    size_t capacity_ = kDefaultCapacity;
    uint64_t next_ = 1;
    bool foldRepeats_ = false;
};

}  // namespace cardsim
