#include "Caller.h"

#include "Text.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace {

bool userFromEnvironment(const char *name, uint64_t &uid)
{
    const char *value = std::getenv(name);
    return value && Text::parseUnsigned(value, uid) && uid < uint64_t(uid_t(-1));
}

gid_t primaryGroup(uid_t uid)
{
    const passwd *entry = getpwuid(uid);
    return entry ? entry->pw_gid : gid_t(uid);
}

} // namespace

bool Caller::identify(Caller &caller, std::string &problem)
{
    if (getuid() != 0 || geteuid() != 0) {
        problem = "this helper works only as root; ordinary users reach it through pkexec";
        return false;
    }
    uint64_t uid = 0;
    if (userFromEnvironment("PKEXEC_UID", uid)) {
        caller.uid = uid_t(uid);
        caller.ownerUid = caller.uid;
        caller.ownerGid = primaryGroup(caller.uid);
        return true;
    }
    caller.uid = 0;
    caller.ownerUid = 0;
    caller.ownerGid = 0;
    // Root acting for the user behind sudo: the new disk's files belong to that user.
    uint64_t sudoUid = 0;
    uint64_t sudoGid = 0;
    const char *gid = std::getenv("SUDO_GID");
    if (userFromEnvironment("SUDO_UID", sudoUid) && gid && Text::parseUnsigned(gid, sudoGid)) {
        caller.ownerUid = uid_t(sudoUid);
        caller.ownerGid = gid_t(sudoGid);
    }
    return true;
}
