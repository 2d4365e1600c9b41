#pragma once

#include "DiskRecord.h"

#include <cstdint>
#include <functional>
#include <string>

// Loop devices bound to memory files.
namespace LoopDevice {

// The name every memory file of ours carries; the kernel shows it as "/memfd:<name>".
constexpr char memoryFileName[] = "vellumar-ramdisk";

struct Attached
{
    int number = -1;
    int fd = -1; // the open device, closed with letGo()
    uint64_t rdev = 0;
    uint64_t memoryDevice = 0;
    uint64_t memoryInode = 0;
};

// A new memory file of `bytes` bound to a free loop device. `beforeBinding` is told the device
// and the memory file before they are bound (to record them first); false from it stops.
bool attachMemory(uint64_t bytes, Attached &attached,
                  const std::function<bool(const Attached &)> &beforeBinding, std::string &problem);
// Closes the device just attached, leaving it bound.
void letGo(Attached &attached);
// The device number of /dev/loopN when it is a loop device node.
bool nodeNumber(int number, uint64_t &rdev);

// Whether /dev/loopN is still the recorded node bound to the recorded memory file.
bool isBoundTo(const DiskRecord &record);
// The memory file's identity behind /dev/loopN when it is one of ours: false otherwise.
bool ourMemoryFile(int number, uint64_t &memoryDevice, uint64_t &memoryInode);

// Releases the device and with it the memory, only while nobody holds it (a mounted volume
// does). Exit-status style: 0 done, 1 busy or refused by the system, 2 not the recorded disk.
int detach(const DiskRecord &record, std::string &problem);

} // namespace LoopDevice
