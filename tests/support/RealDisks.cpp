#include "RealDisks.h"

#include "DiskRecords.h"
#include "RamDisk.h"
#include "SystemDisks.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <unistd.h>

namespace RealDisks {

bool runningAsRoot()
{
    return geteuid() == 0;
}

QString whyNoDisks()
{
    static const QString why = [] {
        if (!QFile::exists(QStringLiteral("/dev/loop-control")))
            return QStringLiteral("this machine has no loop devices");
        return RamDisk::privilegeProblem();
    }();
    return why;
}

namespace {

bool isUnder(const QString &path, const QString &root)
{
    return !path.isEmpty() && (path == root || path.startsWith(root + QLatin1Char('/')));
}

// Our own disks, by the helper's records: works for a user as for root.
void ejectRecordedDisksUnder(const QString &root)
{
    const QList<SystemDisks::Mount> mounts = SystemDisks::mounts();
    for (const DiskRecordInfo &record : DiskRecords::list()) {
        QString mountPoint;
        for (const SystemDisks::Mount &mount : mounts) {
            if (record.mounted && mount.source == record.device)
                mountPoint = mount.mountPoint;
        }
        if (!isUnder(mountPoint, root) && !isUnder(record.mountPath, root))
            continue;
        RamDisk disk(quint32(record.sizeKiB * 2), record.label);
        disk.setDevice(record.device);
        disk.setDiskId(record.diskId);
        disk.setMountPath(mountPoint.isEmpty() ? record.mountPath : mountPoint);
        disk.setMadeMountFolder(record.madeMountFolder);
        disk.tearDown();
    }
}

} // namespace

QStringList ourLoopDevices()
{
    QStringList devices;
    const QStringList entries =
        QDir(QStringLiteral("/sys/block")).entryList({QStringLiteral("loop*")});
    for (const QString &entry : entries) {
        QFile backing(QStringLiteral("/sys/block/%1/loop/backing_file").arg(entry));
        if (!backing.open(QIODevice::ReadOnly))
            continue;
        if (QString::fromUtf8(backing.readAll()).startsWith(QStringLiteral("/memfd:vellumar")))
            devices << QStringLiteral("/dev/") + entry;
    }
    return devices;
}

QStringList mountsUnder(const QString &root)
{
    QStringList found;
    for (const SystemDisks::Mount &mount : SystemDisks::mounts()) {
        if (isUnder(mount.mountPoint, root))
            found << mount.mountPoint;
    }
    return found;
}

qint64 shmemKiB()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly))
        return -1;
    const QStringList lines = QString::fromUtf8(meminfo.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.startsWith(QStringLiteral("Shmem:")))
            return line.section(QLatin1Char(' '), 1, -1, QString::SectionSkipEmpty)
                .section(QLatin1Char(' '), 0, 0)
                .toLongLong();
    }
    return -1;
}

void cleanUpUnder(const QString &root)
{
    ejectRecordedDisksUnder(root);
    if (!runningAsRoot())
        return;
    // Only what is mounted under `root`: a disk of another process, even one between attach
    // and mount, is left alone.
    QList<SystemDisks::Mount> found;
    for (const SystemDisks::Mount &mount : SystemDisks::mounts()) {
        if (isUnder(mount.mountPoint, root))
            found << mount;
    }
    const QStringList ours = ourLoopDevices();
    for (auto it = found.crbegin(); it != found.crend(); ++it) {
        QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), it->mountPoint});
        if (ours.contains(it->source))
            QProcess::execute(QStringLiteral("losetup"), {QStringLiteral("-d"), it->source});
    }
}

} // namespace RealDisks
