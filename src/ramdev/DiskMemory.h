#pragma once

#include "DiskRecord.h"

#include <cstdint>

// The memory a disk holds and the memory it may still take, as the kernel reports it for the
// disk itself, never from what its file system says is in use (space can be marked used without
// touching any memory).
namespace DiskMemory {

// What the disk holds in memory now; false when the kernel cannot say (a block disk's memory
// file is held by its loop device alone).
bool held(const DiskRecord &record, uint64_t &bytes);
// What the disk may still take on top of what it holds: its size less what it holds, or its
// whole size when that cannot be measured; 0 for a disk that holds no memory any more.
uint64_t mayStillTake(const DiskRecord &record);
// Whether the disk still exists on the system (its device bound, its volume mounted).
bool exists(const DiskRecord &record);

} // namespace DiskMemory
