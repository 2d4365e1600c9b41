#pragma once

#include "DiskKind.h"

#include <QList>
#include <QString>
#include <memory>

class RamDisk;

// The disks of ours that exist on this machine now, whichever process made them.
struct DiskInfo
{
    QString device;
    QString diskId; // the memory tool's identity of the disk (empty where it gives none)
    bool madeMountFolder = false; // the folder was made for the disk and may go with it
    uint ownerUid = 0;            // the user who made it
    QString mountPath;            // empty when the device is attached but mounted nowhere
    qint64 sizeKiB = 0;
    qint64 usedKiB = 0;
    QString name; // the file system's label
    DiskKind kind = DiskKind::Block;
    qint64 memoryUsedKiB = -1;   // what it holds in memory now (-1: not known)
    double compressionRatio = 0; // a compressed disk's data over that memory (0: not known)
};

namespace DiskInventory {

// The caller's disks (root: all) as the memory tool's records show them; `problem` says why
// when they could not be asked for.
QList<DiskInfo> disks(QString *problem = nullptr);
// The disk mounted on `path` or attached as the device `path`; nullopt-like: device empty.
DiskInfo find(const QString &path);

// The disk as the engine can eject it: its device, id, mount folder, and whether that folder was
// made for it.
std::shared_ptr<RamDisk> rebuild(const DiskInfo &disk);

} // namespace DiskInventory
