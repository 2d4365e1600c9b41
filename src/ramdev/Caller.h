#pragma once

#include <string>
#include <sys/types.h>

// Who asked for the work. The helper runs as root: directly for root, through pkexec for
// everyone else. The caller comes from pkexec's PKEXEC_UID, trusted only because the real user
// is root (an ordinary user cannot set up that environment for a root process); never from an
// argument.
struct Caller
{
    uid_t uid = 0;
    // The owner given to a new file system's root folder: the caller with their primary group
    // (root working for a user through sudo gives it to that user).
    uid_t ownerUid = 0;
    gid_t ownerGid = 0;

    bool isRoot() const { return uid == 0; }
    // Whether the caller may act on a disk owned by `owner`.
    bool mayActOn(uid_t owner) const { return isRoot() || owner == uid; }

    // Nothing when the helper does not run with root's privileges; `problem` then says why.
    static bool identify(Caller &caller, std::string &problem);
};
