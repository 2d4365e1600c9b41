#pragma once

#include "DiskRecord.h"

#include <string>
#include <vector>

// The helper's records, one file per disk in a folder only root can read (under /run, so they
// go at reboot with the disks). Changes are made under one lock that a run takes only for its
// work on the system and its records, never while it waits on its caller; records are replaced
// whole, so reading them needs no lock.
class RecordStore
{
public:
    RecordStore() = default;
    ~RecordStore();
    RecordStore(const RecordStore &) = delete;
    RecordStore &operator=(const RecordStore &) = delete;

    // Makes the folder when missing; refuses one that is not root's alone.
    bool open(std::string &problem);
    // Takes the lock, waiting at most `seconds`; `problem` says when another request holds it.
    bool lock(unsigned seconds, std::string &problem);
    void unlock();

    std::vector<DiskRecord> all() const;
    bool find(const DiskRecord &key, DiskRecord &record) const;
    bool save(const DiskRecord &record, std::string &problem);
    void remove(const DiskRecord &record);

    // Where the records are.
    static std::string folder();

private:
    bool read(const std::string &name, DiskRecord &record) const;

    int m_folder = -1;
    int m_lock = -1;
};
