#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What the running system says about mounts and our memory devices.
namespace SystemDisks {

struct Mount
{
    QString source;     // e.g. /dev/loop3
    QString mountPoint; // unescaped
    QString fsType;
};

// The mount table of this process (/proc/self/mountinfo), in mount order.
QList<Mount> mounts();
// Whether something is mounted exactly on `path` (compared after cleaning the path).
bool isMountPoint(const QString &path);
// Whether `device` is mounted exactly on `path`.
bool isMountedFrom(const QString &path, const QString &device);

// The backing-file prefix by which our memory devices are recognised.
QString memoryFileMarker();
// The name a memory disk's volume carries instead of a device (followed by a number).
QString memoryDiskPrefix();
// Whether `device` is one of our disks on the system now: a loop device attached to one of our
// memory files, a claimed zram device, or a memory disk's mounted volume.
bool isOurMemoryDevice(const QString &device);
// Every loop device attached to one of our memory files.
QStringList ourMemoryDevices();
// Size of a block device in KiB from sysfs, -1 when unknown.
qint64 deviceSizeKiB(const QString &device);

} // namespace SystemDisks
