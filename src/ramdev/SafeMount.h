#pragma once

#include "CallerPath.h"
#include "DiskRecord.h"

#include <string>

class RecordStore;

// Mounting and unmounting on folders that an ordinary user controls. The folder was resolved
// and pinned as the caller before the lock was taken (CallerPath); here the checks and the
// mount act on those descriptors only, so a folder swapped for a link meanwhile can never lead
// the disk somewhere else, and nothing here waits on a file system the caller controls.
namespace SafeMount {

// Mounts the disk on the pinned folder, making the folder (as the caller) when it is missing.
// The mount is recorded in `store` before it is attached, so a run stopped at any instant leaves
// a record the next run can check. 0 done, 1 the system refused, 2 the folder is refused.
int mountDisk(const Caller &caller, CallerPath::Pinned &target, DiskRecord &record,
              RecordStore &store, std::string &problem);

// Pins the folder above the record's mount, as the caller, wherever the mount is now. Done
// before the lock is taken. False when the disk is not mounted (`problem` empty) or the folder
// cannot be reached (`problem` says why).
bool pinMountParent(const Caller &caller, const DiskRecord &record, CallerPath::Pinned &pinned,
                    std::string &problem);

// Unmounts the recorded mount through the pinned parent, only while it is the topmost volume
// on its folder: a volume someone stacked on top is never unmounted. 0 done, 1 refused or busy.
int unmountDisk(const DiskRecord &record, const CallerPath::Pinned &parent, std::string &problem);

// Whether the record's mount still exists.
bool isMounted(const DiskRecord &record);
// What a mounted memory disk holds in memory, in bytes; false when not known.
bool memoryHeld(const DiskRecord &record, uint64_t &bytes);

} // namespace SafeMount
