#pragma once

#include "Caller.h"

#include <string>

// A folder path of the caller's, resolved with the caller's own file-system identity, one
// component at a time, never through a symbolic link, and pinned by descriptor: the helper sees
// exactly what the caller could see, learns nothing of folders the caller may not enter, and
// keeps working on the same folder whatever is renamed meanwhile. Resolving can wait on a file
// system the caller controls, so it is done before the lock is taken and under a time limit.
namespace CallerPath {

struct Pinned
{
    std::string path; // cleaned: absolute, no empty, "." or ".." parts
    std::string name; // its last component
    int parent = -1;  // O_PATH descriptor of the folder above it
    int folder = -1;  // O_PATH descriptor of the folder itself; -1 when it does not exist yet
    // Made by the helper in the caller's media folder (MediaFolder): root's, and removed by the
    // helper again.
    bool helperOwned = false;
};

// An absolute path with empty, "." and ".." parts refused and doubled slashes removed.
bool clean(const std::string &path, std::string &cleaned, std::string &problem);

// Resolves `path` as `caller`. A missing last folder is not an error (folder stays -1).
bool pin(const Caller &caller, const std::string &path, Pinned &pinned, std::string &problem);
void release(Pinned &pinned);

// Whether the file system under `fd` is one where user files live (ext2/3/4, xfs, btrfs, tmpfs,
// f2fs and the like); pseudo file systems (proc, sysfs, cgroup, devpts, ...), network and user
// space (FUSE) file systems are refused. `problem` names it when refused.
bool onUserFileSystem(int fd, const std::string &path, std::string &problem);

// Runs `work` with the caller's file-system identity (uid, gid and groups), then root's again.
template <typename Work> auto asCaller(const Caller &caller, Work work) -> decltype(work());

// Sets (true) or drops (false) the caller's file-system identity.
void becomeCaller(const Caller &caller, bool on);

} // namespace CallerPath

template <typename Work>
auto CallerPath::asCaller(const Caller &caller, Work work) -> decltype(work())
{
    becomeCaller(caller, true);
    struct Back
    {
        const Caller &caller;
        ~Back() { becomeCaller(caller, false); }
    } back{caller};
    return work();
}
