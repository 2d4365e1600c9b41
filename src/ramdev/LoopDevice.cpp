#include "LoopDevice.h"

#include "Text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/loop.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace LoopDevice {
namespace {

constexpr unsigned loopMajor = 7;

std::string nodePath(int number)
{
    return "/dev/loop" + std::to_string(number);
}

// Opens /dev/loopN, making the node first when udev has not (yet) made it.
int openLoop(int number, int flags)
{
    const std::string path = nodePath(number);
    int fd = open(path.c_str(), flags | O_CLOEXEC | O_NOFOLLOW);
    if (fd >= 0 || errno != ENOENT)
        return fd;
    unsigned major = loopMajor;
    unsigned minor = unsigned(number);
    const std::string numbers =
        Text::readSmallFile("/sys/block/loop" + std::to_string(number) + "/dev");
    std::sscanf(numbers.c_str(), "%u:%u", &major, &minor);
    if (mknod(path.c_str(), S_IFBLK | 0660, makedev(major, minor)) != 0 && errno != EEXIST)
        return -1;
    return open(path.c_str(), flags | O_CLOEXEC | O_NOFOLLOW);
}

// The node must be a loop block device whose numbers sysfs gives for that name.
bool isTheLoopNode(int fd, int number, uint64_t &rdev)
{
    struct stat info
    {
    };
    if (fstat(fd, &info) != 0 || !S_ISBLK(info.st_mode) || major(info.st_rdev) != loopMajor)
        return false;
    const std::string numbers =
        std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev));
    if (Text::readSmallFile("/sys/block/loop" + std::to_string(number) + "/dev") != numbers)
        return false;
    rdev = info.st_rdev;
    return true;
}

bool statusOf(int fd, loop_info64 &status)
{
    status = {};
    return ioctl(fd, LOOP_GET_STATUS64, &status) == 0;
}

bool isOurs(const loop_info64 &status)
{
    return std::strncmp(reinterpret_cast<const char *>(status.lo_file_name), memoryFileName,
                        sizeof memoryFileName) == 0;
}

int configure(int loop, int memory, uint64_t bytes)
{
    loop_config config{};
    config.fd = unsigned(memory);
    // Blocks of 4096 bytes match the file system's; a size that is no multiple keeps 512.
    config.block_size = bytes % 4096 == 0 ? 4096 : 0;
    // No autoclear: the device must outlive this helper.
    std::strncpy(reinterpret_cast<char *>(config.info.lo_file_name), memoryFileName,
                 LO_NAME_SIZE - 1);
    int result = ioctl(loop, LOOP_CONFIGURE, &config);
    if (result != 0 && errno == EINVAL) {
        // Kernels before LOOP_CONFIGURE: the same in three steps.
        result = ioctl(loop, LOOP_SET_FD, memory);
        if (result == 0) {
            if (ioctl(loop, LOOP_SET_STATUS64, &config.info) != 0) {
                const int error = errno;
                ioctl(loop, LOOP_CLR_FD, 0);
                errno = error;
                return -1;
            }
            if (config.block_size)
                ioctl(loop, LOOP_SET_BLOCK_SIZE, (unsigned long)config.block_size);
        }
    }
    return result;
}

} // namespace

