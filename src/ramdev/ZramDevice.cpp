#include "ZramDevice.h"

#include "Text.h"

#include <cerrno>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ZramDevice {
namespace {

const char control[] = "/sys/class/zram-control";

std::string attribute(int number, const std::string &name)
{
    return "/sys/block/zram" + std::to_string(number) + "/" + name;
}

bool writeFile(const std::string &path, const std::string &value, int &error)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        error = errno;
        return false;
    }
    const bool written = write(fd, value.data(), value.size()) == ssize_t(value.size());
    error = written ? 0 : errno;
    close(fd);
    return written;
}

bool loadModule()
{
    const pid_t child = fork();
    if (child == 0) {
        const int nothing = open("/dev/null", O_RDWR | O_CLOEXEC);
        for (const int fd : {0, 1, 2})
            dup2(nothing, fd);
        char path[] = "PATH=/usr/sbin:/usr/bin:/sbin:/bin";
        char *environment[] = {path, nullptr};
        for (const char *program : {"/sbin/modprobe", "/usr/sbin/modprobe"}) {
            char *argv[] = {const_cast<char *>(program), const_cast<char *>("zram"),
                            const_cast<char *>("num_devices=0"), nullptr};
            execve(program, argv, environment);
        }
        _exit(127);
    }
    int status = 0;
    while (child > 0 && waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    struct stat info
    {
    };
    return stat(control, &info) == 0;
}

} // namespace

bool available(std::string &problem)
{
    struct stat info
    {
    };
    if (stat(control, &info) == 0 || loadModule())
        return true;
    problem = "this system cannot make compressed disks: its kernel has no zram module; choose "
              "a memory disk instead";
    return false;
}

bool offers(int number, const std::string &algorithm)
{
    std::istringstream words(Text::readSmallFile(attribute(number, "comp_algorithm")));
    for (std::string word; words >> word;) {
        if (word == algorithm || word == "[" + algorithm + "]")
            return true;
    }
    return false;
}

bool claim(int &number, std::string &problem)
{
    uint64_t value = 0;
    if (!Text::parseUnsigned(Text::readSmallFile(std::string(control) + "/hot_add"), value) ||
        value >= 1u << 20) {
        problem = "the kernel gave no new compressed device; try again";
        return false;
    }
    number = int(value);
    return true;
}

uint64_t limitFor(uint64_t bytes)
{
    // Data that does not compress is kept as whole pages, plus the allocator's bookkeeping.
    return bytes + bytes / 64 + 4 * 1024 * 1024;
}

bool configure(int number, std::string &algorithm, uint64_t bytes, uint64_t limitBytes,
               std::string &problem)
{
    if (algorithm.empty())
        algorithm = offers(number, "zstd") ? "zstd" : "lz4";
    int error = 0;
    if (!offers(number, algorithm) ||
        !writeFile(attribute(number, "comp_algorithm"), algorithm, error)) {
        problem = "this kernel cannot compress with " + algorithm +
                  "; leave the compression to "
                  "Vellumar or choose another";
        return false;
    }
    if (!writeFile(attribute(number, "disksize"), std::to_string(bytes), error) ||
        !writeFile(attribute(number, "mem_limit"), std::to_string(limitBytes), error)) {
        problem = Text::systemError("cannot set up the compressed device", error);
        return false;
    }
    return true;
}

bool isClaimed(const DiskRecord &record)
{
    uint64_t size = 0;
    return record.kind == DiskRecord::Kind::Compressed &&
           Text::parseUnsigned(Text::readSmallFile(attribute(record.number, "disksize")), size) &&
           size == record.bytes();
}

bool usage(int number, Usage &usage)
{
    // orig_data_size compr_data_size mem_used_total mem_limit mem_used_max ...
    std::istringstream fields(Text::readSmallFile(attribute(number, "mm_stat")));
    uint64_t compressed = 0;
    return bool(fields >> usage.dataBytes >> compressed >> usage.memoryBytes >> usage.limitBytes);
}

int release(int number, std::string &problem)
{
    int error = 0;
    if (!writeFile(attribute(number, "reset"), "1", error)) {
        problem = error == EBUSY
                      ? "device is busy"
                      : Text::systemError("cannot reset /dev/zram" + std::to_string(number), error);
        return 1;
    }
    if (!writeFile(std::string(control) + "/hot_remove", std::to_string(number), error)) {
        // Reset already gave the memory back; a device left without size holds nothing.
    }
    return 0;
}

} // namespace ZramDevice
