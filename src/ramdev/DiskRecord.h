#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

// What the helper remembers of one disk it made. The disk is its loop device bound to its
// memory file: a device name alone may belong to another disk a moment later, so every action
// checks both.
struct DiskRecord
{
    int loopNumber = -1;       // /dev/loopN
    uint64_t loopRdev = 0;     // the device number of that node
    uint64_t memoryDevice = 0; // the memory file's identity as the loop device reports it
    uint64_t memoryInode = 0;  // also the disk's id for callers
    uid_t owner = 0;
    uint64_t blocks = 0; // of 512 bytes
    bool formatted = false;
    std::string label;
    // Once mounted: where, the mount's id, and the folder it covers.
    std::string mountPath;
    uint64_t mountId = 0;
    bool madeFolder = false;
    uint64_t folderDevice = 0;
    uint64_t folderInode = 0;

    std::string device() const { return "/dev/loop" + std::to_string(loopNumber); }
    std::string id() const { return std::to_string(memoryInode); }

    std::string serialize() const;
    static bool parse(const std::string &text, DiskRecord &record);
};
