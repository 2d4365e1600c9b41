#pragma once

#include "DiskRecord.h"

#include <cstdint>
#include <string>

// Loop devices bound to memory files.
namespace LoopDevice {

// The name every memory file of ours carries; the kernel shows it as "/memfd:<name>".
constexpr char memoryFileName[] = "vellumar-ramdisk";

struct Attached
{
    int number = -1;
    int fd = -1; // the open device, for releasing it again if the answer cannot be given
    uint64_t rdev = 0;
    uint64_t memoryDevice = 0;
    uint64_t memoryInode = 0;
};

// A new memory file of `bytes` bound to a free loop device.
bool attachMemory(uint64_t bytes, Attached &attached, std::string &problem);
// Unbinds a device just attached through `attached.fd` and closes it.
void release(Attached &attached);

// Whether /dev/loopN is still the recorded node bound to the recorded memory file.
bool isBoundTo(const DiskRecord &record);
// The memory file's identity behind /dev/loopN when it is one of ours: false otherwise.
bool ourMemoryFile(int number, uint64_t &memoryDevice, uint64_t &memoryInode);

// Releases the device and with it the memory, only while nobody holds it (a mounted volume
// does). Exit-status style: 0 done, 1 busy or refused by the system, 2 not the recorded disk.
int detach(const DiskRecord &record, std::string &problem);

} // namespace LoopDevice
