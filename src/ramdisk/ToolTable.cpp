#include "ToolTable.h"

#include "SystemDisks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

QStringList ToolTable::allocationArguments(const DiskFields &disk)
{
    QStringList args{QStringLiteral("attach"), QStringLiteral("ram://%1").arg(disk.diskBlockSize)};
    if (disk.kind != DiskKind::Block)
        args << DiskKinds::name(disk.kind);
    if (disk.kind == DiskKind::Memory)
        args << disk.label << disk.mountPath;
    return args;
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
    // The helper writes the file system itself (a user never gets the raw device): ext4 made for
    // memory, the label already cut to its limit.
    table.createFilesystem = {
        createFilesystem,
        [](const DiskFields &disk) {
            return QStringList{QStringLiteral("format"), disk.device, disk.diskId, disk.label};
        },
        true};
    // Always nosuid, nodev, noatime, and discard so deleted files give their memory back.
    table.mount = {
        mount,
        [](const DiskFields &disk) {
            return QStringList{QStringLiteral("mount"), disk.device, disk.diskId, disk.mountPath};
        },
        true};
    table.umount = {umount, [](const DiskFields &disk) {
                        return QStringList{QStringLiteral("unmount"), disk.device, disk.diskId};
                    }};
    table.detach = {detach,
                    [](const DiskFields &disk) {
                        return QStringList{QStringLiteral("detach"), disk.device, disk.diskId};
                    },
                    true};
    table.removeMountPath = {removeMountPath,
                             [](const DiskFields &disk) { return QStringList{disk.mountPath}; }};
    table.labelLimitBytes = 16;
    return table;
}

ToolTable ToolTable::linuxTable()
{
    const QString helper = ramdevPath();
    ToolTable table = linuxTableWith(helper, helper, helper, helper, helper, QString());
    for (ToolRow *row :
         {&table.allocate, &table.createFilesystem, &table.mount, &table.umount, &table.detach})
        *row = helperRow(helper, row->arguments, row->needsDevice);
    table.mountMakesFolder = true;
    // The helper makes every kind: a block disk is asked for as before kinds existed, the others
    // name their kind, and a memory disk is made and mounted by this one call.
    table.allocate = helperRow(helper, allocationArguments, false);
    table.memoryDisksMountOnAllocation = true;
    table.list = helperRow(
        helper, [](const DiskFields &) { return QStringList{QStringLiteral("list")}; }, false);
    table.isMounted = [](const QString &path) { return SystemDisks::isMountPoint(path); };
    table.isMountedFrom = [](const QString &path, const QString &device) {
        return SystemDisks::isMountedFrom(path, device);
    };
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

bool ToolTable::helperNeedsPkexec()
{
    return geteuid() != 0;
}

ToolRow ToolTable::helperRow(const QString &helper,
                             std::function<QStringList(const DiskFields &)> arguments,
                             bool needsDevice)
{
    if (!helperNeedsPkexec())
        return {helper, std::move(arguments), needsDevice};
    return {pkexecPath(),
            [helper, arguments = std::move(arguments)](const DiskFields &disk) {
                return QStringList{helper} + arguments(disk);
            },
            needsDevice};
}

QString ToolTable::ramdevPath()
{
    const QString installed =
        QStringLiteral(VELLUMAR_INSTALL_LIBEXEC_DIR) + QStringLiteral("/vellumar-ramdev");
    const QString chosen = qEnvironmentVariable("VELLUMAR_RAMDEV");
    if (chosen.isEmpty() || geteuid() != 0 || !QDir::isAbsolutePath(chosen))
        return installed;
    // Root runs what it names only when nobody but root could have changed it.
    for (QString path = chosen; path != QStringLiteral("/") && !path.isEmpty();
         path = QFileInfo(path).path()) {
        struct stat info
        {
        };
        const QByteArray name = QFile::encodeName(path);
        if (lstat(name.constData(), &info) != 0 || info.st_uid != 0 || (info.st_mode & 022) != 0 ||
            (path == chosen && !S_ISREG(info.st_mode)))
            return installed;
    }
    return chosen;
}

QString ToolTable::pkexecPath()
{
    return firstExisting({QStringLiteral("/usr/bin/pkexec"), QStringLiteral("/bin/pkexec")});
}

QString ToolTable::policyActionId()
{
    return QStringLiteral(VELLUMAR_POLKIT_ACTION);
}

QString ToolTable::policyFilePath()
{
    return QStringLiteral("/usr/share/polkit-1/actions/%1.policy").arg(policyActionId());
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
