#include "MediaFolder.h"

#include "Fd.h"
#include "Text.h"

#include <cerrno>
#include <cstring>
#include <endian.h>
#include <fcntl.h>
#include <iterator>
#include <linux/openat2.h>
#include <linux/posix_acl.h>
#include <linux/posix_acl_xattr.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace MediaFolder {
namespace {

// What a user can do when the media folder cannot be had.
const char chooseAnother[] = "; choose a folder of your own for the disk instead";

int openBeneath(int dirfd, const std::string &path, int flags)
{
    open_how how{};
    how.flags = uint64_t(flags | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_BENEATH;
    return int(syscall(SYS_openat2, dirfd, path.c_str(), &how, sizeof how));
}

// A folder nobody but root can change: no name in it can be swapped by a user.
bool isRootsAlone(int fd)
{
    struct stat info
    {
    };
    return fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == 0 &&
           (info.st_mode & 022) == 0;
}

std::string cutUtf8(const std::string &text, size_t limit)
{
    if (text.size() <= limit)
        return text;
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xc0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

bool userName(uid_t uid, std::string &name, std::string &problem)
{
    const passwd *entry = getpwuid(uid);
    name = entry && entry->pw_name ? entry->pw_name : "";
    if (name.empty() || name[0] == '.' || name.find('/') != std::string::npos ||
        name.size() > nameLimitBytes) {
        problem = "user " + std::to_string(uid) +
                  " has no name a folder in /media can carry; choose a folder of your own for "
                  "the disk";
        return false;
    }
    return true;
}

// The access list of a user's media folder: root may do everything, the user may look and
// enter, nobody else anything.
std::vector<char> accessList(uid_t uid)
{
    struct Entry
    {
        uint16_t tag;
        uint16_t permissions;
        uint32_t id;
    };
    constexpr uint32_t none = uint32_t(ACL_UNDEFINED_ID);
    constexpr uint16_t readAndEnter = ACL_READ | ACL_EXECUTE;
    // Sorted by tag, then id, as the kernel requires.
    const Entry entries[] = {{ACL_USER_OBJ, ACL_READ | ACL_WRITE | ACL_EXECUTE, none},
                             {ACL_USER, readAndEnter, uint32_t(uid)},
                             {ACL_GROUP_OBJ, readAndEnter, none},
                             {ACL_MASK, readAndEnter, none},
                             {ACL_OTHER, 0, none}};
    const posix_acl_xattr_header header{htole32(POSIX_ACL_XATTR_VERSION)};
    std::vector<char> bytes(sizeof header + std::size(entries) * sizeof(posix_acl_xattr_entry));
    std::memcpy(bytes.data(), &header, sizeof header);
    size_t offset = sizeof header;
    for (const Entry &entry : entries) {
        const posix_acl_xattr_entry item{htole16(entry.tag), htole16(entry.permissions),
                                         htole32(entry.id)};
        std::memcpy(bytes.data() + offset, &item, sizeof item);
        offset += sizeof item;
    }
    return bytes;
}

// Makes /media/<user>: root's, 0750, the user let in by the access list. On a file system that
// takes no access lists the folder goes again and the request is refused.
int makeUserFolder(int media, const std::string &user, uid_t uid, int &status, std::string &problem)
{
    const std::string path = "/media/" + user;
    status = 1;
    if (mkdirat(media, user.c_str(), 0750) != 0 && errno != EEXIST) {
        problem =
            Text::systemError("cannot make the folder \"" + path + "\"", errno) + chooseAnother;
        return -1;
    }
    Fd folder(openBeneath(media, user, O_RDONLY));
    struct stat info
    {
    };
    if (folder < 0 || fstat(folder, &info) != 0) {
        problem =
            Text::systemError("cannot open the folder \"" + path + "\"", errno) + chooseAnother;
        return -1;
    }
    const std::vector<char> list = accessList(uid);
    if (fchown(folder, 0, 0) != 0 || fchmod(folder, 0750) != 0 ||
        (uid != 0 &&
         fsetxattr(folder, "system.posix_acl_access", list.data(), list.size(), 0) != 0)) {
        const int error = errno;
        removeIn(media, user, info.st_dev, info.st_ino);
        status = error == EOPNOTSUPP ? 2 : 1;
        problem = error == EOPNOTSUPP
                      ? "the file system of /media takes no access lists (ACLs), so \"" + path +
                            "\" cannot be made readable for you alone; choose a folder of your "
                            "own for disks in the settings, or ask the administrator to make "
                            "that folder"
                      : Text::systemError("cannot set the access of \"" + path + "\"", error) +
                            chooseAnother;
        return -1;
    }
    return folder.release();
}

std::string openProblem(const std::string &path, int error)
{
    if (error == ELOOP || error == EXDEV || error == ENOTDIR)
        return "refusing \"" + path +
               "\": it is a symbolic link or not a folder; ask the administrator to remove it";
    return Text::systemError("cannot open \"" + path + "\"", error) + chooseAnother;
}

// The caller's media folder, opened for reading, with its path: /media/<user>, made when
// missing, or /run/media/<user> where that one exists and the other does not.
int openUserFolder(const Caller &caller, std::string &path, int &status, std::string &problem)
{
    status = 2;
    std::string user;
    if (!userName(caller.ownerUid, user, problem))
        return -1;
    const Fd root(open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    Fd media(openBeneath(root, "media", O_PATH));
    int error = errno;
    Fd folder(media >= 0 ? openBeneath(media, user, O_RDONLY) : -1);
    if (media >= 0)
        error = errno;
    path = "/media/" + user;
    if (folder < 0 && error == ENOENT) {
        // Only where /run/media itself is root's alone, or the folder's name could be swapped.
        const Fd runMedia(openBeneath(root, "run/media", O_PATH));
        Fd elsewhere(runMedia >= 0 && isRootsAlone(runMedia) ? openBeneath(runMedia, user, O_RDONLY)
                                                             : -1);
        if (elsewhere >= 0) {
            path = "/run/media/" + user;
            folder.reset(elsewhere.release());
        } else if (media < 0 && mkdirat(root, "media", 0755) == 0) {
            media.reset(openBeneath(root, "media", O_PATH));
        }
    }
    if (path.compare(0, 7, "/media/") == 0 && media >= 0 && !isRootsAlone(media)) {
        problem = "refusing /media: it is not root's alone, so a folder in it could be swapped; "
                  "ask the administrator to give it to root";
        return -1;
    }
    if (folder < 0 && media >= 0 && error == ENOENT) {
        folder.reset(makeUserFolder(media, user, caller.ownerUid, status, problem));
        if (folder < 0)
            return -1;
    } else if (folder < 0) {
        problem = openProblem(media < 0 ? "/media" : path, error);
        return -1;
    }
    if (!isRootsAlone(folder)) {
        problem = "refusing \"" + path +
                  "\": it is not root's alone, so the disk's folder in it could be swapped; ask "
                  "the administrator to give it to root, or choose a folder of your own for disks";
        return -1;
    }
    status = 0;
    return folder.release();
}

} // namespace

bool isRequest(const std::string &folder, std::string &name)
{
    const std::string prefix = requestPrefix;
    if (folder.compare(0, prefix.size(), prefix) != 0)
        return false;
    name = folder.substr(prefix.size());
    return true;
}

std::string cleanName(const std::string &name)
{
    std::string cleaned;
    for (const unsigned char c : name)
        cleaned += c == '/' || c < 0x20 || c == 0x7f ? '_' : char(c);
    cleaned.erase(0, std::min(cleaned.find_first_not_of('.'), cleaned.size()));
    cleaned = cutUtf8(cleaned, nameLimitBytes);
    return cleaned.empty() ? "Ram Disk" : cleaned;
}

std::string numbered(const std::string &cleaned, unsigned number)
{
    if (number <= 1)
        return cleaned;
    const std::string suffix = " " + std::to_string(number);
    return cutUtf8(cleaned, nameLimitBytes - suffix.size()) + suffix;
}

int make(const Caller &caller, const std::string &name, CallerPath::Pinned &target,
         std::string &problem)
{
    CallerPath::release(target);
    std::string parentPath;
    int status = 0;
    Fd parent(openUserFolder(caller, parentPath, status, problem));
    if (parent < 0)
        return status;
    const std::string cleaned = cleanName(name);
    for (unsigned number = 1; number <= mostNumbers; ++number) {
        const std::string candidate = numbered(cleaned, number);
        if (mkdirat(parent, candidate.c_str(), 0755) != 0) {
            if (errno == EEXIST)
                continue;
            problem =
                Text::systemError("cannot make the folder \"" + parentPath + "/" + candidate + "\"",
                                  errno) +
                chooseAnother;
            return 1;
        }
        target.path = parentPath + "/" + candidate;
        target.name = candidate;
        target.folder = openBeneath(parent, candidate, O_PATH);
        if (target.folder < 0) {
            problem = Text::systemError("cannot open the folder \"" + target.path + "\"", errno);
            unlinkat(parent, candidate.c_str(), AT_REMOVEDIR);
            return 1;
        }
        target.parent = parent.release();
        target.helperOwned = true;
        return 0;
    }
    problem = "there are " + std::to_string(mostNumbers) + " folders named \"" + cleaned +
              "\" in \"" + parentPath + "\" already; give the disk another name";
    return 2;
}

bool removeIn(int parent, const std::string &name, uint64_t device, uint64_t inode)
{
    struct stat info
    {
    };
    if (!isRootsAlone(parent))
        return false;
    if (fstatat(parent, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(info.st_mode) || info.st_ino != inode || info.st_dev != device)
        return false;
    return unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0;
}

bool remove(const DiskRecord &record)
{
    std::string cleaned;
    std::string problem;
    if (!CallerPath::clean(record.mountPath, cleaned, problem))
        return false;
    const size_t slash = cleaned.rfind('/');
    const Fd root(open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    const Fd parent(slash == 0 ? open("/", O_PATH | O_DIRECTORY | O_CLOEXEC)
                               : openBeneath(root, cleaned.substr(1, slash - 1), O_PATH));
    return parent >= 0 &&
           removeIn(parent, cleaned.substr(slash + 1), record.folderDevice, record.folderInode);
}

} // namespace MediaFolder
