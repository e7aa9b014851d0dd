#include "queues/LockedMemory.h"

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
