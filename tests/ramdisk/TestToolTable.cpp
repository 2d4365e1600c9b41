#include "MountPathPolicy.h"
#include "TestEnvironment.h"
#include "ToolTable.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <unistd.h>

class TestToolTable : public QObject
{
    Q_OBJECT

    static QStringList list(std::initializer_list<const char *> items)
    {
        QStringList out;
        for (const char *item : items)
            out << QString::fromUtf8(item);
        return out;
    }

    static DiskFields fields(const QString &device)
    {
        return {2048,
                device,
                QStringLiteral("41"),
                QStringLiteral("/Volumes/ram disk"),
                QStringLiteral("My Disk"),
                501,
                20};
    }

private slots:
    void macCommandLinesAsData()
    {
        const ToolTable mac = ToolTable::macTable();
        const DiskFields disk = fields(QStringLiteral("/dev/disk3"));
        QCOMPARE(mac.allocate.launchPath, QStringLiteral("/usr/bin/hdid"));
        QCOMPARE(mac.allocate.arguments(disk), list({"-nomount", "ram://2048"}));
        QCOMPARE(mac.createFilesystem.launchPath, QStringLiteral("/sbin/newfs_hfs"));
        QCOMPARE(mac.createFilesystem.arguments(disk), list({"-v", "My Disk", "/dev/disk3"}));
        QCOMPARE(mac.mount.launchPath, QStringLiteral("/sbin/mount"));
        QCOMPARE(mac.mount.arguments(disk), list({"-t", "hfs", "/dev/disk3", "/Volumes/ram disk"}));
        QCOMPARE(mac.umount.launchPath, QStringLiteral("/sbin/umount"));
        QCOMPARE(mac.umount.arguments(disk), list({"/Volumes/ram disk"}));
        QCOMPARE(mac.detach.launchPath, QStringLiteral("/usr/bin/hdiutil"));
        QCOMPARE(mac.detach.arguments(disk), list({"detach", "/dev/disk3"}));
        QCOMPARE(mac.removeMountPath.launchPath, QStringLiteral("/bin/rm"));
        QCOMPARE(mac.removeMountPath.arguments(disk), list({"-Rf", "/Volumes/ram disk"}));
        QCOMPARE(mac.labelLimitBytes, 0);

        // Without a device the lists end before it.
        const DiskFields none = fields(QString());
        QCOMPARE(mac.createFilesystem.arguments(none), list({"-v", "My Disk"}));
        QCOMPARE(mac.mount.arguments(none), list({"-t", "hfs"}));
        QCOMPARE(mac.detach.arguments(none), list({"detach"}));
    }

    void linuxStepsAreHelperCalls()
    {
        const ToolTable linux = ToolTable::linuxTableWith(
            QStringLiteral("/h"), QStringLiteral("/h"), QStringLiteral("/h"), QStringLiteral("/h"),
            QStringLiteral("/h"), QString());
        const DiskFields disk = fields(QStringLiteral("/dev/loop3"));
        QCOMPARE(linux.allocate.arguments(disk), list({"attach", "ram://2048"}));
        // Tools that know no kinds make block disks; the helper's table names the kind, and
        // makes and mounts a memory disk in its allocation.
        QVERIFY(!linux.memoryDisksMountOnAllocation);
        DiskFields other = disk;
        other.kind = DiskKind::Compressed;
        QCOMPARE(linux.allocate.arguments(other), list({"attach", "ram://2048"}));
        QCOMPARE(ToolTable::allocationArguments(other),
                 list({"attach", "ram://2048", "compressed"}));
        other.kind = DiskKind::Memory;
        QCOMPARE(ToolTable::allocationArguments(other),
                 list({"attach", "ram://2048", "memory", "My Disk", "/Volumes/ram disk"}));
        const ToolTable helper = ToolTable::linuxTable();
        QVERIFY(helper.memoryDisksMountOnAllocation);
        QCOMPARE(helper.allocate.arguments(other).mid(ToolTable::helperNeedsPkexec() ? 1 : 0),
                 ToolTable::allocationArguments(other));
        QCOMPARE(linux.createFilesystem.arguments(disk),
                 list({"format", "/dev/loop3", "41", "My Disk"}));
        QCOMPARE(linux.mount.arguments(disk),
                 list({"mount", "/dev/loop3", "41", "/Volumes/ram disk"}));
        QCOMPARE(linux.umount.arguments(disk), list({"unmount", "/dev/loop3", "41"}));
        QCOMPARE(linux.detach.arguments(disk), list({"detach", "/dev/loop3", "41"}));
        // Removal is an in-process rmdir, never a recursive tool; the helper makes the folder.
        QVERIFY(linux.removeMountPath.launchPath.isEmpty());
        QVERIFY(ToolTable::linuxTable().mountMakesFolder);
        for (const ToolRow *row : {&linux.createFilesystem, &linux.mount, &linux.detach})
            QVERIFY(row->needsDevice);
    }

    void helperRunsThroughPkexecForUsers()
    {
        const ToolTable linux = ToolTable::linuxTable();
        const DiskFields disk = fields(QStringLiteral("/dev/loop3"));
        const QString helper = ToolTable::ramdevPath();
        for (const ToolRow *row : {&linux.allocate, &linux.createFilesystem, &linux.mount,
                                   &linux.umount, &linux.detach, &linux.list}) {
            if (geteuid() == 0) {
                QCOMPARE(row->launchPath, helper);
            } else {
                QCOMPARE(row->launchPath, ToolTable::pkexecPath());
                QCOMPARE(row->arguments(disk).value(0), helper);
            }
        }
        QCOMPARE(linux.list.arguments(disk).last(), QStringLiteral("list"));
    }

