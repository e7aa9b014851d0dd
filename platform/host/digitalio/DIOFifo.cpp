#include "digitalio/DIOFifo.h"

#include "hostcore/HostLog.h"

#include <algorithm>
#include <cstring>

DIOFifo::DIOFifo() = default;
DIOFifo::~DIOFifo() = default;

bool DIOFifo::InitializeFifo(void* buffer, unsigned size, unsigned reserved, unsigned blockSize, bool gaps,
                             bool wholeGives, const char* name, bool trace) {
    if (buffer == nullptr || size == 0 || size >= 0x80000000u || reserved != 0) return false;
    if (blockSize > 1 && size % blockSize != 0) return false;
    buffer_ = static_cast<unsigned char*>(buffer);
    size_ = size;
    gaps_ = gaps;
    wholeGives_ = wholeGives;
    name_ = name != nullptr ? name : "";
    ResetFifo();
    if (trace) dprintf("DIOFifo %s: %u bytes%s\n", name_.c_str(), size, gaps ? ", gap managed" : "");
    return true;
}

void DIOFifo::ResetFifo() {
    // Only while both sides are idle; seq_cst so that whichever side runs next sees it.
    give_.store(0);
    take_.store(0);
    gap_.store(0);
    giveIndex_ = 0;
    takeIndex_ = 0;
    lastGiveAnswer_ = 0;
    lastTakeAnswer_ = 0;
    pendingGap_ = 0;
}

ULONG DIOFifo::GetGivePos() const {
    return give_.load(std::memory_order_acquire);
}

ULONG DIOFifo::GetTakePos() const {
    return take_.load(std::memory_order_acquire);
}

ULONG DIOFifo::GetQDepth() const {
    const uint32_t take = take_.load(std::memory_order_acquire);
    return give_.load(std::memory_order_acquire) - take;
}

ULONG DIOFifo::GetQAvail() const {
    return size_ - GetQDepth();
}

bool DIOFifo::GapAhead(uint32_t take, uint32_t* start, uint32_t* length) const {
    const uint64_t gap = gap_.load(std::memory_order_acquire);
    *start = static_cast<uint32_t>(gap >> 32);
    *length = static_cast<uint32_t>(gap);
    if (*length == 0) return false;
    // The gap is ahead while the take position has not passed its end.
    return static_cast<int32_t>((*start + *length) - take) > 0;
}

ULONG DIOFifo::GetQDepthWithoutGap() const {
    const uint32_t take = take_.load(std::memory_order_acquire);
    const uint32_t give = give_.load(std::memory_order_acquire);
    uint32_t start, length;
    uint32_t depth = give - take;
    // Only a published gap (wholly before the give position) is in the depth.
    if (GapAhead(take, &start, &length) && static_cast<int32_t>(give - (start + length)) >= 0) {
        uint32_t inDepth = std::min<uint32_t>(length, (start + length) - take);
        depth -= inDepth;
    }
    return depth;
}

LONG DIOFifo::ReqGivePtr(LONG len, LONG min, unsigned char** data) {
    if (data != nullptr) *data = nullptr;
    lastGiveAnswer_ = 0;
    pendingGap_ = 0;
    if (buffer_ == nullptr || len < 0 || data == nullptr) return -1;
    if (len == 0) return 0;
    const uint32_t want = static_cast<uint32_t>(len);
    const uint32_t free = size_ - (give_.load(std::memory_order_relaxed) - take_.load(std::memory_order_acquire));
    const uint32_t toEnd = size_ - giveIndex_;
    const uint32_t contiguous = std::min(free, toEnd);
    uint32_t least;
    if (gaps_) least = (wholeGives_ || min <= 0) ? want : static_cast<uint32_t>(min);
    else least = min <= 0 ? 1u : static_cast<uint32_t>(min);

    if (contiguous >= least) {
        lastGiveAnswer_ = static_cast<LONG>(std::min(want, contiguous));
        *data = buffer_ + giveIndex_;
        return lastGiveAnswer_;
    }
    if (gaps_ && free > toEnd) {
        const uint32_t atStart = free - toEnd;
        if (atStart >= least) {
            pendingGap_ = toEnd;
            lastGiveAnswer_ = static_cast<LONG>(std::min(want, atStart));
            *data = buffer_;
            return lastGiveAnswer_;
        }
    }
    return 0;
}

