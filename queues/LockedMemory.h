// Blocks for the video rings: committed, page-aligned virtual memory pinned in
// physical memory after the process working set was enlarged by its size, so that
// the capture and record threads always touch resident memory.
#pragma once

#include "windows.h"

// Null when the memory cannot be had. Enlarging the working set and locking are
// wishes, not conditions: a block that could not be locked is still returned.
void* AllocateLockedBlock(SIZE_T size);
// Unlocks and frees a block from AllocateLockedBlock, and gives its size back to the
// working set. Null does nothing.
void ReleaseLockedBlock(void* block, SIZE_T size);
