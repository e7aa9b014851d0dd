#include "digitalio/FormatList.h"

#include <cstdint>

namespace {

bool Before(ULONG a, ULONG b) {
    return static_cast<int32_t>(a - b) < 0;
}

}  // namespace

FormatList::FormatList() = default;
FormatList::~FormatList() = default;

LONG FormatList::InitFormatList(DIOFormat** record) {
    std::lock_guard<std::mutex> lock(mutex_);
    previousRecords_ = std::move(records_);
    records_.clear();
    pending_.clear();
    records_.push_back(std::make_unique<DIOFormat>(4));
    current_ = records_.back().get();
    initialised_ = true;
    if (record != nullptr) *record = current_;
    return 0;
}

LONG FormatList::AddFormatChange(DIOFormat** record, ULONG position) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!initialised_) return 1;
    if (!pending_.empty()) {
        const Pending& newest = pending_.back();
        if (newest.position == position) {
            if (record != nullptr) *record = newest.record;
            return 0;
        }
        if (Before(position, newest.position)) return 1;
    }
    if (pending_.size() >= kMaxPending) return 1;
    const DIOFormat* newestRecord = pending_.empty() ? current_ : pending_.back().record;
    auto created = std::make_unique<DIOFormat>(newestRecord->MaxParameters());
    *created = *newestRecord;
    created->SetFormatChange(0);
    created->SetFormatChangeBreak(0);
    pending_.push_back({position, created.get()});
    if (record != nullptr) *record = created.get();
    records_.push_back(std::move(created));
    return 0;
}

LONG FormatList::GetNextFormatByteCount(ULONG end, DIOFormat** format, ULONG* next) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (format != nullptr) *format = current_;
    if (next != nullptr) {
        *next = end;
        if (!pending_.empty() && Before(pending_.front().position, end)) *next = pending_.front().position;
    }
    return 0;
}

LONG FormatList::ACK(ULONG position, bool dataOnly) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (pending_.empty()) return 0;
    const Pending& oldest = pending_.front();
    if (dataOnly) return Before(oldest.position, position) ? 1 : 0;
    if (oldest.position == position) {
        current_ = oldest.record;
        pending_.pop_front();
    }
    return 0;
}

size_t FormatList::PendingCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pending_.size();
}
