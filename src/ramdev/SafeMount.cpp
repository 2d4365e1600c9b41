#include "SafeMount.h"

#include "Fd.h"
#include "MediaFolder.h"
#include "MountTable.h"
#include "RecordStore.h"
#include "Text.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace SafeMount {
namespace {

constexpr uint64_t bytesPerInode = 8192;
constexpr uint64_t fewestInodes = 1024;

int openFolderIn(int parent, const std::string &name)
{
    open_how how{};
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW;
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_BENEATH;
    return int(syscall(SYS_openat2, parent, name.c_str(), &how, sizeof how));
}

// Whether the folder itself (not a volume mounted on it since) holds nothing: "." from its own
// descriptor stays on the folder.
bool isEmptyFolder(const Caller &caller, int folder)
{
    const int readable = CallerPath::asCaller(
        caller, [&] { return openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
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

bool mountOf(int dirfd, const char *name, int flags, uint64_t &mountId, uint64_t &device)
{
    struct statx info
    {
    };
    if (statx(dirfd, name, flags | AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_MNT_ID, &info) !=
            0 ||
        !(info.stx_mask & STATX_MNT_ID))
        return false;
    mountId = info.stx_mnt_id;
    device = makedev(info.stx_dev_major, info.stx_dev_minor);
    return true;
}

// The folder to mount on: the pinned one, or one made now as the caller (so it is theirs from
// the start, and only where they could make it themselves).
int targetFolder(const Caller &caller, CallerPath::Pinned &target, bool &made, std::string &problem)
{
    made = target.helperOwned;
    if (target.folder >= 0)
        return target.folder;
    const int error = CallerPath::asCaller(
        caller, [&] { return mkdirat(target.parent, target.name.c_str(), 0755) == 0 ? 0 : errno; });
    if (error != 0) {
        problem = error == EACCES || error == EPERM
                      ? "refusing \"" + target.path +
                            "\": you may not make a folder there; make the folder yourself or "
                            "choose another"
                      : Text::systemError("cannot make the folder \"" + target.path + "\"", error);
        return -1;
    }
    made = true;
    target.folder =
        CallerPath::asCaller(caller, [&] { return openFolderIn(target.parent, target.name); });
    if (target.folder < 0)
        problem = Text::systemError("cannot open the folder \"" + target.path + "\"", errno);
    return target.folder;
}

// Whether a volume was mounted on the folder's name after the folder was pinned (another request
// for the same folder, say): the name then leads to another mount than the pinned folder's.
bool coveredSincePinned(const CallerPath::Pinned &target)
{
    uint64_t pinnedMount = 0;
    uint64_t atName = 0;
    uint64_t device = 0;
    if (!mountOf(target.folder, "", AT_EMPTY_PATH, pinnedMount, device) ||
        !mountOf(target.parent, target.name.c_str(), 0, atName, device))
        return true; // unknown: treat as taken
    return atName != pinnedMount;
}

std::string checkTarget(const Caller &caller, const CallerPath::Pinned &target)
{
    const int folder = target.folder;
    const std::string &path = target.path;
    struct stat info
    {
    };
    if (fstat(folder, &info) != 0 || !S_ISDIR(info.st_mode))
        return "refusing \"" + path + "\": it is not a folder";
    // A folder the helper made is root's; any other must be the caller's.
    if (target.helperOwned ? info.st_uid != 0 : !caller.mayActOn(info.st_uid))
        return "refusing \"" + path + "\": the folder belongs to someone else";
    if (isMountRoot(folder) || coveredSincePinned(target))
        return "refusing \"" + path + "\": a volume is already mounted there";
    if (!isEmptyFolder(caller, folder))
        return "refusing \"" + path +
               "\": the folder is not empty, and mounting would hide its files";
    return std::string();
}

// Removes a folder made for the disk, only while it is still the one made (as the caller, so
// nothing is removed they could not remove themselves).
void removeMadeFolder(const Caller &caller, const CallerPath::Pinned &target, uint64_t inode)
{
    CallerPath::asCaller(caller, [&] {
        struct stat info
        {
        };
        if (fstatat(target.parent, target.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            info.st_ino == inode)
            unlinkat(target.parent, target.name.c_str(), AT_REMOVEDIR);
        return 0;
    });
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

bool setString(int fs, const char *key, const std::string &value)
{
    return fsconfig(fs, FSCONFIG_SET_STRING, key, value.c_str(), 0) == 0;
}

// The file system context of the disk, ready to create: ext4 on its device with discard, or a
// tmpfs of the disk's size that belongs to the caller and stays out of swap where it can.
bool configureVolume(const Caller &caller, int fs, DiskRecord &record)
{
    if (record.kind != DiskRecord::Kind::Memory)
        return setString(fs, "source", record.device()) &&
               fsconfig(fs, FSCONFIG_SET_FLAG, "discard", nullptr, 0) == 0;
    const uint64_t inodes = std::max(record.bytes() / bytesPerInode, fewestInodes);
    if (!setString(fs, "source", record.device()) ||
        !setString(fs, "size", std::to_string(record.bytes())) ||
        !setString(fs, "nr_inodes", std::to_string(inodes)) || !setString(fs, "mode", "0700") ||
        !setString(fs, "uid", std::to_string(caller.ownerUid)) ||
        !setString(fs, "gid", std::to_string(caller.ownerGid)))
        return false;
    // Kernels before 6.4 have no noswap: the disk works, and may be swapped out.
    record.keptOutOfSwap = fsconfig(fs, FSCONFIG_SET_FLAG, "noswap", nullptr, 0) == 0;
    if (!record.keptOutOfSwap)
        kernelWords(fs);
    return true;
}

// A detached volume of the disk, not yet attached anywhere.
int makeVolume(const Caller &caller, DiskRecord &record, std::string &problem)
{
    const char *type = record.kind == DiskRecord::Kind::Memory ? "tmpfs" : "ext4";
    Fd fs(fsopen(type, FSOPEN_CLOEXEC));
    if (fs < 0) {
        problem = Text::systemError(std::string("cannot prepare the ") + type + " mount", errno);
        return -1;
    }
    if (!configureVolume(caller, fs, record) ||
        fsconfig(fs, FSCONFIG_CMD_CREATE, nullptr, nullptr, 0) != 0) {
        const int error = errno;
        const std::string words = kernelWords(fs);
        problem =
            Text::systemError(
                "the kernel would not make the disk's " + std::string(type) + " volume", error) +
            (words.empty() ? "" : " (" + words + ")");
        return -1;
    }
    const int volume =
        fsmount(fs, FSMOUNT_CLOEXEC, MOUNT_ATTR_NOSUID | MOUNT_ATTR_NODEV | MOUNT_ATTR_NOATIME);
    if (volume < 0)
        problem = Text::systemError("the kernel would not make the disk's volume", errno);
    return volume;
}

int unmountName(int parent, const std::string &name, std::string &problem)
{
    if (fchdir(parent) != 0 || umount2(name.c_str(), UMOUNT_NOFOLLOW) != 0) {
        const int error = errno;
        problem = error == EBUSY ? "it is still in use: close the files and programs using it, "
                                   "then eject again"
                                 : Text::systemError("cannot unmount it", error);
        if (chdir("/") != 0) {
        }
        return 1;
    }
    if (chdir("/") != 0) {
        // Nothing depends on the working folder after this point.
    }
    return 0;
}

// The record's mount as the mount table shows it now. Mount ids are reused at once, so the id
// counts only together with the disk's own device (ext4) or superblock (tmpfs).
bool findOurMount(const DiskRecord &record, MountTable::Entry &entry)
{
    if (record.mountId == 0 || !MountTable::find(record.mountId, entry))
        return false;
    if (record.kind == DiskRecord::Kind::Memory)
        return entry.fsType == "tmpfs" && entry.device == record.superblock &&
               entry.source == record.device();
    return entry.source == record.device();
}

} // namespace

int mountDisk(const Caller &caller, CallerPath::Pinned &target, DiskRecord &record,
              RecordStore &store, std::string &problem)
{
    bool made = false;
    const int folder = targetFolder(caller, target, made, problem);
    struct stat info
    {
    };
    if (folder >= 0 && fstat(folder, &info) != 0)
        problem = Text::systemError("cannot look at \"" + target.path + "\"", errno);
    if (folder >= 0 && problem.empty())
        problem = checkTarget(caller, target);
    auto undoFolder = [&] {
        if (made && target.helperOwned)
            MediaFolder::removeIn(target.parent, target.name, info.st_dev, info.st_ino);
        else if (made)
            removeMadeFolder(caller, target, info.st_ino);
    };
    if (folder < 0 || !problem.empty()) {
        undoFolder();
        return 2;
    }
    Fd volume(makeVolume(caller, record, problem));
    uint64_t mountId = 0;
    uint64_t superblock = 0;
    if (volume < 0 || !mountOf(volume, "", AT_EMPTY_PATH, mountId, superblock)) {
        if (problem.empty())
            problem = Text::systemError("cannot identify the disk's volume", errno);
        undoFolder();
        return 1;
    }
    record.mountPath = target.path;
    record.mountId = mountId;
    record.superblock = superblock;
    record.madeFolder = made;
    record.helperFolder = target.helperOwned;
    record.folderDevice = info.st_dev;
    record.folderInode = info.st_ino;
    if (!store.save(record, problem)) {
        undoFolder();
        return 1;
    }
    if (move_mount(volume, "", folder, "", MOVE_MOUNT_F_EMPTY_PATH | MOVE_MOUNT_T_EMPTY_PATH) !=
        0) {
        problem = Text::systemError("cannot mount the disk on \"" + target.path + "\"", errno);
        record.mountId = 0;
        store.save(record, problem);
        undoFolder();
        return 1;
    }
    // A file made in the folder after the check would now be hidden under the disk: undo.
    if (!isEmptyFolder(caller, folder)) {
        std::string ignored;
        if (unmountName(target.parent, target.name, ignored) == 0) {
            record.mountId = 0;
            store.save(record, ignored);
            if (target.helperOwned)
                undoFolder();
        }
        problem = "refusing \"" + target.path +
                  "\": files appeared in the folder while the disk was being mounted, and the "
                  "disk would hide them";
        return 2;
    }
    return 0;
}

bool pinMountParent(const Caller &caller, const DiskRecord &record, CallerPath::Pinned &pinned,
                    std::string &problem)
{
    MountTable::Entry ours;
    if (!findOurMount(record, ours))
        return false;
    if (!CallerPath::pin(caller, ours.mountPoint, pinned, problem))
        return false;
    // A descriptor on the volume itself would keep it busy.
    if (pinned.folder >= 0)
        close(pinned.folder);
    pinned.folder = -1;
    return CallerPath::onUserFileSystem(pinned.parent, pinned.path, problem);
}

int unmountDisk(const DiskRecord &record, const CallerPath::Pinned &parent, std::string &problem)
{
    MountTable::Entry ours;
    if (!findOurMount(record, ours))
        return 0;
    uint64_t topmost = 0;
    uint64_t device = 0;
    if (parent.parent < 0 || !mountOf(parent.parent, parent.name.c_str(), 0, topmost, device) ||
        topmost != record.mountId) {
        MountTable::Entry other;
        const bool known = topmost != 0 && MountTable::find(topmost, other);
        problem =
            parent.parent < 0 || topmost == 0
                ? "its folder moved while it was being ejected; eject again"
                : "another volume" +
                      (known ? " (" + other.fsType + " " + other.source + ")" : std::string()) +
                      " is mounted on top of it; unmount that first, then eject again";
        return 1;
    }
    // There is no unmount by descriptor: unmount the name inside the pinned parent. A folder
    // that is a mount point cannot be renamed, so the name stays the one just checked.
    if (unmountName(parent.parent, parent.name, problem) != 0)
        return 1;
    // A volume the caller slipped on top after the check would have been the one to go: ours
    // is unmounted only when its mount is really gone.
    MountTable::Entry still;
    if (findOurMount(record, still)) {
        problem = "another volume was mounted on top of it meanwhile; eject again";
        return 1;
    }
    return 0;
}

bool isMounted(const DiskRecord &record)
{
    MountTable::Entry entry;
    return findOurMount(record, entry);
}

bool memoryHeld(const DiskRecord &record, uint64_t &bytes)
{
    MountTable::Entry ours;
    if (record.kind != DiskRecord::Kind::Memory || !findOurMount(record, ours))
        return false;
    // The superblock's free pages, asked by its device number: no path is walked.
    struct
    {
        long freeBlocks;
        unsigned long freeInodes;
        char name[6];
        char pack[6];
    } free{};
    const unsigned dev = (minor(record.superblock) & 0xff) | (major(record.superblock) << 8) |
                         ((minor(record.superblock) & ~0xffu) << 12);
    if (syscall(SYS_ustat, dev, &free) != 0 || free.freeBlocks < 0)
        return false;
    const uint64_t pages = (record.bytes() + 4095) / 4096;
    const uint64_t freePages = uint64_t(free.freeBlocks);
    bytes = pages > freePages ? (pages - freePages) * 4096 : 0;
    return true;
}

} // namespace SafeMount
