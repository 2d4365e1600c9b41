#pragma once

#include "DiskRecord.h"

#include <cstdint>
#include <string>

// Compressed memory block devices (zram). The helper only ever acts on devices it claimed
// itself and recorded: a zram device someone else set up (swap on zram0, say) is never touched.
namespace ZramDevice {

struct Usage
{
    uint64_t dataBytes = 0;   // what was written, before compression
    uint64_t memoryBytes = 0; // the memory it takes now, compressed, with the allocator's own
    uint64_t limitBytes = 0;  // the most it may take
};

// Whether the kernel can make compressed disks (loads the module when it is missing);
// `problem` says why not.
bool available(std::string &problem);
// Whether claimed device `number` can compress with `algorithm`.
bool offers(int number, const std::string &algorithm);
// Claims a new device. `number` is set as soon as the device exists, so the caller can record
// the claim before the device takes any memory with configure().
bool claim(int &number, std::string &problem);
// Sets the compression (empty: zstd where the kernel has it, else lz4; set to what was
// chosen), the size and the memory limit of a claimed device.
bool configure(int number, std::string &algorithm, uint64_t bytes, uint64_t limitBytes,
               std::string &problem);
// The memory limit for a disk of `bytes`: its size and what the allocator needs beside it.
uint64_t limitFor(uint64_t bytes);
// Whether device `number` is still the claimed, configured device of the record.
bool isClaimed(const DiskRecord &record);
bool usage(int number, Usage &usage);
// Gives the memory back and removes the device. 0 done, 1 busy or refused.
int release(int number, std::string &problem);

} // namespace ZramDevice
