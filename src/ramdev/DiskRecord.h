#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

// What the helper remembers of one disk it made. A disk is named by its device and its id
// together: a device name alone may belong to another disk a moment later.
//
// Kinds: a block disk is a loop device bound to a memory file (its id is the file's inode); a
// compressed disk is a zram device the helper claimed; a memory disk is a tmpfs volume and has
// no device (its "device" is the name it is mounted under). Ids of the last two are random.
struct DiskRecord
{
    enum class Kind { Block, Compressed, Memory };

    Kind kind = Kind::Block;
    int number = -1;           // /dev/loopN, /dev/zramN, or vellumar-memN
    uint64_t id = 0;           // what callers name the disk by, beside its device
    uint64_t loopRdev = 0;     // block: the device number of the node
    uint64_t memoryDevice = 0; // block: the memory file's identity as the loop device reports it
    uint64_t memoryInode = 0;
    std::string algorithm; // compressed: the compression the device uses
    uid_t owner = 0;
    uint64_t blocks = 0; // of 512 bytes
    bool formatted = false;
    std::string label;
    // Once mounted: where, the mount's id and the superblock's device number (mount ids are
    // reused at once, so the two together), and the folder it covers. A mount is recorded
    // before it is made, so a run stopped half-way leaves a record the next run can check.
    std::string mountPath;
    uint64_t mountId = 0;
    uint64_t superblock = 0;
    bool madeFolder = false;
    bool helperFolder = false; // made in the caller's media folder: root's, the helper removes it
    uint64_t folderDevice = 0;
    uint64_t folderInode = 0;
    bool keptOutOfSwap = false; // memory: the kernel took "noswap"

    std::string device() const;
    std::string fileName() const; // of the record
    uint64_t bytes() const { return blocks * 512; }

    std::string serialize() const;
    static bool parse(const std::string &text, DiskRecord &record);

    // "block", "compressed", "memory".
    static const char *kindName(Kind kind);
    static bool parseKind(const std::string &word, Kind &kind);
    // The kind and number a device name gives; false for anything that is not one of ours.
    static bool parseDevice(const std::string &device, Kind &kind, int &number);
};
