#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The helper's own view of the mount table (/proc/self/mountinfo).
namespace MountTable {

struct Entry
{
    uint64_t id = 0;
    std::string mountPoint; // unescaped
    std::string fsType;
    std::string source;
    uint64_t device = 0; // the superblock's device number (st_dev of its files)
};

std::vector<Entry> read();
// The mount with this id, if it still exists.
bool find(uint64_t id, Entry &entry);

} // namespace MountTable
