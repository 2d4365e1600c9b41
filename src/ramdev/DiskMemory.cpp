#include "DiskMemory.h"

#include "LoopDevice.h"
#include "SafeMount.h"
#include "ZramDevice.h"

namespace DiskMemory {

bool exists(const DiskRecord &record)
{
    switch (record.kind) {
    case DiskRecord::Kind::Block:
        return LoopDevice::isBoundTo(record);
    case DiskRecord::Kind::Compressed:
        return ZramDevice::isClaimed(record);
    case DiskRecord::Kind::Memory:
        return SafeMount::isMounted(record);
    }
    return false;
}

bool held(const DiskRecord &record, uint64_t &bytes)
{
    ZramDevice::Usage usage;
    switch (record.kind) {
    case DiskRecord::Kind::Block:
        return false;
    case DiskRecord::Kind::Compressed:
        if (!ZramDevice::isClaimed(record) || !ZramDevice::usage(record.number, usage))
            return false;
        bytes = usage.memoryBytes;
        return true;
    case DiskRecord::Kind::Memory:
        return SafeMount::memoryHeld(record, bytes);
    }
    return false;
}

uint64_t mayStillTake(const DiskRecord &record)
{
    if (!exists(record))
        return 0;
    const uint64_t most = record.kind == DiskRecord::Kind::Compressed
                              ? ZramDevice::limitFor(record.bytes())
                              : record.bytes();
    uint64_t bytes = 0;
    if (!held(record, bytes))
        return most;
    return most > bytes ? most - bytes : 0;
}

} // namespace DiskMemory
