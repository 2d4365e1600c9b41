#pragma once

#include <QList>
#include <QString>

// The disks of ours that exist on this machine now, whichever process made them.
struct DiskInfo
{
    QString device;
    QString mountPath; // empty when the device is attached but mounted nowhere
    qint64 sizeKiB = 0;
    qint64 usedKiB = 0;
    QString name; // the file system's label
};

namespace DiskInventory {

QList<DiskInfo> disks();
// The disk mounted on `path` or attached as the device `path`; nullopt-like: device empty.
DiskInfo find(const QString &path);
// The ext4 label of a device, empty when it carries no ext4 file system.
QString readLabel(const QString &device);

} // namespace DiskInventory
