#include "SafeMount.h"

#include "MountTable.h"
#include "Text.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace SafeMount {
namespace {

// Closes a descriptor when it goes out of scope.
struct Fd
{
    int fd = -1;
    Fd() = default;
    explicit Fd(int value) : fd(value) {}
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd()
    {
        if (fd >= 0)
            close(fd);
    }
    void reset(int value)
    {
        if (fd >= 0)
            close(fd);
        fd = value;
    }
    operator int() const { return fd; }
};

int openNoSymlinks(int dirfd, const std::string &path, uint64_t flags)
{
    open_how how{};
    how.flags = flags | O_PATH | O_CLOEXEC | O_NOFOLLOW;
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    if (dirfd != AT_FDCWD)
        how.resolve |= RESOLVE_BENEATH;
    return int(syscall(SYS_openat2, dirfd, path.c_str(), &how, sizeof how));
}

void split(const std::string &cleaned, std::string &parent, std::string &name)
{
    const size_t slash = cleaned.rfind('/');
    parent = slash == 0 ? "/" : cleaned.substr(0, slash);
    name = cleaned.substr(slash + 1);
}

std::string openProblem(const std::string &path, int error)
{
    // Only for the wording: a link opened without following it is "not a folder".
    struct stat info
    {
    };
    if (error == ENOTDIR && lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode))
        error = ELOOP;
    if (error == ELOOP || error == EXDEV)
        return "refusing \"" + path + "\": it passes through a symbolic link";
    if (error == ENOENT)
        return "the folder \"" + path + "\" does not exist";
    if (error == ENOTDIR)
        return "refusing \"" + path + "\": it is not a folder";
    return Text::systemError("cannot open \"" + path + "\"", error);
}

bool isEmptyFolder(int folder)
{
    const int readable = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *dir = readable >= 0 ? fdopendir(readable) : nullptr;
    if (!dir) {
        if (readable >= 0)
            close(readable);
        return false;
    }
    bool empty = true;
    while (const dirent *entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            empty = false;
            break;
        }
    }
    closedir(dir);
    return empty;
}

bool isMountRoot(int fd)
{
    struct statx info
    {
    };
    if (statx(fd, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &info) != 0)
        return true; // unknown: treat as taken
    return (info.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) &&
           (info.stx_attributes & STATX_ATTR_MOUNT_ROOT);
}

uint64_t mountIdOf(int dirfd, const char *name, int flags)
{
    struct statx info
    {
    };
    if (statx(dirfd, name, flags | AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_MNT_ID, &info) !=
            0 ||
        !(info.stx_mask & STATX_MNT_ID))
        return 0;
    return info.stx_mnt_id;
}

// The folder to mount on, checked on its descriptor. `made` tells whether it was made here.
int openTarget(const Caller &caller, int parent, const std::string &name, const std::string &path,
               bool &made, std::string &problem)
{
    made = false;
    int folder = openNoSymlinks(parent, name, O_DIRECTORY);
    if (folder < 0 && errno == ENOENT) {
        struct stat parentInfo
        {
        };
        if (fstat(parent, &parentInfo) != 0 || !caller.mayActOn(parentInfo.st_uid)) {
            problem = "refusing \"" + path +
                      "\": the folder above it is not yours, so the mount "
                      "folder cannot be made there; make the folder yourself or choose another";
            return -1;
        }
        if (mkdirat(parent, name.c_str(), 0755) != 0) {
            problem = Text::systemError("cannot make the folder \"" + path + "\"", errno);
            return -1;
        }
        made = true;
        folder = openNoSymlinks(parent, name, O_DIRECTORY);
        if (folder >= 0 &&
            fchownat(folder, "", caller.ownerUid, caller.ownerGid, AT_EMPTY_PATH) != 0) {
            problem = Text::systemError("cannot give the folder \"" + path + "\" to you", errno);
            close(folder);
            unlinkat(parent, name.c_str(), AT_REMOVEDIR);
            made = false;
            return -1;
        }
    }
    if (folder < 0) {
        problem = openProblem(path, errno);
        if (made)
            unlinkat(parent, name.c_str(), AT_REMOVEDIR);
        made = false;
        return -1;
    }
    return folder;
}

