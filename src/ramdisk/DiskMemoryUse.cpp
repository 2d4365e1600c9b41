#include "DiskMemoryUse.h"

#include "SystemDisks.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <sys/statvfs.h>

namespace {

// The volume on top of `mountPath`, as the mount table shows it; source empty when none.
SystemDisks::Mount topmostMount(const QString &mountPath)
{
    const QString cleaned = QDir::cleanPath(mountPath);
    const QList<SystemDisks::Mount> mounts = SystemDisks::mounts();
    for (auto it = mounts.crbegin(); it != mounts.crend(); ++it)
        if (it->mountPoint == cleaned)
            return *it;
    return {};
}

// A memory file system's pages in use: what it holds, as nothing is kept anywhere else.
qint64 pagesInUseKiB(const QString &mountPath)
{
    struct statvfs stats
    {
    };
    const QByteArray path = QFile::encodeName(mountPath);
    if (statvfs(path.constData(), &stats) != 0 || stats.f_bfree > stats.f_blocks)
        return -1;
    return qint64(stats.f_blocks - stats.f_bfree) * qint64(stats.f_frsize) / 1024;
}

DiskMemoryUse zramUse(const QString &device)
{
    static const QRegularExpression zram(QStringLiteral("^/dev/(zram[0-9]+)$"));
    const QRegularExpressionMatch match = zram.match(device);
    if (!match.hasMatch())
        return {};
    QFile stats(QStringLiteral("/sys/block/%1/mm_stat").arg(match.captured(1)));
    if (!stats.open(QIODevice::ReadOnly))
        return {};
    return DiskMemoryUse::fromZramStats(QString::fromLatin1(stats.readLine(4096)));
}

} // namespace

double DiskMemoryUse::ratio() const
{
    return heldKiB > 0 && dataKiB > 0 ? double(dataKiB) / double(heldKiB) : 0;
}

DiskMemoryUse DiskMemoryUse::listed(qint64 heldKiB, double ratio)
{
    DiskMemoryUse use;
    use.heldKiB = heldKiB < 0 ? -1 : heldKiB;
    if (use.heldKiB > 0 && ratio > 0)
        use.dataKiB = std::llround(double(use.heldKiB) * ratio);
    return use;
}

DiskMemoryUse DiskMemoryUse::read(DiskKind kind, const QString &device, const QString &mountPath)
{
    if (kind == DiskKind::Block || device.isEmpty() || mountPath.isEmpty())
        return {};
    // Another volume mounted over the disk (or in its place) would give its own figures.
    const SystemDisks::Mount mount = topmostMount(mountPath);
    if (mount.source != device)
        return {};
    if (kind == DiskKind::Compressed)
        return zramUse(device);
    if (mount.fsType != QStringLiteral("tmpfs"))
        return {};
    DiskMemoryUse use;
    use.heldKiB = pagesInUseKiB(mount.mountPoint);
    return use;
}

DiskMemoryUse DiskMemoryUse::fromZramStats(const QString &line)
{
    // orig_data_size compr_data_size mem_used_total mem_limit ...
    const QStringList fields = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    bool dataOk = false;
    bool heldOk = false;
    const qint64 data = fields.value(0).toLongLong(&dataOk);
    const qint64 held = fields.value(2).toLongLong(&heldOk);
    if (fields.size() < 3 || !dataOk || !heldOk || data < 0 || held < 0)
        return {};
    DiskMemoryUse use;
    use.heldKiB = held / 1024;
    use.dataKiB = data / 1024;
    return use;
}