bool attachMemory(uint64_t bytes, Attached &attached,
                  const std::function<bool(const Attached &)> &beforeBinding, std::string &problem)
{
    const int memory = memfd_create(memoryFileName, MFD_CLOEXEC);
    if (memory < 0) {
        problem = Text::systemError("cannot make the memory file", errno);
        return false;
    }
    if (ftruncate(memory, off_t(bytes)) != 0) {
        problem = Text::systemError("cannot size the memory file", errno);
        close(memory);
        return false;
    }
    const int control = open("/dev/loop-control", O_RDWR | O_CLOEXEC);
    if (control < 0) {
        problem = Text::systemError("cannot open /dev/loop-control", errno);
        close(memory);
        return false;
    }
    // Another program may take the free device between asking and configuring: ask again.
    for (int attempt = 0; attempt < 64; ++attempt) {
        const int number = ioctl(control, LOOP_CTL_GET_FREE);
        if (number < 0) {
            problem = Text::systemError("no free loop device", errno);
            break;
        }
        const int loop = openLoop(number, O_RDWR);
        uint64_t rdev = 0;
        if (loop < 0 || !isTheLoopNode(loop, number, rdev)) {
            problem =
                Text::systemError("cannot open " + nodePath(number), loop < 0 ? errno : EINVAL);
            if (loop >= 0)
                close(loop);
            break;
        }
        struct stat file
        {
        };
        fstat(memory, &file);
        if (!beforeBinding({number, -1, rdev, uint64_t(file.st_dev), uint64_t(file.st_ino)})) {
            close(loop);
            problem = "cannot record the new disk";
            break;
        }
        if (configure(loop, memory, bytes) == 0) {
            loop_info64 status{};
            statusOf(loop, status);
            attached = {number, loop, rdev, status.lo_device, status.lo_inode};
            close(control);
            close(memory);
            return true;
        }
        const int error = errno;
        close(loop);
        if (error != EBUSY) {
            problem = Text::systemError("cannot attach the memory file", error);
            break;
        }
        problem = "every free loop device was taken by someone else; try again";
    }
    close(control);
    close(memory);
    return false;
}

void letGo(Attached &attached)
{
    if (attached.fd >= 0)
        ::close(attached.fd);
    attached.fd = -1;
}

bool nodeNumber(int number, uint64_t &rdev)
{
    const int loop = openLoop(number, O_RDONLY);
    if (loop < 0)
        return false;
    const bool isLoop = isTheLoopNode(loop, number, rdev);
    ::close(loop);
    return isLoop;
}

bool ourMemoryFile(int number, uint64_t &memoryDevice, uint64_t &memoryInode)
{
    const int loop = openLoop(number, O_RDONLY);
    if (loop < 0)
        return false;
    uint64_t rdev = 0;
    loop_info64 status{};
    const bool ours = isTheLoopNode(loop, number, rdev) && statusOf(loop, status) && isOurs(status);
    close(loop);
    memoryDevice = status.lo_device;
    memoryInode = status.lo_inode;
    return ours;
}

bool isBoundTo(const DiskRecord &record)
{
    const int loop = openLoop(record.number, O_RDONLY);
    if (loop < 0)
        return false;
    uint64_t rdev = 0;
    loop_info64 status{};
    const bool bound = isTheLoopNode(loop, record.number, rdev) && rdev == record.loopRdev &&
                       statusOf(loop, status) && isOurs(status) &&
                       status.lo_device == record.memoryDevice &&
                       status.lo_inode == record.memoryInode;
    close(loop);
    return bound;
}

int detach(const DiskRecord &record, std::string &problem)
{
    const std::string device = record.device();
    // Exclusive: fails while the volume is mounted or anyone else holds the device.
    const int loop = openLoop(record.number, O_RDONLY | O_EXCL);
    if (loop < 0) {
        problem =
            errno == EBUSY ? "device is busy" : Text::systemError("cannot open " + device, errno);
        return 1;
    }
    uint64_t rdev = 0;
    loop_info64 status{};
    if (!isTheLoopNode(loop, record.number, rdev) || rdev != record.loopRdev ||
        !statusOf(loop, status) || status.lo_inode != record.memoryInode ||
        status.lo_device != record.memoryDevice) {
        close(loop);
        problem = "refusing \"" + device + "\": it is no longer this disk";
        return 2;
    }
    if (ioctl(loop, LOOP_CLR_FD, 0) != 0) {
        const int error = errno;
        close(loop);
        problem =
            error == EBUSY ? "device is busy" : Text::systemError("cannot detach " + device, error);
        return 1;
    }
    // Alone with the device, the release happened inside the call. Otherwise it happens when
    // the last other holder lets go: wait for that briefly. The freed name may be taken by a
    // new disk at once, so "still ours" means still bound to the same memory file.
    const bool releasedNow = !statusOf(loop, status) && errno == ENXIO;
    close(loop);
    bool released = releasedNow;
    for (int wait = 0; !released && wait < 200; ++wait) {
        usleep(10000);
        released = !isBoundTo(record);
    }
    if (!released) {
        problem = "device is busy";
        return 1;
    }
    return 0;
}

} // namespace LoopDevice