std::string checkTarget(const Caller &caller, int folder, const std::string &path)
{
    struct stat info
    {
    };
    if (fstat(folder, &info) != 0 || !S_ISDIR(info.st_mode))
        return "refusing \"" + path + "\": it is not a folder";
    if (!caller.mayActOn(info.st_uid))
        return "refusing \"" + path + "\": the folder belongs to someone else";
    if (isMountRoot(folder))
        return "refusing \"" + path + "\": a volume is already mounted there";
    if (!isEmptyFolder(folder))
        return "refusing \"" + path +
               "\": the folder is not empty, and mounting would hide "
               "its files";
    return std::string();
}

// The kernel's own words about a failed file system setup, when it left any.
std::string kernelWords(int fsfd)
{
    std::string words;
    char buffer[512];
    ssize_t length = 0;
    while ((length = read(fsfd, buffer, sizeof buffer - 1)) > 0) {
        buffer[length] = 0;
        std::string line = buffer;
        if (line.size() > 2 && line[1] == ' ')
            line = line.substr(2);
        words += (words.empty() ? "" : "; ") + line;
    }
    return words;
}

int attachVolume(const DiskRecord &record, int folder, uint64_t &mountId, std::string &problem)
{
    Fd fs(fsopen("ext4", FSOPEN_CLOEXEC));
    if (fs < 0) {
        problem = Text::systemError("cannot prepare the ext4 mount", errno);
        return 1;
    }
    const std::string device = record.device();
    if (fsconfig(fs, FSCONFIG_SET_STRING, "source", device.c_str(), 0) != 0 ||
        fsconfig(fs, FSCONFIG_SET_FLAG, "discard", nullptr, 0) != 0 ||
        fsconfig(fs, FSCONFIG_CMD_CREATE, nullptr, nullptr, 0) != 0) {
        const int error = errno;
        const std::string words = kernelWords(fs);
        problem = Text::systemError("cannot mount " + device, error) +
                  (words.empty() ? "" : " (" + words + ")");
        return 1;
    }
    Fd volume(
        fsmount(fs, FSMOUNT_CLOEXEC, MOUNT_ATTR_NOSUID | MOUNT_ATTR_NODEV | MOUNT_ATTR_NOATIME));
    if (volume < 0) {
        problem = Text::systemError("cannot mount " + device, errno);
        return 1;
    }
    mountId = mountIdOf(volume, "", AT_EMPTY_PATH);
    if (move_mount(volume, "", folder, "", MOVE_MOUNT_F_EMPTY_PATH | MOVE_MOUNT_T_EMPTY_PATH) !=
        0) {
        problem = Text::systemError("cannot mount " + device, errno);
        return 1;
    }
    return 0;
}

// The folder above `path`, opened without following links; `cleaned` and `name` tell the rest.
int openParent(const std::string &path, std::string &cleaned, std::string &name,
               std::string &problem)
{
    if (!cleanPath(path, cleaned, problem))
        return -1;
    std::string parentPath;
    split(cleaned, parentPath, name);
    const int parent = openNoSymlinks(AT_FDCWD, parentPath, O_DIRECTORY);
    if (parent < 0)
        problem = openProblem(parentPath, errno);
    return parent;
}

// The record's mount as the mount table shows it now. Mount ids are reused at once, so the id
// counts only together with the disk's own device as the source.
bool findOurMount(const DiskRecord &record, MountTable::Entry &entry)
{
    return record.mountId != 0 && MountTable::find(record.mountId, entry) &&
           entry.source == record.device();
}

} // namespace

bool cleanPath(const std::string &path, std::string &cleaned, std::string &problem)
{
    if (path.empty() || path[0] != '/' || path.size() >= 4096) {
        problem = "refusing \"" + path + "\": the mount folder must be an absolute path";
        return false;
    }
    cleaned.clear();
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "." || part == "..") {
            problem = "refusing \"" + path + "\": \".\" and \"..\" are not allowed in it";
            return false;
        }
        if (!part.empty())
            cleaned += "/" + part;
        start = end + 1;
    }
    if (cleaned.empty()) {
        problem = "refusing \"/\" as a mount folder";
        return false;
    }
    return true;
}

