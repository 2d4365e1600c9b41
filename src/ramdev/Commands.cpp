#include "Commands.h"

#include "CallerPath.h"
#include "DiskMemory.h"
#include "Formatter.h"
#include "LoopDevice.h"
#include "MediaFolder.h"
#include "MemoryBudget.h"
#include "ProcessGuard.h"
#include "RecordStore.h"
#include "SafeMount.h"
#include "Text.h"
#include "ZramDevice.h"

#include <sys/random.h>

namespace Commands {
namespace {

using Kind = DiskRecord::Kind;
using Args = std::vector<std::string>;

constexpr size_t disksPerUser = 32;

const char usage[] =
    "usage: vellumar-ramdev attach ram://<blocks> [block | compressed[:lz4|:zstd]] | attach "
    "ram://<blocks> memory <label> <folder> | format <device> <id> <label> | mount <device> <id> "
    "<folder> | unmount <device> <id> | detach <device> <id> | list | check (<folder>: an "
    "absolute path, or @media/<name> for a new folder in /media/<user>)";

struct Shape
{
    const char *name;
    size_t fewest;
    size_t most;
};

constexpr Shape shapes[] = {{"attach", 1, 4}, {"format", 3, 3}, {"mount", 3, 3}, {"unmount", 2, 2},
                            {"detach", 2, 2}, {"list", 0, 0},   {"check", 0, 0}};

// "ram://<blocks>" with a block count from the smallest disk to 2^32 - 1.
bool parseSize(const std::string &request, uint64_t &blocks, std::string &problem)
{
    const std::string prefix = "ram://";
    if (request.compare(0, prefix.size(), prefix) != 0 ||
        !Text::parseUnsigned(request.substr(prefix.size()), blocks) || blocks > UINT32_MAX) {
        problem = "expected ram://<blocks> with up to 4294967295 blocks of 512 bytes, got \"" +
                  request + "\"";
        return false;
    }
    if (blocks < fewestBlocks) {
        problem = "refusing \"" + request + "\": a disk of " + std::to_string(blocks / 2) +
                  " KiB is too small: the smallest is " + std::to_string(fewestBlocks / 2) + " KiB";
        return false;
    }
    return true;
}

// Labels are shown on one line in lists and file managers: at most 16 bytes, no control bytes.
bool checkLabel(const std::string &label, std::string &problem)
{
    if (label.size() > Formatter::labelLimitBytes) {
        problem = "the label \"" + label + "\" is longer than 16 bytes";
        return false;
    }
    for (const unsigned char c : label) {
        if (c < 0x20 || c == 0x7f) {
            problem = "the label \"" + Text::escape(label) +
                      "\" holds a control character (a line break, tab or escape); remove it";
            return false;
        }
    }
    return true;
}

uint64_t randomId()
{
    uint64_t id = 0;
    while (id == 0) {
        if (getrandom(&id, sizeof id, 0) != sizeof id)
            id = 0;
    }
    return id >> 1; // fits a signed 64-bit number in every reader
}

// Stale records go in one pass, under the lock: a block disk whose device was released, a
// compressed disk whose device was reset, a memory disk whose volume is gone (with it went its
// memory: there is nothing left to release).
void dropStaleRecords(RecordStore &store)
{
    for (const DiskRecord &record : store.all()) {
        if (!DiskMemory::exists(record))
            store.remove(record);
    }
}

// The caller's disk named by device and id, checked against the system. A disk that is not the
// caller's is answered exactly like one that does not exist.
int findDisk(const Caller &caller, const RecordStore &store, const Args &args, DiskRecord &record,
             Answer &answer, bool orphanAllowed = false)
{
    DiskRecord key;
    uint64_t id = 0;
    if (!DiskRecord::parseDevice(args[0], key.kind, key.number) ||
        !Text::parseUnsigned(args[1], id))
        return answer.fail(2, "refusing \"" + Text::escape(args[0]) + "\" \"" +
                                  Text::escape(args[1]) + "\": expected a disk's device and id");
    const std::string notYours = "no disk of yours is " + args[0] + " with id " + args[1];
    if (!store.find(key, record)) {
        // Root may release a memory device of ours that has no record (its maker was stopped
        // between attaching and recording).
        uint64_t memoryDevice = 0;
        uint64_t inode = 0;
        if (!orphanAllowed || !caller.isRoot() || key.kind != Kind::Block ||
            !LoopDevice::ourMemoryFile(key.number, memoryDevice, inode) || inode != id)
            return answer.fail(2, notYours);
        record = key;
        record.id = id;
        record.memoryDevice = memoryDevice;
        record.memoryInode = inode;
        uint64_t rdev = 0;
        return LoopDevice::nodeNumber(key.number, rdev) ? (record.loopRdev = rdev, 0)
                                                        : answer.fail(2, notYours);
    }
    if (!caller.mayActOn(record.owner))
        return answer.fail(2, notYours);
    if (record.id != id)
        return answer.fail(2, notYours + ": that device now belongs to another disk");
    if (!DiskMemory::exists(record))
        return answer.fail(2, notYours + " any more (it was released)");
    return 0;
}

// Resolves the caller's folder before the lock, under a time limit, on a file system for
// user files only.
bool pinFolder(const Caller &caller, const std::string &path, CallerPath::Pinned &target,
               Answer &answer, int &status)
{
    std::string problem;
    ProcessGuard::limitTime(walkSeconds);
    const bool pinned =
        CallerPath::pin(caller, path, target, problem) &&
        CallerPath::onUserFileSystem(target.parent, target.path, problem) &&
        (target.folder < 0 || CallerPath::onUserFileSystem(target.folder, target.path, problem));
    ProcessGuard::limitTime(0);
    if (!pinned)
        status = answer.fail(2, problem);
    return pinned;
}

// The folder asked for as "@media/<name>" is made now, under the lock: it is made as root in a
// folder that is root's alone, so nothing the caller controls is waited on. Any other folder
// was pinned before the lock.
int mediaTarget(const Caller &caller, const std::string &folder, CallerPath::Pinned &target,
                Answer &answer)
{
    std::string name;
    std::string problem;
    if (!MediaFolder::isRequest(folder, name))
        return 0;
    const int status = MediaFolder::make(caller, name, target, problem);
    return status == 0 ? 0 : answer.fail(status, problem);
}

// A folder the helper made for the disk goes with the disk's volume.
void removeHelperFolder(RecordStore &store, DiskRecord &record)
{
    std::string ignored;
    if (record.helperFolder && !SafeMount::isMounted(record) && MediaFolder::remove(record)) {
        record.helperFolder = false;
        record.madeFolder = false;
        store.save(record, ignored);
    }
}

int budgetProblem(const Caller &caller, const RecordStore &store, uint64_t bytes, Answer &answer)
{
    size_t mine = 0;
    uint64_t mayStillTake = 0;
    for (const DiskRecord &record : store.all()) {
        mine += record.owner == caller.uid ? 1 : 0;
        mayStillTake += DiskMemory::mayStillTake(record);
    }
    if (mine >= disksPerUser)
        return answer.fail(2, "you have " + std::to_string(mine) +
                                  " disks already, the most one user may have; eject one first");
    MemoryBudget::Figures figures;
    if (!MemoryBudget::read(figures))
        return answer.fail(1, "cannot read the machine's memory figures");
    const std::string refusal = MemoryBudget::refusal(bytes, mayStillTake, figures);
    return refusal.empty() ? 0 : answer.fail(2, refusal);
}

void announce(const DiskRecord &record, Answer &answer, Args &undo)
{
    answer.say(record.device());
    answer.say(std::to_string(record.id));
    undo = {"detach", record.device(), std::to_string(record.id)};
}

int attachBlock(RecordStore &store, DiskRecord record, Answer &answer, Args &undo)
{
    LoopDevice::Attached attached;
    std::string problem;
    const auto recordFirst = [&](const LoopDevice::Attached &planned) {
        record.number = planned.number;
        record.loopRdev = planned.rdev;
        record.memoryDevice = planned.memoryDevice;
        record.memoryInode = planned.memoryInode;
        record.id = planned.memoryInode;
        return store.save(record, problem);
    };
    if (!LoopDevice::attachMemory(record.bytes(), attached, recordFirst, problem)) {
        if (record.number >= 0)
            store.remove(record);
        return answer.fail(1, problem);
    }
    LoopDevice::letGo(attached);
    announce(record, answer, undo);
    return 0;
}

int attachCompressed(RecordStore &store, DiskRecord record, Answer &answer, Args &undo)
{
    std::string problem;
    if (!ZramDevice::available(problem))
        return answer.fail(2, problem);
    record.id = randomId();
    if (!ZramDevice::claim(record.number, problem))
        return answer.fail(1, problem);
    if (!store.save(record, problem) ||
        !ZramDevice::configure(record.number, record.algorithm, record.bytes(),
                               ZramDevice::limitFor(record.bytes()), problem) ||
        !store.save(record, problem)) {
        std::string ignored;
        ZramDevice::release(record.number, ignored);
        store.remove(record);
        return answer.fail(1, problem);
    }
    announce(record, answer, undo);
    return 0;
}

int attachMemory(const Caller &caller, RecordStore &store, DiskRecord record,
                 const std::string &folder, CallerPath::Pinned &target, Answer &answer, Args &undo)
{
    // The lowest free number; the record found for a taken one is another disk's.
    DiskRecord taken;
    for (record.number = 1; store.find(record, taken); ++record.number) {
    }
    record.formatted = true;
    record.id = randomId();
    std::string problem;
    if (const int status = mediaTarget(caller, folder, target, answer))
        return status;
    if (const int status = SafeMount::mountDisk(caller, target, record, store, problem)) {
        store.remove(record);
        return answer.fail(status, problem);
    }
    announce(record, answer, undo);
    answer.say(record.mountPath);
    undo[0] = "unmount";
    return 0;
}

int attach(const Caller &caller, RecordStore &store, const Args &args, Answer &answer, Args &undo)
{
    DiskRecord record;
    std::string problem;
    if (!parseSize(args[0], record.blocks, problem))
        return answer.fail(2, problem);
    const std::string kind = args.size() > 1 ? args[1] : "block";
    const size_t colon = kind.find(':');
    if (!DiskRecord::parseKind(kind.substr(0, colon), record.kind))
        return answer.fail(2, "unknown kind of disk \"" + Text::escape(kind) +
                                  "\"; expected memory, compressed or block");
    const bool memory = record.kind == Kind::Memory;
    if (args.size() != (memory ? 4u : 2u) && !(args.size() == 1 && !memory))
        return answer.fail(2, usage);
    if (record.kind == Kind::Compressed) {
        record.algorithm = colon == std::string::npos ? "" : kind.substr(colon + 1);
        if (record.algorithm != "" && record.algorithm != "zstd" && record.algorithm != "lz4")
            return answer.fail(2, "unknown compression \"" + Text::escape(record.algorithm) +
                                      "\"; expected zstd or lz4");
    } else if (colon != std::string::npos) {
        return answer.fail(2, "only compressed disks take a compression");
    }
    record.owner = caller.uid;
    CallerPath::Pinned target;
    int status = 0;
    if (memory && !checkLabel(args[2], problem))
        return answer.fail(2, problem);
    if (memory)
        record.label = args[2];
    std::string mediaName;
    if (memory && !MediaFolder::isRequest(args[3], mediaName) &&
        !pinFolder(caller, args[3], target, answer, status))
        return status;
    if (!store.lock(lockSeconds, problem))
        status = answer.fail(1, problem);
    if (status == 0) {
        dropStaleRecords(store);
        status = budgetProblem(caller, store, record.bytes(), answer);
    }
    if (status == 0) {
        status = memory ? attachMemory(caller, store, record, args[3], target, answer, undo)
                 : record.kind == Kind::Compressed ? attachCompressed(store, record, answer, undo)
                                                   : attachBlock(store, record, answer, undo);
    }
    CallerPath::release(target);
    return status;
}

int format(const Caller &caller, RecordStore &store, const Args &args, Answer &answer)
{
    std::string problem;
    if (!checkLabel(args[2], problem))
        return answer.fail(2, problem);
    if (!store.lock(lockSeconds, problem))
        return answer.fail(1, problem);
    DiskRecord record;
    if (const int status = findDisk(caller, store, args, record, answer))
        return status;
    if (record.kind == Kind::Memory)
        return answer.fail(2, "a memory disk needs no file system to be made");
    if (SafeMount::isMounted(record))
        return answer.fail(2, "refusing to format " + record.device() + ": it is mounted");
    record.label = args[2];
    std::string words;
    const int status = Formatter::format(record, caller, words, problem);
    answer.addToolWords(words);
    if (status != 0)
        return answer.fail(1, problem);
    record.formatted = true;
    return store.save(record, problem) ? 0 : answer.fail(1, problem);
}

int mount(const Caller &caller, RecordStore &store, const Args &args, Answer &answer)
{
    CallerPath::Pinned target;
    int status = 0;
    std::string mediaName;
    if (!MediaFolder::isRequest(args[2], mediaName) &&
        !pinFolder(caller, args[2], target, answer, status))
        return status;
    std::string problem;
    DiskRecord record;
    if (!store.lock(lockSeconds, problem))
        status = answer.fail(1, problem);
    if (status == 0)
        status = findDisk(caller, store, args, record, answer);
    if (status == 0 && record.kind == Kind::Memory)
        status = answer.fail(2, "a memory disk is mounted when it is made; make a new one");
    if (status == 0 && !record.formatted)
        status =
            answer.fail(2, "refusing to mount " + record.device() + ": it has no file system yet");
    if (status == 0 && SafeMount::isMounted(record))
        status = answer.fail(2, record.device() + " is mounted already, at \"" + record.mountPath +
                                    "\"");
    if (status == 0)
        status = mediaTarget(caller, args[2], target, answer);
    if (status == 0) {
        status = SafeMount::mountDisk(caller, target, record, store, problem);
        if (status == 0)
            answer.say(record.mountPath);
        else
            answer.fail(status, problem);
    }
    CallerPath::release(target);
    return status;
}

int unmount(const Caller &caller, RecordStore &store, const Args &args, Answer &answer)
{
    // Where the volume is now is found and pinned before the lock: reaching it walks the
    // caller's folders.
    DiskRecord record;
    if (const int status = findDisk(caller, store, args, record, answer))
        return status;
    CallerPath::Pinned parent;
    std::string problem;
    ProcessGuard::limitTime(walkSeconds);
    const bool pinned = SafeMount::pinMountParent(caller, record, parent, problem);
    ProcessGuard::limitTime(0);
    if (!pinned && !problem.empty())
        return answer.fail(1, "cannot reach the disk's folder: " + problem);
    int status = store.lock(lockSeconds, problem) ? 0 : answer.fail(1, problem);
    if (status == 0)
        status = findDisk(caller, store, args, record, answer);
    if (status == 0 && SafeMount::unmountDisk(record, parent, problem) != 0)
        status = answer.fail(1, problem);
    if (status == 0 && record.kind != Kind::Memory) {
        record.mountId = 0;
        if (!store.save(record, problem))
            status = answer.fail(1, problem);
    }
    if (status == 0)
        removeHelperFolder(store, record);
    if (status == 0 && record.kind == Kind::Memory)
        store.remove(record); // its memory went with its volume
    CallerPath::release(parent);
    return status;
}

int detach(const Caller &caller, RecordStore &store, const Args &args, Answer &answer)
{
    std::string problem;
    if (!store.lock(lockSeconds, problem))
        return answer.fail(1, problem);
    DiskRecord record;
    // A memory disk is gone with its volume: once unmounted there is nothing left to release.
    DiskRecord key;
    if (DiskRecord::parseDevice(args[0], key.kind, key.number) && key.kind == Kind::Memory &&
        !store.find(key, record)) {
        answer.say("\"" + args[0] + "\" ejected.");
        return 0;
    }
    if (const int status = findDisk(caller, store, args, record, answer, true))
        return status;
    // The memory goes only once the volume is gone: detaching "succeeds" lazily while mounted.
    if (SafeMount::isMounted(record))
        return answer.fail(1, record.device() + " is still mounted; unmount it first");
    int status = 0;
    if (record.kind == Kind::Block)
        status = LoopDevice::detach(record, problem);
    else if (record.kind == Kind::Compressed)
        status = ZramDevice::release(record.number, problem);
    if (status != 0)
        return answer.fail(status, problem);
    // Unmounted elsewhere, the volume may have left the helper's folder behind.
    removeHelperFolder(store, record);
    store.remove(record);
    answer.say("\"" + record.device() + "\" ejected.");
    return 0;
}

std::string kibOrUnknown(bool known, uint64_t bytes)
{
    return known ? std::to_string(bytes / 1024) : "-1";
}

// One line a disk: device, id, owner, KiB, mounted (0/1), folder made (0/1), folder, label,
// kind, memory held (KiB, -1 unknown), data held before compression (KiB, -1 unknown);
// separated by tabs, the folder and label escaped as %XX. Needs no lock: records are replaced
// whole, and a disk no longer on the system is left out.
int list(const Caller &caller, const RecordStore &store, Answer &answer)
{
    for (const DiskRecord &record : store.all()) {
        if (!caller.mayActOn(record.owner) || !DiskMemory::exists(record))
            continue;
        uint64_t held = 0;
        const bool heldKnown = DiskMemory::held(record, held);
        ZramDevice::Usage usage;
        const bool compressed =
            record.kind == Kind::Compressed && ZramDevice::usage(record.number, usage);
        answer.say(record.device() + "\t" + std::to_string(record.id) + "\t" +
                   std::to_string(record.owner) + "\t" + std::to_string(record.blocks / 2) + "\t" +
                   (SafeMount::isMounted(record) ? "1" : "0") + "\t" +
                   (record.madeFolder ? "1" : "0") + "\t" + Text::escape(record.mountPath) + "\t" +
                   Text::escape(record.label) + "\t" + DiskRecord::kindName(record.kind) + "\t" +
                   kibOrUnknown(heldKnown, held) + "\t" +
                   kibOrUnknown(compressed, usage.dataBytes));
    }
    return 0;
}

} // namespace

bool known(const Args &words, Answer &answer)
{
    for (const Shape &shape : shapes) {
        if (!words.empty() && words[0] == shape.name && words.size() - 1 >= shape.fewest &&
            words.size() - 1 <= shape.most)
            return true;
    }
    answer.fail(2, usage);
    return false;
}

int run(const Caller &caller, const Args &words, Answer &answer, Args &undo)
{
    const std::string &name = words[0];
    const Args args(words.begin() + 1, words.end());
    if (name == "check")
        return 0;
    RecordStore store;
    std::string problem;
    if (!store.open(problem))
        return answer.fail(1, problem);
    if (name == "list")
        return list(caller, store, answer);
    if (name == "attach")
        return attach(caller, store, args, answer, undo);
    if (name == "format")
        return format(caller, store, args, answer);
    if (name == "mount")
        return mount(caller, store, args, answer);
    if (name == "unmount")
        return unmount(caller, store, args, answer);
    return detach(caller, store, args, answer);
}

int takeBack(const Caller &caller, const Args &undo, Answer &answer)
{
    RecordStore store;
    std::string problem;
    if (!store.open(problem))
        return answer.fail(1, problem);
    const Args named(undo.begin() + 1, undo.end());
    if (undo[0] == "unmount") {
        if (const int status = unmount(caller, store, named, answer))
            return status;
        store.unlock();
    }
    return detach(caller, store, named, answer);
}

} // namespace Commands
