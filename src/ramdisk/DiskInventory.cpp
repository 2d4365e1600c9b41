#include "DiskInventory.h"

#include "DiskRecords.h"
#include "RamDisk.h"
#include "SystemDisks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/statvfs.h>

namespace DiskInventory {

namespace {

qint64 usedKiB(const QString &mountPath)
{
    struct statvfs stats
    {
    };
    const QByteArray path = QFile::encodeName(mountPath);
    if (mountPath.isEmpty() || statvfs(path.constData(), &stats) != 0)
        return 0;
    return qint64(stats.f_blocks - stats.f_bfree) * qint64(stats.f_frsize) / 1024;
}

} // namespace

QList<DiskInfo> disks(QString *problem)
{
    QList<DiskInfo> found;
    const QList<DiskRecordInfo> records = DiskRecords::list(problem);
    const QList<SystemDisks::Mount> mounts = SystemDisks::mounts();
    for (const DiskRecordInfo &record : records) {
        DiskInfo disk;
        disk.device = record.device;
        disk.diskId = record.diskId;
        disk.sizeKiB = record.sizeKiB;
        disk.name = record.label;
        disk.madeMountFolder = record.madeMountFolder;
        disk.ownerUid = record.ownerUid;
        disk.kind = record.kind;
        disk.memoryUsedKiB = record.memoryUsedKiB;
        disk.compressionRatio = record.compressionRatio;
        // Where the volume is now, as the mount table shows it.
        for (const SystemDisks::Mount &mount : mounts) {
            if (record.mounted && mount.source == record.device) {
                disk.mountPath = mount.mountPoint;
                break;
            }
        }
        disk.usedKiB = usedKiB(disk.mountPath);
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

std::shared_ptr<RamDisk> rebuild(const DiskInfo &disk)
{
    auto rebuilt = std::make_shared<RamDisk>(quint32(disk.sizeKiB * 2), disk.name);
    rebuilt->setDevice(disk.device);
    rebuilt->setDiskId(disk.diskId);
    rebuilt->setMountPath(disk.mountPath);
    rebuilt->setMadeMountFolder(disk.madeMountFolder);
    rebuilt->setKind(disk.kind);
    return rebuilt;
}

} // namespace DiskInventory