    void helperIsOnlyWhereRootAloneCanChangeIt()
    {
        const QString installed =
            QStringLiteral(VELLUMAR_INSTALL_LIBEXEC_DIR) + QStringLiteral("/vellumar-ramdev");
        qunsetenv("VELLUMAR_RAMDEV");
        QCOMPARE(ToolTable::ramdevPath(), installed);
        // A program in a folder others may write to is never run, not even by root.
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                      QFile::ExeOwner | QFile::WriteOther |
                                                      QFile::ExeOther | QFile::ReadOther));
        const QString planted = dir.filePath(QStringLiteral("helper"));
        QFile file(planted);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        qputenv("VELLUMAR_RAMDEV", planted.toLocal8Bit());
        QCOMPARE(ToolTable::ramdevPath(), installed);
        // A relative name is never looked up.
        qputenv("VELLUMAR_RAMDEV", "vellumar-ramdev");
        QCOMPARE(ToolTable::ramdevPath(), installed);
        // A user's choice is never taken: the helper runs as root through pkexec.
        if (geteuid() != 0) {
            qputenv("VELLUMAR_RAMDEV",
                    QByteArrayLiteral(VELLUMAR_BUILD_BIN_DIR "/vellumar-ramdev"));
            QCOMPARE(ToolTable::ramdevPath(), installed);
        }
        qunsetenv("VELLUMAR_RAMDEV");
    }

    void labelsAreCutAtCharacterBoundaries()
    {
        QCOMPARE(cutLabel(QStringLiteral("short"), 16), QStringLiteral("short"));
        QCOMPARE(cutLabel(QStringLiteral("exactly16bytes!!"), 16),
                 QStringLiteral("exactly16bytes!!"));
        QCOMPARE(cutLabel(QStringLiteral("seventeen bytes!!"), 16),
                 QStringLiteral("seventeen bytes!"));
        // "ä" is two bytes, "€" three, "😀" four (a surrogate pair in UTF-16).
        QCOMPARE(cutLabel(QStringLiteral("ääääääää"), 16), QStringLiteral("ääääääää"));
        QCOMPARE(cutLabel(QStringLiteral("aääääääää"), 16), QStringLiteral("aäääääää"));
        QCOMPARE(cutLabel(QStringLiteral("€€€€€€"), 16), QStringLiteral("€€€€€"));
        QCOMPARE(cutLabel(QStringLiteral("abc😀😀😀😀"), 16), QStringLiteral("abc😀😀😀"));
        QCOMPARE(cutLabel(QStringLiteral("anything at all, long"), 0),
                 QStringLiteral("anything at all, long"));
    }

    void mountPathPolicy()
    {
        TestEnvironment env;
        const QString home = env.home();
        // Fine: new folders in existing ones, and empty existing folders. Only the last folder
        // is ever made, so one below a missing folder is refused up front.
        QVERIFY(mountPathProblem(home + QStringLiteral("/new")).isEmpty());
        QVERIFY(!mountPathProblem(home + QStringLiteral("/a/b/c")).isEmpty());
        QVERIFY(QDir().mkdir(home + QStringLiteral("/empty")));
        QVERIFY(mountPathProblem(home + QStringLiteral("/empty")).isEmpty());

        const QStringList refused{QString(),
                                  QStringLiteral("relative"),
                                  QStringLiteral("/"),
                                  QStringLiteral("/usr"),
                                  QStringLiteral("/usr/local/disk"),
                                  QStringLiteral("/etc/x"),
                                  QStringLiteral("/lib64"),
                                  QStringLiteral("/proc/1"),
                                  QStringLiteral("/tmp"),
                                  QStringLiteral("/home"),
                                  QStringLiteral("/var"),
                                  QStringLiteral("/usr/../etc"),
                                  home,
                                  home + QStringLiteral("/"),
                                  QStringLiteral("/proc"),
                                  QStringLiteral("/dev/shm/disk")};
        for (const QString &path : refused)
            QVERIFY2(!mountPathProblem(path).isEmpty(), qPrintable(path));

        // A symbolic link cannot smuggle a system folder in.
        QVERIFY(QFile::link(QStringLiteral("/etc"), home + QStringLiteral("/etclink")));
        QVERIFY(!mountPathProblem(home + QStringLiteral("/etclink/disk")).isEmpty());

        // Plain files: the path itself or anything above it.
        QFile file(home + QStringLiteral("/plain"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
        file.close();
        QVERIFY(!mountPathProblem(home + QStringLiteral("/plain")).isEmpty());
        QVERIFY(mountPathProblem(home + QStringLiteral("/plain/below/more"))
                    .contains(home + QStringLiteral("/plain")));

        // A folder with something in it (even a hidden file) would be hidden by the disk.
        QVERIFY(QDir().mkdir(home + QStringLiteral("/hidden")));
        QFile dot(home + QStringLiteral("/hidden/.config"));
        QVERIFY(dot.open(QIODevice::WriteOnly));
        dot.close();
        QVERIFY(!mountPathProblem(home + QStringLiteral("/hidden")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestToolTable)
#include "TestToolTable.moc"
