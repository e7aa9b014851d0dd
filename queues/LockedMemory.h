// Blocks for the video rings: committed, page-aligned virtual memory pinned in
// physical memory after the process working set was enlarged by its size, so that
// the capture and record threads always touch resident memory.
#pragma once

#include "windows.h"

#include <cstdint>

namespace dv1394 {

// Null when the memory cannot be had. Enlarging the working set and locking are
// wishes, not conditions: a block that could not be locked is still returned.
void* AllocateLockedBlock(SIZE_T size);
// Unlocks and frees a block from AllocateLockedBlock, and gives its size back to the
// working set. Null does nothing.
void ReleaseLockedBlock(void* block, SIZE_T size);

// How a video ring sits in its locked block: page and block sizes become masks, so
// each is rounded up to a power of two (sizes below 1 count as 512); the block is the
// requested size plus one granule (the larger of the two), so that the ring can start
// on a page boundary.
struct LockedRingPlan {
    int64_t page = 0;
    int64_t granularity = 0;
    LONG blockSize = 0;  // bytes to allocate
};
// False for a size outside (0, 1 GiB] or granules beyond 1 GiB.
bool PlanLockedRing(LONG size, LONG pageSize, LONG blockSize, LockedRingPlan* plan);
// The ring's start in an allocated block (page aligned), and in `usable` what is left
// after the alignment in whole granules (a frame size need not divide it).
BYTE* AlignLockedRing(void* block, const LockedRingPlan& plan, LONG* usable);

}  // namespace dv1394
