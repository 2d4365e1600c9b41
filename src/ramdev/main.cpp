// vellumar-ramdev: the one program of Vellumar that runs as root. Ordinary users reach it
// through pkexec; it makes, formats, mounts, unmounts and releases memory disks, and acts only
// on the caller's own disks, known by the records it keeps.
//
//   vellumar-ramdev attach ram://<blocks>          prints "/dev/loopN" and the disk's id
//   vellumar-ramdev format /dev/loopN <id> <label>
//   vellumar-ramdev mount /dev/loopN <id> <folder> prints the folder
//   vellumar-ramdev unmount /dev/loopN <id>
//   vellumar-ramdev detach /dev/loopN <id>
//   vellumar-ramdev list                           the caller's disks (root: all), one a line
//   vellumar-ramdev check                          nothing: whether the helper may run at all
//
// Exit status: 0 done, 1 the system refused (busy, out of memory), 2 refused request.

#include "Caller.h"
#include "Formatter.h"
#include "LoopDevice.h"
#include "MemoryBudget.h"
#include "RecordStore.h"
#include "SafeMount.h"
#include "Text.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Text::fail;

constexpr size_t disksPerUser = 32;

const char usage[] = "usage: vellumar-ramdev attach ram://<blocks> | format /dev/loopN <id> "
                     "<label> | mount /dev/loopN <id> <folder> | unmount /dev/loopN <id> | "
                     "detach /dev/loopN <id> | list | check";

// "ram://<blocks>" with a block count of 1 to 2^32 - 1.
bool parseRequest(const std::string &request, uint64_t &blocks)
{
    const std::string prefix = "ram://";
    return request.compare(0, prefix.size(), prefix) == 0 &&
           Text::parseUnsigned(request.substr(prefix.size()), blocks) && blocks > 0 &&
           blocks <= UINT32_MAX;
}

bool parseDevice(const std::string &device, int &number)
{
    const std::string prefix = "/dev/loop";
    uint64_t value = 0;
    if (device.compare(0, prefix.size(), prefix) != 0 ||
        !Text::parseUnsigned(device.substr(prefix.size()), value) || value >= 1u << 20)
        return false;
    number = int(value);
    return true;
}

// The caller's disk named by device and id, checked against the system. A disk that is not the
// caller's is answered exactly like one that does not exist.
int findDisk(const Caller &caller, RecordStore &store, const std::string &device,
             const std::string &id, DiskRecord &record, bool orphanAllowed = false)
{
    int number = -1;
    uint64_t memoryInode = 0;
    if (!parseDevice(device, number) || !Text::parseUnsigned(id, memoryInode))
        return fail(2, "refusing \"" + device + "\" \"" + id +
                           "\": expected /dev/loopN and the disk's id");
    const std::string notYours = "no disk of yours is " + device + " with id " + id;
    if (!store.find(number, record)) {
        // Root may release a memory device of ours that has no record (its maker was stopped
        // between attaching and recording).
        uint64_t memoryDevice = 0;
        uint64_t inode = 0;
        if (!orphanAllowed || !caller.isRoot() ||
            !LoopDevice::ourMemoryFile(number, memoryDevice, inode) || inode != memoryInode)
            return fail(2, notYours);
        struct stat node
        {
        };
        if (stat(device.c_str(), &node) != 0)
            return fail(2, notYours);
        record = {};
        record.loopNumber = number;
        record.loopRdev = node.st_rdev;
        record.memoryDevice = memoryDevice;
        record.memoryInode = inode;
        return 0;
    }
    if (!caller.mayActOn(record.owner))
        return fail(2, notYours);
    if (!LoopDevice::isBoundTo(record)) {
        store.remove(number);
        return fail(2, notYours + " any more (it was released)");
    }
    if (record.memoryInode != memoryInode)
        return fail(2, notYours + ": that device now belongs to another disk");
    return 0;
}

// What the caller's other disks may still fill, in bytes.
uint64_t unfilledByOthers(const Caller &caller, const std::vector<DiskRecord> &records,
                          size_t &count)
{
    uint64_t unfilled = 0;
    count = 0;
    for (const DiskRecord &record : records) {
        if (record.owner != caller.uid || !LoopDevice::isBoundTo(record))
            continue;
        ++count;
        const uint64_t size = record.blocks * 512;
        const uint64_t used = SafeMount::usedBytes(record);
        unfilled += size > used ? size - used : 0;
    }
    return unfilled;
}

int attach(const Caller &caller, RecordStore &store, const std::string &request)
{
    uint64_t blocks = 0;
    if (!parseRequest(request, blocks))
        return fail(2, "expected ram://<blocks> with 1 to 4294967295 blocks of 512 bytes, got \"" +
                           request + "\"");
    size_t count = 0;
    const uint64_t unfilled = unfilledByOthers(caller, store.all(), count);
    if (count >= disksPerUser)
        return fail(2, "you have " + std::to_string(count) +
                           " disks already, the most one user may have; eject one first");
    MemoryBudget::Figures figures;
    if (!MemoryBudget::read(figures))
        return fail(1, "cannot read the machine's memory figures");
    const std::string refusal = MemoryBudget::refusal(blocks * 512, unfilled, figures);
    if (!refusal.empty())
        return fail(2, refusal);

    LoopDevice::Attached attached;
    std::string problem;
    if (!LoopDevice::attachMemory(blocks * 512, attached, problem))
        return fail(1, problem);
    DiskRecord record;
    record.loopNumber = attached.number;
    record.loopRdev = attached.rdev;
    record.memoryDevice = attached.memoryDevice;
    record.memoryInode = attached.memoryInode;
    record.owner = caller.uid;
    record.blocks = blocks;
    if (!store.save(record, problem)) {
        LoopDevice::release(attached);
        return fail(1, problem);
    }
    // A device whose name could not be handed over would be left attached: release it.
    const bool answered =
        std::printf("%s\n%s\n", record.device().c_str(), record.id().c_str()) > 0 &&
        std::fflush(stdout) == 0;
    if (!answered) {
        LoopDevice::release(attached);
        store.remove(record.loopNumber);
        return fail(1, "cannot hand over the device name; the disk was released again");
    }
    close(attached.fd);
    return 0;
}

