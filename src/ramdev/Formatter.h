#pragma once

#include "Caller.h"
#include "DiskRecord.h"

#include <string>
#include <vector>

// Writes the ext4 file system of a new disk, made for memory: a small journal, nothing written
// that the memory already holds as zeros, no reserved blocks, the root folder the caller's.
namespace Formatter {

// Longest label ext4 keeps, in bytes.
constexpr size_t labelLimitBytes = 16;

// The mkfs command line for the disk (without the program), for tests and for running it.
std::vector<std::string> arguments(const DiskRecord &record, const Caller &caller);

// Runs mkfs with its output kept in `words` (it is handed to the caller later, never written
// while the lock is held). 0 done, 1 mkfs failed.
int format(const DiskRecord &record, const Caller &caller, std::string &words,
           std::string &problem);

} // namespace Formatter
