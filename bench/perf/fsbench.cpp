// File-system workloads timed from inside one process, so that process start-up does not count:
//   vellumar-fsbench write <file> <MiB>          sequential write, 1 MiB at a time, then fsync
//   vellumar-fsbench read <file>                 sequential read, 1 MiB at a time
//   vellumar-fsbench smallfiles <dir> <count> <bytes> [--drop-caches]
//                                                create (then syncfs), read, delete (then syncfs)
//   vellumar-fsbench append <file> <count>       4 KiB appends, each followed by fdatasync:
//                                                median and 99th percentile latency
//   vellumar-fsbench pretouch <MiB>              touches that much memory and gives it back
// On a virtual machine whose host takes idle free memory back, the first touch of a page costs
// far more than the work measured; touching memory just before a run evens that out.
// Prints "key value" lines: seconds and MB/s (10^6 bytes per second) or files per second.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t chunk = 1 << 20;

double seconds()
{
    using clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(clock::now().time_since_epoch()).count();
}

[[noreturn]] void fail(const std::string &what)
{
    std::fprintf(stderr, "vellumar-fsbench: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(1);
}

// Data that no layer can shortcut: not zeros, not one repeated byte.
std::vector<char> patternedBuffer(size_t size, unsigned seed)
{
    std::vector<char> buffer(size);
    unsigned x = seed * 2654435761u + 1;
    for (char &c : buffer) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    return buffer;
}

void writeAll(int fd, const char *data, size_t size, const std::string &name)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("write " + name);
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
}

void dropCaches()
{
    ::sync();
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY);
    if (fd < 0)
        fail("open /proc/sys/vm/drop_caches (needs root)");
    writeAll(fd, "3\n", 2, "drop_caches");
    ::close(fd);
}

int sequentialWrite(const std::string &path, long mebibytes)
{
    const std::vector<char> buffer = patternedBuffer(chunk, 7);
    const double start = seconds();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        fail("open " + path);
    for (long i = 0; i < mebibytes; ++i)
        writeAll(fd, buffer.data(), buffer.size(), path);
    const double written = seconds() - start;
    if (::fsync(fd) != 0)
        fail("fsync " + path);
    ::close(fd);
    const double elapsed = seconds() - start;
    std::printf("seconds %.6f\nMBps %.1f\nwrite_seconds %.6f\nfsync_seconds %.6f\n", elapsed,
                mebibytes * double(chunk) / elapsed / 1e6, written, elapsed - written);
    return 0;
}

int sequentialRead(const std::string &path)
{
    std::vector<char> buffer(chunk);
    const double start = seconds();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        fail("open " + path);
    double total = 0;
    unsigned long checksum = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("read " + path);
        }
        if (n == 0)
            break;
        total += double(n);
        checksum += static_cast<unsigned char>(buffer[0]);
    }
    ::close(fd);
    const double elapsed = seconds() - start;
    std::printf("seconds %.6f\nMBps %.1f\nbytes %.0f\nchecksum %lu\n", elapsed,
                total / elapsed / 1e6, total, checksum);
    return 0;
}

// Twenty folders so that no one folder grows very large, as a real tree of small files would.
std::string smallFilePath(const std::string &dir, long i)
{
    return dir + "/d" + std::to_string(i % 20) + "/f" + std::to_string(i);
}

int smallFiles(const std::string &dir, long count, size_t bytes, bool drop)
{
    const std::vector<char> data = patternedBuffer(bytes, 11);
    for (int d = 0; d < 20; ++d) {
        const std::string sub = dir + "/d" + std::to_string(d);
        if (::mkdir(sub.c_str(), 0755) != 0 && errno != EEXIST)
            fail("mkdir " + sub);
    }
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        fail("open " + dir);

    double start = seconds();
    for (long i = 0; i < count; ++i) {
        const std::string path = smallFilePath(dir, i);
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            fail("create " + path);
        writeAll(fd, data.data(), data.size(), path);
        ::close(fd);
    }
    if (::syncfs(dirFd) != 0)
        fail("syncfs " + dir);
    const double create = seconds() - start;

    if (drop)
        dropCaches();
    std::vector<char> buffer(bytes + 1);
    start = seconds();
    for (long i = 0; i < count; ++i) {
        const std::string path = smallFilePath(dir, i);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            fail("open " + path);
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n != static_cast<ssize_t>(bytes) ||
            std::memcmp(buffer.data(), data.data(), bytes) != 0) {
            errno = EIO;
            fail("content of " + path);
        }
        ::close(fd);
    }
    const double read = seconds() - start;

    start = seconds();
    for (long i = 0; i < count; ++i) {
        const std::string path = smallFilePath(dir, i);
        if (::unlink(path.c_str()) != 0)
            fail("unlink " + path);
    }
    if (::syncfs(dirFd) != 0)
        fail("syncfs " + dir);
    const double remove = seconds() - start;
    ::close(dirFd);

    std::printf("create_seconds %.6f\nread_seconds %.6f\ndelete_seconds %.6f\ntotal_seconds %.6f\n",
                create, read, remove, create + read + remove);
    std::printf("files_per_second %.0f\n", 3.0 * count / (create + read + remove));
    return 0;
}

int appendLatency(const std::string &path, long count)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        fail("open " + path);
    const std::vector<char> data = patternedBuffer(4096, 7);
    std::vector<double> latencies;
    for (long i = 0; i < count; ++i) {
        const double start = seconds();
        if (::write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size()) ||
            ::fdatasync(fd) != 0)
            fail("append " + path);
        latencies.push_back(seconds() - start);
    }
    ::close(fd);
    std::sort(latencies.begin(), latencies.end());
    std::printf("median_microseconds %.2f\np99_microseconds %.2f\n",
                latencies[latencies.size() / 2] * 1e6, latencies[latencies.size() * 99 / 100] * 1e6);
    return 0;
}

int pretouch(long mebibytes)
{
    const size_t size = size_t(mebibytes) << 20;
    void *memory =
        ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        fail("mmap");
    std::memset(memory, 1, size);
    ::munmap(memory, size);
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: vellumar-fsbench write <file> <MiB> | read <file> | "
                         "smallfiles <dir> <count> <bytes> [--drop-caches] | append <file> <count> | "
                         "pretouch <MiB>\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return usage();
    const std::string mode = argv[1];
    if (mode == "pretouch" && argc == 3)
        return pretouch(std::atol(argv[2]));
    if (mode == "write" && argc == 4)
        return sequentialWrite(argv[2], std::atol(argv[3]));
    if (mode == "append" && argc == 4 && std::atol(argv[3]) > 0)
        return appendLatency(argv[2], std::atol(argv[3]));
    if (mode == "read" && argc == 3)
        return sequentialRead(argv[2]);
    if (mode == "smallfiles" && (argc == 5 || argc == 6)) {
        const bool drop = argc == 6 && std::string(argv[5]) == "--drop-caches";
        if (argc == 6 && !drop)
            return usage();
        return smallFiles(argv[2], std::atol(argv[3]), static_cast<size_t>(std::atol(argv[4])),
                          drop);
    }
    return usage();
}