int format(const Caller &caller, RecordStore &store, const std::vector<std::string> &args)
{
    DiskRecord record;
    if (const int status = findDisk(caller, store, args[0], args[1], record))
        return status;
    if (SafeMount::isMounted(record))
        return fail(2, "refusing to format " + record.device() + ": it is mounted");
    const std::string &label = args[2];
    if (label.size() > Formatter::labelLimitBytes)
        return fail(2, "the label \"" + label + "\" is longer than 16 bytes");
    record.label = label;
    std::string problem;
    if (Formatter::format(record, caller, problem) != 0)
        return fail(1, problem);
    record.formatted = true;
    if (!store.save(record, problem))
        return fail(1, problem);
    return 0;
}

int mount(const Caller &caller, RecordStore &store, const std::vector<std::string> &args)
{
    DiskRecord record;
    if (const int status = findDisk(caller, store, args[0], args[1], record))
        return status;
    if (!record.formatted)
        return fail(2, "refusing to mount " + record.device() + ": it has no file system yet");
    if (SafeMount::isMounted(record))
        return fail(2, record.device() + " is mounted already, at \"" + record.mountPath + "\"");
    std::string problem;
    if (const int status = SafeMount::mountDisk(caller, args[2], record, problem))
        return fail(status, problem);
    if (!store.save(record, problem)) {
        // A mount without its record could never be ejected by its owner: undo it.
        std::string ignored;
        SafeMount::unmountDisk(record, ignored);
        return fail(1, problem);
    }
    std::printf("%s\n", record.mountPath.c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int unmount(const Caller &caller, RecordStore &store, const std::vector<std::string> &args)
{
    DiskRecord record;
    if (const int status = findDisk(caller, store, args[0], args[1], record))
        return status;
    std::string problem;
    if (SafeMount::unmountDisk(record, problem) != 0)
        return fail(1, problem);
    if (store.find(record.loopNumber, record)) {
        record.mountId = 0;
        if (!store.save(record, problem))
            return fail(1, problem);
    }
    return 0;
}

int detach(const Caller &caller, RecordStore &store, const std::vector<std::string> &args)
{
    DiskRecord record;
    if (const int status = findDisk(caller, store, args[0], args[1], record, true))
        return status;
    // The memory goes only once the volume is gone: detaching "succeeds" lazily while mounted.
    if (SafeMount::isMounted(record))
        return fail(1, record.device() + " is still mounted; unmount it first");
    std::string problem;
    if (const int status = LoopDevice::detach(record, problem))
        return fail(status, problem);
    store.remove(record.loopNumber);
    std::printf("\"%s\" ejected.\n", record.device().c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}

// One line a disk: device, id, owner, KiB, mounted (0/1), folder made (0/1), folder, label;
// separated by tabs, the folder and label escaped as %XX.
int list(const Caller &caller, RecordStore &store)
{
    for (const DiskRecord &record : store.all()) {
        if (!caller.mayActOn(record.owner))
            continue;
        if (!LoopDevice::isBoundTo(record)) {
            store.remove(record.loopNumber);
            continue;
        }
        const bool mounted = SafeMount::isMounted(record);
        std::printf("%s\t%s\t%u\t%llu\t%d\t%d\t%s\t%s\n", record.device().c_str(),
                    record.id().c_str(), unsigned(record.owner),
                    (unsigned long long)(record.blocks / 2), mounted ? 1 : 0,
                    record.madeFolder ? 1 : 0, Text::escape(record.mountPath).c_str(),
                    Text::escape(record.label).c_str());
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

struct Command
{
    const char *name;
    size_t arguments;
};

} // namespace

int main(int argc, char **argv)
{
    // A closed answer pipe must be an error to handle, not a death between two steps; and
    // nothing may stop the helper half-way through a change of the system.
    std::signal(SIGPIPE, SIG_IGN);
    sigset_t blocked;
    sigemptyset(&blocked);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP})
        sigaddset(&blocked, signal);
    sigprocmask(SIG_BLOCK, &blocked, nullptr);
    umask(022);

    const std::vector<std::string> words(argv + 1, argv + argc);
    static const Command commands[] = {{"attach", 1}, {"format", 3}, {"mount", 3}, {"unmount", 2},
                                       {"detach", 2}, {"list", 0},   {"check", 0}};
    const std::string name = words.empty() ? std::string() : words[0];
    const std::vector<std::string> args(words.empty() ? words.end() : words.begin() + 1,
                                        words.end());
    bool known = false;
    for (const Command &command : commands)
        known = known || (name == command.name && args.size() == command.arguments);
    if (!known)
        return fail(2, usage);

    Caller caller;
    std::string problem;
    if (!Caller::identify(caller, problem))
        return fail(2, problem);
    if (name == "check")
        return 0;
    RecordStore store;
    if (!store.open(problem))
        return fail(1, problem);
    if (name == "attach")
        return attach(caller, store, args[0]);
    if (name == "format")
        return format(caller, store, args);
    if (name == "mount")
        return mount(caller, store, args);
    if (name == "unmount")
        return unmount(caller, store, args);
    if (name == "detach")
        return detach(caller, store, args);
    return list(caller, store);
}