bool DIOFifo::AckGivePtr(LONG n) {
    if (buffer_ == nullptr || n < 0 || n > lastGiveAnswer_) return false;
    uint32_t give = give_.load(std::memory_order_relaxed);
    if (n > 0 && pendingGap_ > 0) {
        gap_.store(PackGap(give, pendingGap_), std::memory_order_release);
        give += pendingGap_;
        giveIndex_ = 0;
    }
    giveIndex_ += static_cast<uint32_t>(n);
    if (giveIndex_ == size_) giveIndex_ = 0;
    give_.store(give + static_cast<uint32_t>(n), std::memory_order_release);
    lastGiveAnswer_ = 0;
    pendingGap_ = 0;
    return true;
}

bool DIOFifo::WriteBytesInto(const unsigned char* source, ULONG n, bool contiguous) {
    if (buffer_ == nullptr || source == nullptr || n > size_) return false;
    if (n == 0) return true;
    if (contiguous) {
        unsigned char* region = nullptr;
        LONG got = ReqGivePtr(static_cast<LONG>(n), static_cast<LONG>(n), &region);
        if (got != static_cast<LONG>(n)) {
            lastGiveAnswer_ = 0;
            pendingGap_ = 0;
            return false;
        }
        std::memcpy(region, source, n);
        return AckGivePtr(got);
    }
    if (GetQAvail() < n) return false;
    const uint32_t first = std::min<uint32_t>(n, size_ - giveIndex_);
    std::memcpy(buffer_ + giveIndex_, source, first);
    std::memcpy(buffer_, source + first, n - first);
    giveIndex_ = (giveIndex_ + n) % size_;
    give_.store(give_.load(std::memory_order_relaxed) + n, std::memory_order_release);
    lastGiveAnswer_ = 0;
    pendingGap_ = 0;
    return true;
}

void DIOFifo::SkipGapAtTake() {
    const uint32_t take = take_.load(std::memory_order_relaxed);
    uint32_t start, length;
    if (GapAhead(take, &start, &length) && take == start &&
        static_cast<int32_t>(give_.load(std::memory_order_acquire) - (start + length)) >= 0) {
        takeIndex_ = 0;
        take_.store(take + length, std::memory_order_release);
    }
}

LONG DIOFifo::ReqTakePtr(LONG len, unsigned char** data) {
    if (data != nullptr) *data = nullptr;
    lastTakeAnswer_ = 0;
    if (buffer_ == nullptr || len < 0 || data == nullptr) return -1;
    SkipGapAtTake();
    const uint32_t take = take_.load(std::memory_order_relaxed);
    const uint32_t depth = give_.load(std::memory_order_acquire) - take;
    uint32_t run = std::min(depth, size_ - takeIndex_);
    uint32_t start, length;
    if (GapAhead(take, &start, &length) && static_cast<int32_t>(start - take) >= 0)
        run = std::min(run, start - take);
    const uint32_t n = std::min(run, static_cast<uint32_t>(len));
    if (n == 0) return 0;
    *data = buffer_ + takeIndex_;
    lastTakeAnswer_ = static_cast<LONG>(n);
    return lastTakeAnswer_;
}

bool DIOFifo::AckTakePtr(LONG n) {
    if (buffer_ == nullptr || n < 0 || n > lastTakeAnswer_) return false;
    takeIndex_ += static_cast<uint32_t>(n);
    if (takeIndex_ == size_) takeIndex_ = 0;
    take_.store(take_.load(std::memory_order_relaxed) + static_cast<uint32_t>(n), std::memory_order_release);
    lastTakeAnswer_ = 0;
    return true;
}

bool DIOFifo::CopyBytesFrom(unsigned char* destination, ULONG n) {
    if (buffer_ == nullptr || destination == nullptr) return false;
    if (GetQDepthWithoutGap() < n) return false;
    ULONG copied = 0;
    while (copied < n) {
        unsigned char* region = nullptr;
        LONG got = ReqTakePtr(static_cast<LONG>(n - copied), &region);
        if (got <= 0) return false;  // cannot happen: the bytes were counted above
        std::memcpy(destination + copied, region, static_cast<size_t>(got));
        AckTakePtr(got);
        copied += static_cast<ULONG>(got);
    }
    return true;
}

bool DIOFifo::CopyAChunkFrom(unsigned char* destination, ULONG n) {
    return CopyBytesFrom(destination, n);
}
