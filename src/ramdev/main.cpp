// vellumar-ramdev: attaches memory files to loop devices and releases them again.
//
//   vellumar-ramdev attach ram://<blocks>   prints "/dev/loopN" and a line end, nothing else
//   vellumar-ramdev detach /dev/loopN       only devices this helper attached
//
// Exit status: 0 done, 1 the system refused (busy, out of memory), 2 refused request.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/loop.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr unsigned loopMajor = 7;
constexpr char memoryFileName[] = "vellumar-ramdisk";
constexpr char backingMarker[] = "/memfd:vellumar-ramdisk";

int fail(int status, const std::string &message)
{
    std::fprintf(stderr, "vellumar-ramdev: %s\n", message.c_str());
    return status;
}

std::string systemError(const std::string &what, int error)
{
    return what + ": " + std::strerror(error);
}

std::string readSmallFile(const std::string &path)
{
    std::string text;
    if (FILE *file = std::fopen(path.c_str(), "re")) {
        char buffer[512];
        const size_t length = std::fread(buffer, 1, sizeof buffer, file);
        text.assign(buffer, length);
        std::fclose(file);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

bool allDigits(const std::string &text)
{
    if (text.empty() || text.size() > 19)
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// "ram://<blocks>" with a block count of 1 to 2^32 - 1.
bool parseRequest(const std::string &request, uint64_t &blocks)
{
    const std::string prefix = "ram://";
    if (request.compare(0, prefix.size(), prefix) != 0)
        return false;
    const std::string number = request.substr(prefix.size());
    if (!allDigits(number))
        return false;
    blocks = std::stoull(number);
    return blocks > 0 && blocks <= UINT32_MAX;
}

// Opens /dev/loopN, making the node first when udev has not (yet) made it.
int openLoop(int number)
{
    const std::string path = "/dev/loop" + std::to_string(number);
    int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd >= 0 || errno != ENOENT)
        return fd;
    unsigned major = loopMajor;
    unsigned minor = unsigned(number);
    const std::string numbers = readSmallFile("/sys/block/loop" + std::to_string(number) + "/dev");
    std::sscanf(numbers.c_str(), "%u:%u", &major, &minor);
    if (mknod(path.c_str(), S_IFBLK | 0660, makedev(major, minor)) != 0 && errno != EEXIST)
        return -1;
    return open(path.c_str(), O_RDWR | O_CLOEXEC);
}

int attach(const std::string &request)
{
    uint64_t blocks = 0;
    if (!parseRequest(request, blocks))
        return fail(2, "expected ram://<blocks> with 1 to 4294967295 blocks of 512 bytes, got \"" +
                           request + "\"");
    const uint64_t bytes = blocks * 512;

    const int memory = memfd_create(memoryFileName, MFD_CLOEXEC);
    if (memory < 0)
        return fail(1, systemError("cannot make the memory file", errno));
    if (ftruncate(memory, off_t(bytes)) != 0)
        return fail(1, systemError("cannot size the memory file", errno));

    const int control = open("/dev/loop-control", O_RDWR | O_CLOEXEC);
    if (control < 0)
        return fail(1, systemError("cannot open /dev/loop-control (run as root)", errno));

    // Another program may take the free device between asking and configuring: ask again.
    for (int attempt = 0; attempt < 64; ++attempt) {
        const int number = ioctl(control, LOOP_CTL_GET_FREE);
        if (number < 0)
            return fail(1, systemError("no free loop device", errno));
        const int loop = openLoop(number);
        if (loop < 0)
            return fail(1, systemError("cannot open /dev/loop" + std::to_string(number), errno));

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
                    close(loop);
                    return fail(1, systemError("cannot configure the loop device", error));
                }
                if (config.block_size)
                    ioctl(loop, LOOP_SET_BLOCK_SIZE, (unsigned long)config.block_size);
            }
        }
        if (result == 0) {
            close(loop);
            std::printf("/dev/loop%d\n", number);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        const int error = errno;
        close(loop);
        if (error != EBUSY)
            return fail(1, systemError("cannot attach the memory file", error));
    }
    return fail(1, "every free loop device was taken by someone else; try again");
}

// Whether the loop device is still bound to the backing file with this inode.
bool boundToInode(const std::string &device, decltype(loop_info64::lo_inode) inode)
{
    const int loop = open(device.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (loop < 0)
        return false;
    loop_info64 status{};
    const bool bound = ioctl(loop, LOOP_GET_STATUS64, &status) == 0 && status.lo_inode == inode;
    close(loop);
    return bound;
}

int detach(const std::string &device)
{
    const std::string prefix = "/dev/loop";
    if (device.compare(0, prefix.size(), prefix) != 0 || !allDigits(device.substr(prefix.size())))
        return fail(2, "refusing \"" + device +
                           "\": only /dev/loopN devices of Vellumar are detached");
    const std::string name = device.substr(5);

    struct stat info
    {
    };
    if (lstat(device.c_str(), &info) != 0)
        return fail(2, systemError("refusing \"" + device + "\"", errno));
    if (!S_ISBLK(info.st_mode) || major(info.st_rdev) != loopMajor)
        return fail(2, "refusing \"" + device + "\": not a loop device");
    const std::string numbers =
        std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev));
    if (readSmallFile("/sys/block/" + name + "/dev") != numbers)
        return fail(2, "refusing \"" + device + "\": the node does not match " + name);
    const std::string backing = "/sys/block/" + name + "/loop/backing_file";
    if (readSmallFile(backing).rfind(backingMarker, 0) != 0)
        return fail(2, "refusing \"" + device + "\": it is not a Vellumar memory disk");

    // Exclusive: fails while the volume is mounted or anyone else holds the device.
    const int loop = open(device.c_str(), O_RDONLY | O_EXCL | O_CLOEXEC | O_NOFOLLOW);
    if (loop < 0) {
        if (errno == EBUSY)
            return fail(1, "device is busy");
        return fail(1, systemError("cannot open " + device, errno));
    }
    struct stat opened
    {
    };
    if (fstat(loop, &opened) != 0 || opened.st_rdev != info.st_rdev ||
        readSmallFile(backing).rfind(backingMarker, 0) != 0) {
        close(loop);
        return fail(2, "refusing \"" + device + "\": it changed while being checked");
    }
    if (ioctl(loop, LOOP_CLR_FD, 0) != 0) {
        const int error = errno;
        close(loop);
        if (error == EBUSY)
            return fail(1, "device is busy");
        return fail(1, systemError("cannot detach " + device, error));
    }
    // Alone with the device, the release happened inside the call. Otherwise it happens when
    // the last other holder lets go: wait for that briefly. The freed name may be taken by a
    // new disk at once, so "still ours" means still bound to the same memory file.
    loop_info64 status{};
    const bool releasedNow = ioctl(loop, LOOP_GET_STATUS64, &status) != 0 && errno == ENXIO;
    const auto memoryInode = status.lo_inode;
    close(loop);
    bool released = releasedNow;
    for (int wait = 0; !released && wait < 200; ++wait) {
        usleep(10000);
        released = !boundToInode(device, memoryInode);
    }
    if (!released)
        return fail(1, "device is busy");
    std::printf("\"%s\" ejected.\n", device.c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "attach") == 0)
        return attach(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "detach") == 0)
        return detach(argv[2]);
    return fail(2, "usage: vellumar-ramdev attach ram://<blocks> | detach /dev/loopN");
}
