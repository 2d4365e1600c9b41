#pragma once

#include <cstdint>
#include <string>

// How much memory a new disk may claim, one rule for the whole machine: what the machine has
// available now, less a margin for everything else, less what every disk already made (of every
// user) may still take. Disks take their memory as they fill, so each alone could pass a check
// that several together exceed.
namespace MemoryBudget {

struct Figures
{
    uint64_t availableBytes = 0;
    uint64_t totalBytes = 0;
};

// Read from /proc/meminfo; false when it cannot be read.
bool read(Figures &figures);
// The margin kept free: 1/16 of the memory, between 64 MiB and 512 MiB.
uint64_t marginBytes(uint64_t totalBytes);
// Empty when a disk of `requestedBytes` fits, else one sentence for the user.
std::string refusal(uint64_t requestedBytes, uint64_t disksMayStillTakeBytes,
                    const Figures &figures);

} // namespace MemoryBudget
