#include "RealDisks.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <unistd.h>

namespace RealDisks {

bool runningAsRoot()
{
    return geteuid() == 0;
}

QStringList ourLoopDevices()
{
    QStringList devices;
    const QStringList entries = QDir(QStringLiteral("/sys/block")).entryList({QStringLiteral("loop*")});
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
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (!mounts.open(QIODevice::ReadOnly))
        return found;
    const QStringList lines = QString::fromUtf8(mounts.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QStringList fields = line.split(QLatin1Char(' '));
        if (fields.size() < 2)
            continue;
        QString target = fields.at(1);
        target.replace(QStringLiteral("\\040"), QStringLiteral(" "));
        if (target == root || target.startsWith(root + QLatin1Char('/')))
            found << target;
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
            return line.section(QLatin1Char(' '), 1, -1, QString::SectionSkipEmpty).section(QLatin1Char(' '), 0, 0).toLongLong();
    }
    return -1;
}

void cleanUpUnder(const QString &root)
{
    const QStringList mounted = mountsUnder(root);
    for (auto it = mounted.crbegin(); it != mounted.crend(); ++it)
        QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), *it});
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    const QString table = mounts.open(QIODevice::ReadOnly) ? QString::fromUtf8(mounts.readAll()) : QString();
    const QStringList devices = ourLoopDevices();
    for (const QString &device : devices) {
        // Only devices mounted nowhere: a disk that is still in use elsewhere is left alone.
        if (!table.contains(device + QLatin1Char(' ')))
            QProcess::execute(QStringLiteral("losetup"), {QStringLiteral("-d"), device});
    }
}

} // namespace RealDisks
