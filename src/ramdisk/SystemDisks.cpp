#include "SystemDisks.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace SystemDisks {
namespace {

// mountinfo writes space, tab, line end and backslash as \ooo.
QString unescape(const QString &field)
{
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field.at(i) == QLatin1Char('\\') && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += QChar(code);
                i += 3;
                continue;
            }
        }
        out += field.at(i);
    }
    return out;
}

QString readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// "loopN" from "/dev/loopN", or empty.
QString loopName(const QString &device)
{
    static const QRegularExpression pattern(QStringLiteral("^/dev/(loop[0-9]+)$"));
    const QRegularExpressionMatch match = pattern.match(device);
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

QList<Mount> mounts()
{
    QList<Mount> found;
    const QStringList lines =
        readSmallFile(QStringLiteral("/proc/self/mountinfo")).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        // id parent major:minor root mountpoint options [optional...] - fstype source superopts
        const QStringList fields = line.split(QLatin1Char(' '));
        const qsizetype dash = fields.indexOf(QStringLiteral("-"));
        if (fields.size() < 5 || dash < 0 || dash + 2 >= fields.size())
            continue;
        found.append({unescape(fields.at(dash + 2)), unescape(fields.at(4)), fields.at(dash + 1)});
    }
    return found;
}

bool isMountPoint(const QString &path)
{
    const QString cleaned = QDir::cleanPath(path);
    const QList<Mount> all = mounts();
    for (const Mount &mount : all) {
        if (mount.mountPoint == cleaned)
            return true;
    }
    return false;
}

bool isMountedFrom(const QString &path, const QString &device)
{
    const QString cleaned = QDir::cleanPath(path);
    const QList<Mount> all = mounts();
    for (const Mount &mount : all) {
        if (mount.mountPoint == cleaned && mount.source == device)
            return true;
    }
    return false;
}

QString memoryDiskPrefix()
{
    return QStringLiteral("vellumar-mem");
}

QString memoryFileMarker()
{
    return QStringLiteral("/memfd:vellumar-ramdisk");
}

bool isOurMemoryDevice(const QString &device)
{
    // A memory disk has no device: its volume carries the name the helper gave it.
    if (device.startsWith(memoryDiskPrefix())) {
        const QList<Mount> all = mounts();
        for (const Mount &mount : all) {
            if (mount.source == device && mount.fsType == QStringLiteral("tmpfs"))
                return true;
        }
        return false;
    }
    // Compressed disks: a zram device that holds a size was claimed (the helper's records say
    // by whom).
    if (device.startsWith(QStringLiteral("/dev/zram"))) {
        bool ok = false;
        const QString size =
            readSmallFile(QStringLiteral("/sys/block/%1/disksize").arg(device.mid(5)));
        return size.trimmed().toLongLong(&ok) > 0 && ok;
    }
    const QString name = loopName(device);
    if (name.isEmpty())
        return false;
    return readSmallFile(QStringLiteral("/sys/block/%1/loop/backing_file").arg(name))
        .startsWith(memoryFileMarker());
}

QStringList ourMemoryDevices()
{
    QStringList devices;
    const QStringList entries =
        QDir(QStringLiteral("/sys/block")).entryList({QStringLiteral("loop*")}, QDir::AllEntries);
    for (const QString &entry : entries) {
        const QString device = QStringLiteral("/dev/") + entry;
        if (isOurMemoryDevice(device))
            devices << device;
    }
    devices.sort();
    return devices;
}

qint64 deviceSizeKiB(const QString &device)
{
    const QString name = loopName(device);
    if (name.isEmpty())
        return -1;
    bool ok = false;
    const qint64 sectors =
        readSmallFile(QStringLiteral("/sys/block/%1/size").arg(name)).trimmed().toLongLong(&ok);
    return ok ? sectors / 2 : -1;
}

} // namespace SystemDisks
