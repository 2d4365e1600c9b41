#include "CallerPath.h"

#include "Text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <grp.h>
#include <linux/magic.h>
#include <linux/openat2.h>
#include <pwd.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace CallerPath {
namespace {

int openComponent(int dirfd, const std::string &name)
{
    open_how how{};
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW;
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_BENEATH;
    return int(syscall(SYS_openat2, dirfd, name.c_str(), &how, sizeof how));
}

std::string openProblem(const std::string &path, int error)
{
    switch (error) {
    case ELOOP:
    case EXDEV:
        return "refusing \"" + path + "\": it passes through a symbolic link";
    case ENOENT:
        return "the folder \"" + path + "\" does not exist";
    case ENOTDIR:
        return "refusing \"" + path + "\": it is not a folder";
    case EACCES:
    case EPERM:
        return "refusing \"" + path + "\": you may not enter it";
    case ENAMETOOLONG:
        return "refusing \"" + path + "\": a name in it is too long";
    default:
        return Text::systemError("cannot open \"" + path + "\"", error);
    }
}

std::vector<std::string> components(const std::string &cleaned)
{
    std::vector<std::string> parts;
    size_t start = 1;
    while (start <= cleaned.size()) {
        const size_t end = std::min(cleaned.find('/', start), cleaned.size());
        parts.push_back(cleaned.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

struct UserFileSystem
{
    unsigned long magic;
    const char *name;
};

constexpr UserFileSystem userFileSystems[] = {
    {EXT4_SUPER_MAGIC, "ext4"}, // also ext2 and ext3
    {XFS_SUPER_MAGIC, "xfs"},   {BTRFS_SUPER_MAGIC, "btrfs"}, {TMPFS_MAGIC, "tmpfs"},
    {F2FS_SUPER_MAGIC, "f2fs"}, {0x3153464a, "jfs"},          {0x3434, "nilfs2"},
    {0xca451a4e, "bcachefs"},   {0x2fc12fc1, "zfs"},          {ECRYPTFS_SUPER_MAGIC, "ecryptfs"},
};

} // namespace

bool clean(const std::string &path, std::string &cleaned, std::string &problem)
{
    if (path.empty() || path[0] != '/' || path.size() >= 4096) {
        problem = "refusing \"" + path + "\": the mount folder must be an absolute path";
        return false;
    }
    cleaned.clear();
    for (const std::string &part : components(path)) {
        if (part == "." || part == "..") {
            problem = "refusing \"" + path + "\": \".\" and \"..\" are not allowed in it";
            return false;
        }
        if (!part.empty())
            cleaned += "/" + part;
    }
    if (cleaned.empty()) {
        problem = "refusing \"/\" as a mount folder";
        return false;
    }
    return true;
}

void becomeCaller(const Caller &caller, bool on)
{
    if (caller.isRoot())
        return;
    if (on) {
        std::vector<gid_t> groups(64);
        int count = int(groups.size());
        const passwd *entry = getpwuid(caller.uid);
        if (!entry || getgrouplist(entry->pw_name, caller.ownerGid, groups.data(), &count) < 0)
            count = 0;
        setgroups(size_t(count), groups.data());
        setfsgid(caller.ownerGid);
        setfsuid(caller.uid);
    } else {
        setfsuid(0);
        setfsgid(0);
        setgroups(0, nullptr);
    }
}

bool pin(const Caller &caller, const std::string &path, Pinned &pinned, std::string &problem)
{
    release(pinned);
    if (!clean(path, pinned.path, problem))
        return false;
    const std::vector<std::string> parts = components(pinned.path);
    pinned.name = parts.back();
    return asCaller(caller, [&] {
        int current = open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
        std::string walked;
        for (size_t i = 0; i < parts.size(); ++i) {
            const int next = openComponent(current, parts[i]);
            int error = errno;
            struct stat link
            {
            };
            // Opened without following it, a link is "not a folder": say what it is.
            if (next < 0 && error == ENOTDIR &&
                fstatat(current, parts[i].c_str(), &link, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(link.st_mode))
                error = ELOOP;
            walked += "/" + parts[i];
            const bool last = i + 1 == parts.size();
            if (last) {
                pinned.parent = current;
                if (next >= 0 || error == ENOENT) {
                    pinned.folder = next;
                    return true;
                }
            } else {
                close(current);
                current = next;
                if (next >= 0)
                    continue;
            }
            problem = openProblem(last ? pinned.path : walked, error);
            release(pinned);
            return false;
        }
        return false;
    });
}

void release(Pinned &pinned)
{
    if (pinned.folder >= 0)
        close(pinned.folder);
    if (pinned.parent >= 0)
        close(pinned.parent);
    pinned.folder = -1;
    pinned.parent = -1;
    pinned.helperOwned = false;
}

bool onUserFileSystem(int fd, const std::string &path, std::string &problem)
{
    struct statfs info
    {
    };
    if (fstatfs(fd, &info) != 0) {
        problem = Text::systemError("cannot look at \"" + path + "\"", errno);
        return false;
    }
    for (const UserFileSystem &known : userFileSystems) {
        if ((unsigned long)info.f_type == known.magic)
            return true;
    }
    char magic[32];
    std::snprintf(magic, sizeof magic, "0x%lx", (unsigned long)info.f_type);
    problem = "refusing \"" + path + "\": it is not on a file system for your files (type " +
              magic + "); choose a folder in your home or under /media";
    return false;
}

} // namespace CallerPath
