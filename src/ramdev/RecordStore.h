#pragma once

#include "DiskRecord.h"

#include <string>
#include <vector>

// The helper's records, one file per disk in a folder only root can read (under /run, so they
// go at reboot with the disks). Opening the store takes a lock that every helper run holds to
// its end: two requests never interleave their checks and changes.
class RecordStore
{
public:
    RecordStore() = default;
    ~RecordStore();
    RecordStore(const RecordStore &) = delete;
    RecordStore &operator=(const RecordStore &) = delete;

    // Makes the folder when missing; refuses one that is not root's alone.
    bool open(std::string &problem);

    std::vector<DiskRecord> all() const;
    bool find(int loopNumber, DiskRecord &record) const;
    bool save(const DiskRecord &record, std::string &problem);
    void remove(int loopNumber);

    // Where the records are.
    static std::string folder();

private:
    int m_folder = -1;
    int m_lock = -1;
};
