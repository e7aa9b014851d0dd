#include "queues/LockedMemory.h"

#include <algorithm>

namespace dv1394 {

namespace {

constexpr LONG kDefaultPageSize = 512;
constexpr int64_t kMaxRingBytes = int64_t{1} << 30;

int64_t PowerOfTwoAtLeast(LONG size) {
    if (size < 1) return kDefaultPageSize;
    int64_t power = 1;
    while (power < size) power <<= 1;
    return power;
}

}  // namespace

void* AllocateLockedBlock(SIZE_T size) {
    void* block = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (block == nullptr) return nullptr;
    SIZE_T minimum = 0;
    SIZE_T maximum = 0;
    GetProcessWorkingSetSize(GetCurrentProcess(), &minimum, &maximum);
    SetProcessWorkingSetSize(GetCurrentProcess(), minimum + size, maximum + size);
    VirtualLock(block, size);
    return block;
}

void ReleaseLockedBlock(void* block, SIZE_T size) {
    if (block == nullptr) return;
    SIZE_T minimum = 0;
    SIZE_T maximum = 0;
    GetProcessWorkingSetSize(GetCurrentProcess(), &minimum, &maximum);
    VirtualUnlock(block, size);
    VirtualFree(block, 0, MEM_RELEASE);
    SetProcessWorkingSetSize(GetCurrentProcess(), minimum >= size ? minimum - size : 0,
                             maximum >= size ? maximum - size : 0);
}

bool PlanLockedRing(LONG size, LONG pageSize, LONG blockSize, LockedRingPlan* plan) {
    if (size <= 0 || size > kMaxRingBytes) return false;
    plan->page = PowerOfTwoAtLeast(pageSize);
    plan->granularity = std::max(plan->page, PowerOfTwoAtLeast(blockSize));
    if (plan->granularity > kMaxRingBytes) return false;
    plan->blockSize = static_cast<LONG>(plan->granularity + size);
    return true;
}

BYTE* AlignLockedRing(void* block, const LockedRingPlan& plan, LONG* usable) {
    const uintptr_t start = reinterpret_cast<uintptr_t>(block);
    const uintptr_t page = static_cast<uintptr_t>(plan.page);
    const uintptr_t aligned = (start + page - 1) & ~(page - 1);
    *usable = static_cast<LONG>((static_cast<int64_t>(plan.blockSize) - static_cast<int64_t>(aligned - start)) &
                                ~(plan.granularity - 1));
    return reinterpret_cast<BYTE*>(aligned);
}

}  // namespace dv1394
