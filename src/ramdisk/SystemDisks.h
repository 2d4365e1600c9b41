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
// Whether `device` (/dev/loopN) is attached to one of our memory files.
bool isOurMemoryDevice(const QString &device);
// Every loop device attached to one of our memory files.
QStringList ourMemoryDevices();
// Size of a block device in KiB from sysfs, -1 when unknown.
qint64 deviceSizeKiB(const QString &device);

} // namespace SystemDisks
