#include "ToolTable.h"

#include "SystemDisks.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

// 128 MiB in 512-byte blocks: from this size on the journal is fixed at 8 MiB.
constexpr quint32 smallJournalFromBlocks = 128u * 2048u;

QString firstExisting(const QStringList &candidates)
{
    for (const QString &path : candidates) {
        if (QFileInfo(path).isExecutable())
            return path;
    }
    return candidates.first();
}

} // namespace

ToolTable ToolTable::macTable()
{
    ToolTable table;
    table.allocate = {QStringLiteral("/usr/bin/hdid"), [](const DiskFields &disk) {
                          return QStringList{QStringLiteral("-nomount"),
                                             QStringLiteral("ram://%1").arg(disk.diskBlockSize)};
                      }};
    // Without a device the original argument lists simply end before it.
    table.createFilesystem = {QStringLiteral("/sbin/newfs_hfs"),
                              [](const DiskFields &disk) {
                                  QStringList args{QStringLiteral("-v"), disk.label};
                                  if (!disk.device.isNull())
                                      args << disk.device;
                                  return args;
                              },
                              true};
    table.mount = {QStringLiteral("/sbin/mount"),
                   [](const DiskFields &disk) {
                       QStringList args{QStringLiteral("-t"), QStringLiteral("hfs")};
                       if (!disk.device.isNull())
                           args << disk.device << disk.mountPath;
                       return args;
                   },
                   true};
    table.umount = {QStringLiteral("/sbin/umount"),
                    [](const DiskFields &disk) { return QStringList{disk.mountPath}; }};
    table.detach = {QStringLiteral("/usr/bin/hdiutil"),
                    [](const DiskFields &disk) {
                        QStringList args{QStringLiteral("detach")};
                        if (!disk.device.isNull())
                            args << disk.device;
                        return args;
                    },
                    true};
    table.removeMountPath = {QStringLiteral("/bin/rm"), [](const DiskFields &disk) {
                                 return QStringList{QStringLiteral("-Rf"), disk.mountPath};
                             }};
    return table;
}

ToolTable ToolTable::linuxTableWith(const QString &allocate, const QString &createFilesystem,
                                    const QString &mount, const QString &umount,
                                    const QString &detach, const QString &removeMountPath)
{
    ToolTable table;
    table.allocate = {allocate, [](const DiskFields &disk) {
                          return QStringList{QStringLiteral("attach"),
                                             QStringLiteral("ram://%1").arg(disk.diskBlockSize)};
                      }};
    // Nothing is written that the memory already holds as zeros: an empty disk keeps almost
    // none of its memory. A small journal stays: without one, ext4 will not reuse an inode
    // deleted in the last minutes and checks each one, so creating many files right after
    // deleting many (a rebuilt cache) becomes quadratic. 8 MiB from 128 MiB up; below that
    // mkfs picks 4 MiB itself, or none for the smallest disks.
    table.createFilesystem = {createFilesystem,
                              [](const DiskFields &disk) {
                                  QStringList arguments{
                                      QStringLiteral("-F"),
                                      QStringLiteral("-q"),
                                      QStringLiteral("-b"),
                                      QStringLiteral("4096"),
                                      QStringLiteral("-m"),
                                      QStringLiteral("0"),
                                      QStringLiteral("-O"),
                                      QStringLiteral("has_journal"),
                                      QStringLiteral("-E"),
                                      QStringLiteral("root_owner=%1:%2,assume_storage_prezeroed=1")
                                          .arg(disk.ownerUid)
                                          .arg(disk.ownerGid)};
                                  if (disk.diskBlockSize >= smallJournalFromBlocks)
                                      arguments << QStringLiteral("-J") << QStringLiteral("size=8");
                                  arguments << QStringLiteral("-L") << disk.label << disk.device;
                                  return arguments;
                              },
                              true};
    // discard punches the memory of deleted files out of the memory file.
    table.mount = {mount,
                   [](const DiskFields &disk) {
                       return QStringList{
                           QStringLiteral("-t"), QStringLiteral("ext4"),
                           QStringLiteral("-o"), QStringLiteral("discard,noatime,nosuid,nodev"),
                           disk.device,          disk.mountPath};
                   },
                   true};
    table.umount = {umount, [](const DiskFields &disk) { return QStringList{disk.mountPath}; }};
    table.detach = {detach,
                    [](const DiskFields &disk) {
                        return QStringList{QStringLiteral("detach"), disk.device};
                    },
                    true};
    table.removeMountPath = {removeMountPath,
                             [](const DiskFields &disk) { return QStringList{disk.mountPath}; }};
    table.labelLimitBytes = 16;
    return table;
}

ToolTable ToolTable::linuxTable()
{
    ToolTable table = linuxTableWith(
        ramdevPath(),
        firstExisting({QStringLiteral("/sbin/mkfs.ext4"), QStringLiteral("/usr/sbin/mkfs.ext4")}),
        firstExisting({QStringLiteral("/bin/mount"), QStringLiteral("/usr/bin/mount")}),
        firstExisting({QStringLiteral("/bin/umount"), QStringLiteral("/usr/bin/umount")}),
        ramdevPath(), QString());
    table.isMounted = [](const QString &path) { return SystemDisks::isMountPoint(path); };
    table.isAttached = [](const QString &device) { return SystemDisks::isOurMemoryDevice(device); };
    return table;
}

ToolTable ToolTable::platformTable()
{
#ifdef Q_OS_MACOS
    return macTable();
#else
    return linuxTable();
#endif
}

QString ToolTable::ramdevPath()
{
    const QString name = QStringLiteral("/vellumar-ramdev");
    QStringList candidates;
    const QString fromEnvironment = qEnvironmentVariable("VELLUMAR_RAMDEV");
    if (!fromEnvironment.isEmpty())
        candidates << fromEnvironment;
    if (QCoreApplication::instance())
        candidates << QCoreApplication::applicationDirPath() + name;
    candidates << QStringLiteral(VELLUMAR_BUILD_BIN_DIR) + name
               << QStringLiteral(VELLUMAR_INSTALL_LIBEXEC_DIR) + name;
    return firstExisting(candidates);
}

QString cutLabel(const QString &name, int limitBytes)
{
    if (limitBytes <= 0 || name.toUtf8().size() <= limitBytes)
        return name;
    QString cut;
    int bytes = 0;
    for (qsizetype i = 0; i < name.size();) {
        // A surrogate pair is one character: keep or drop both halves together.
        const qsizetype length = (name.at(i).isHighSurrogate() && i + 1 < name.size()) ? 2 : 1;
        const QString character = name.mid(i, length);
        const int size = int(character.toUtf8().size());
        if (bytes + size > limitBytes)
            break;
        cut += character;
        bytes += size;
        i += length;
    }
    return cut;
}
