#include "DiskInventory.h"

#include "SystemDisks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/statvfs.h>

namespace DiskInventory {

QString readLabel(const QString &device)
{
    QFile file(device);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(1024))
        return QString();
    const QByteArray superblock = file.read(136);
    // The ext2/3/4 magic number sits at offset 56 of the superblock, little-endian.
    if (superblock.size() < 136 || uchar(superblock.at(56)) != 0x53 ||
        uchar(superblock.at(57)) != 0xEF)
        return QString();
    QByteArray label = superblock.mid(120, 16);
    const qsizetype end = label.indexOf('\0');
    if (end >= 0)
        label.truncate(end);
    return QString::fromUtf8(label);
}

QList<DiskInfo> disks()
{
    QList<DiskInfo> found;
    const QList<SystemDisks::Mount> mounts = SystemDisks::mounts();
    const QStringList devices = SystemDisks::ourMemoryDevices();
    for (const QString &device : devices) {
        DiskInfo disk;
        disk.device = device;
        disk.sizeKiB = SystemDisks::deviceSizeKiB(device);
        disk.name = readLabel(device);
        for (const SystemDisks::Mount &mount : mounts) {
            if (mount.source == device) {
                disk.mountPath = mount.mountPoint;
                break;
            }
        }
        if (!disk.mountPath.isEmpty()) {
            struct statvfs stats
            {
            };
            const QByteArray path = QFile::encodeName(disk.mountPath);
            if (statvfs(path.constData(), &stats) == 0)
                disk.usedKiB =
                    qint64(stats.f_blocks - stats.f_bfree) * qint64(stats.f_frsize) / 1024;
        }
        found << disk;
    }
    return found;
}

DiskInfo find(const QString &path)
{
    const QString cleaned = QDir::cleanPath(path);
    QString canonical = QFileInfo(cleaned).canonicalFilePath();
    if (canonical.isEmpty())
        canonical = cleaned;
    const QList<DiskInfo> all = disks();
    for (const DiskInfo &disk : all) {
        if (disk.device == cleaned || disk.device == canonical ||
            (!disk.mountPath.isEmpty() &&
             (disk.mountPath == cleaned || disk.mountPath == canonical)))
            return disk;
    }
    return {};
}

} // namespace DiskInventory
