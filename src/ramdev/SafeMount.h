#pragma once

#include "Caller.h"
#include "DiskRecord.h"

#include <string>

// Mounting and unmounting on folders that an ordinary user controls. A path is resolved once,
// without following symbolic links, and the checks and the mount act on that descriptor, so a
// folder swapped for a link meanwhile can never lead the disk somewhere else.
namespace SafeMount {

// An absolute path with empty, "." and ".." parts refused and doubled slashes removed.
bool cleanPath(const std::string &path, std::string &cleaned, std::string &problem);

// Mounts the recorded (formatted) disk on `path`, making the last folder when it is missing and
// its parent belongs to the caller. Fills the record's mount fields. 0 done, 1 the system
// refused, 2 the folder is refused.
int mountDisk(const Caller &caller, const std::string &path, DiskRecord &record,
              std::string &problem);

// Unmounts the recorded mount, only while it is the topmost volume on its folder: a volume
// someone stacked on top is never unmounted. 0 done (or nothing mounted), 1 refused or busy.
int unmountDisk(DiskRecord &record, std::string &problem);

// Whether the record's mount still exists.
bool isMounted(const DiskRecord &record);
// Bytes in use on the mounted disk, 0 when unknown.
uint64_t usedBytes(const DiskRecord &record);

} // namespace SafeMount