int mountDisk(const Caller &caller, const std::string &path, DiskRecord &record,
              std::string &problem)
{
    std::string cleaned;
    std::string name;
    Fd parent(openParent(path, cleaned, name, problem));
    if (parent < 0)
        return 2;
    bool made = false;
    Fd folder(openTarget(caller, parent, name, cleaned, made, problem));
    if (folder < 0)
        return 2;
    problem = checkTarget(caller, folder, cleaned);
    struct stat info
    {
    };
    if (problem.empty() && fstat(folder, &info) != 0)
        problem = Text::systemError("cannot look at \"" + cleaned + "\"", errno);
    int status = problem.empty() ? 0 : 2;
    uint64_t mountId = 0;
    if (status == 0)
        status = attachVolume(record, folder, mountId, problem);
    if (status != 0) {
        // Leave nothing half-made: a folder made here goes again while it is empty.
        if (made)
            unlinkat(parent, name.c_str(), AT_REMOVEDIR);
        return status;
    }
    record.mountPath = cleaned;
    record.mountId = mountId;
    record.madeFolder = made;
    record.folderDevice = info.st_dev;
    record.folderInode = info.st_ino;
    return 0;
}

bool isMounted(const DiskRecord &record)
{
    MountTable::Entry entry;
    return findOurMount(record, entry);
}

int unmountDisk(DiskRecord &record, std::string &problem)
{
    MountTable::Entry ours;
    if (!findOurMount(record, ours)) {
        record.mountId = 0;
        return 0;
    }
    // Where the mount is now (its parent folder may have been renamed since).
    std::string cleaned;
    std::string name;
    Fd parent(openParent(ours.mountPoint, cleaned, name, problem));
    if (parent < 0)
        return 1;
    const uint64_t topmost = mountIdOf(parent, name.c_str(), 0);
    if (topmost != record.mountId) {
        MountTable::Entry other;
        const bool known = MountTable::find(topmost, other);
        problem = "another volume" +
                  (known ? " (" + other.fsType + " " + other.source + ")" : std::string()) +
                  " is mounted on top of it; unmount that first, then eject again";
        return 1;
    }
    // There is no unmount by descriptor: unmount the name inside the opened parent. A folder
    // that is a mount point cannot be renamed, so the name stays the one just checked.
    if (fchdir(parent) != 0 || umount2(name.c_str(), UMOUNT_NOFOLLOW) != 0) {
        const int error = errno;
        problem = error == EBUSY ? "it is still in use: close the files and programs using it, "
                                   "then eject again"
                                 : Text::systemError("cannot unmount it", error);
        return 1;
    }
    if (chdir("/") != 0) {
        // Nothing depends on the working folder after this point.
    }
    // A volume the caller slipped on top after the check would have been the one to go: ours
    // is unmounted only when its mount is really gone.
    MountTable::Entry still;
    if (findOurMount(record, still)) {
        problem = "another volume was mounted on top of it meanwhile; eject again";
        return 1;
    }
    record.mountId = 0;
    return 0;
}

uint64_t usedBytes(const DiskRecord &record)
{
    MountTable::Entry ours;
    if (!findOurMount(record, ours))
        return 0;
    std::string cleaned;
    std::string problem;
    if (!cleanPath(ours.mountPoint, cleaned, problem))
        return 0;
    Fd root(openNoSymlinks(AT_FDCWD, cleaned, O_DIRECTORY));
    struct statfs info
    {
    };
    if (root < 0 || mountIdOf(root, "", AT_EMPTY_PATH) != record.mountId ||
        fstatfs(root, &info) != 0)
        return 0;
    return uint64_t(info.f_blocks - info.f_bfree) * uint64_t(info.f_bsize);
}

} // namespace SafeMount
