#include "RealDisks.h"
#include "SystemDisks.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>
#include <fcntl.h>
#include <linux/posix_acl.h>
#include <linux/posix_acl_xattr.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

// The root helper on real loop devices and real mounts. Needs root; a user caller is played by
// giving the helper the PKEXEC_UID that pkexec would give it.
class TestRamdevReal : public QObject
{
    Q_OBJECT

    struct Run
    {
        int exitCode;
        QString out;
        QString err;
    };

    struct Disk
    {
        QString device;
        QString id;
        QString caller; // the PKEXEC_UID it was made with, empty for root
    };

    QList<Disk> m_made; // ejected in cleanup whatever happened
    QTemporaryDir m_dir;
    uid_t m_userUid = 65534;

    static QString helperPath()
    {
        return QCoreApplication::applicationDirPath() + QStringLiteral("/vellumar-ramdev");
    }

    static Run helper(const QStringList &arguments, const QString &caller = QString(),
                      const QString &standardOutput = QString())
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("SUDO_UID"));
        if (!caller.isEmpty())
            environment.insert(QStringLiteral("PKEXEC_UID"), caller);
        process.setProcessEnvironment(environment);
        if (!standardOutput.isEmpty())
            process.setStandardOutputFile(standardOutput);
        process.start(helperPath(), arguments);
        process.waitForFinished(60000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QString user() const { return QString::number(m_userUid); }

    Disk attach(const QString &request, const QString &caller = QString())
    {
        const Run run = helper({QStringLiteral("attach"), request}, caller);
        const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (run.exitCode != 0 || lines.size() != 2)
            return {};
        const Disk disk{lines.at(0), lines.at(1), caller};
        m_made << disk;
        return disk;
    }

    // A disk formatted and mounted on `folder`, made for `caller`.
    Disk mounted(const QString &folder, const QString &caller = QString())
    {
        const Disk disk = attach(QStringLiteral("ram://16384"), caller);
        if (disk.device.isEmpty() ||
            helper({QStringLiteral("format"), disk.device, disk.id, QStringLiteral("t")}, caller)
                    .exitCode != 0 ||
            helper({QStringLiteral("mount"), disk.device, disk.id, folder}, caller).exitCode != 0)
            return {};
        return disk;
    }

    Run on(const char *verb, const Disk &disk, const QString &caller)
    {
        return helper({QString::fromLatin1(verb), disk.device, disk.id}, caller);
    }

    static QString sysfs(const QString &device, const QString &entry)
    {
        QFile file(QStringLiteral("/sys/block/%1/%2").arg(device.mid(5), entry));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed()
                                              : QString();
    }

    static bool attached(const Disk &disk) { return SystemDisks::isOurMemoryDevice(disk.device); }

    // A memory disk asked for in the default place; its folder, empty when refused.
    QString inMedia(const QString &name)
    {
        const Run made = helper({QStringLiteral("attach"), QStringLiteral("ram://4096"),
                                 QStringLiteral("memory"), QStringLiteral("M"),
                                 QStringLiteral("@media/") + name},
                                user());
        const QStringList lines = made.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (made.exitCode != 0 || lines.size() != 3) {
            qWarning("%s", qPrintable(made.err));
            return QString();
        }
        m_made << Disk{lines.at(0), lines.at(1), user()};
        return lines.at(2);
    }

    // The permissions the access list of `path` gives `tag` (and `id` for a named user); -1
    // when it has no such entry.
    static int aclPermissions(const QString &path, int tag, uid_t id = uid_t(-1))
    {
        char bytes[512];
        const ssize_t size = getxattr(QFile::encodeName(path).constData(),
                                      "system.posix_acl_access", bytes, sizeof bytes);
        if (size < ssize_t(sizeof(posix_acl_xattr_header)))
            return -1;
        for (size_t at = sizeof(posix_acl_xattr_header);
             at + sizeof(posix_acl_xattr_entry) <= size_t(size);
             at += sizeof(posix_acl_xattr_entry)) {
            posix_acl_xattr_entry entry{};
            memcpy(&entry, bytes + at, sizeof entry);
            if (entry.e_tag == tag && (tag != ACL_USER || entry.e_id == id))
                return entry.e_perm;
        }
        return -1;
    }

    QString folder(const QString &name, uid_t owner)
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(path);
        ::chown(QFile::encodeName(path).constData(), owner, owner);
        return path;
    }

private slots:
    void initTestCase()
    {
        VELLUMAR_REQUIRE_ROOT();
        if (const passwd *nobody = getpwnam("nobody"))
            m_userUid = nobody->pw_uid;
        // The played user must be able to reach its folders.
        QVERIFY(QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                        QFile::ExeOwner | QFile::ReadOther |
                                                        QFile::ExeOther));
    }

    void cleanup()
    {
        for (const Disk &disk : std::as_const(m_made)) {
            on("unmount", disk, disk.caller);
            on("detach", disk, disk.caller);
        }
        m_made.clear();
    }

    void attachListDetach()
    {
        VELLUMAR_REQUIRE_ROOT();
        const Disk disk = attach(QStringLiteral("ram://16384"));
        QVERIFY(disk.device.startsWith(QStringLiteral("/dev/loop")));
        QVERIFY(sysfs(disk.device, QStringLiteral("loop/backing_file"))
                    .startsWith(QStringLiteral("/memfd:vellumar-ramdisk")));
        QCOMPARE(sysfs(disk.device, QStringLiteral("size")), QStringLiteral("16384"));
        QCOMPARE(sysfs(disk.device, QStringLiteral("queue/logical_block_size")),
                 QStringLiteral("4096"));
        // Must outlive the helper: no autoclear.
        QCOMPARE(sysfs(disk.device, QStringLiteral("loop/autoclear")), QStringLiteral("0"));
        QVERIFY(helper({QStringLiteral("list")})
                    .out.contains(QStringLiteral("%1\t%2\t0\t8192\t0\t0\t\t\tblock\t-1\t-1\n")
                                      .arg(disk.device, disk.id)));

        const Run run = on("detach", disk, {});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("\"%1\" ejected.\n").arg(disk.device));
        QVERIFY(!attached(disk));
        QVERIFY(!helper({QStringLiteral("list")}).out.contains(disk.device + QLatin1Char('\t')));
        // A second detach finds nothing of ours there any more.
        QCOMPARE(on("detach", disk, {}).exitCode, 2);
    }

    void oddSizesKeepSmallBlocks()
    {
        VELLUMAR_REQUIRE_ROOT();
        const Disk disk = attach(QStringLiteral("ram://2049"));
        QVERIFY(!disk.device.isEmpty());
        QCOMPARE(sysfs(disk.device, QStringLiteral("size")), QStringLiteral("2049"));
        QCOMPARE(sysfs(disk.device, QStringLiteral("queue/logical_block_size")),
                 QStringLiteral("512"));
    }

    void busyDeviceIsKept()
    {
        VELLUMAR_REQUIRE_ROOT();
        const Disk disk = attach(QStringLiteral("ram://2048"));
        QVERIFY(!disk.device.isEmpty());
        // Held exclusively, as a mounted file system holds it.
        const int holder = open(QFile::encodeName(disk.device).constData(), O_RDONLY | O_EXCL);
        QVERIFY(holder >= 0);
        const Run run = on("detach", disk, {});
        close(holder);
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains(QStringLiteral("device is busy")));
        QVERIFY(run.out.isEmpty());
        QVERIFY(attached(disk));
    }

    void parallelAttachesGetDistinctDevices()
    {
        VELLUMAR_REQUIRE_ROOT();
        std::vector<std::unique_ptr<QProcess>> runs;
        for (int i = 0; i < 4; ++i) {
            runs.push_back(std::make_unique<QProcess>());
            runs.back()->start(helperPath(),
                               {QStringLiteral("attach"), QStringLiteral("ram://2048")});
        }
        QStringList devices;
        for (auto &run : runs) {
            QVERIFY(run->waitForFinished(30000));
            const QStringList lines =
                QString::fromUtf8(run->readAllStandardOutput()).split(QLatin1Char('\n'));
            if (run->exitCode() == 0)
                m_made << Disk{lines.value(0), lines.value(1), {}};
            QCOMPARE(run->exitCode(), 0);
            devices << lines.value(0);
        }
        devices.removeDuplicates();
        QCOMPARE(devices.size(), 4);
    }

    // The device whose name could not be handed over is released again, never left behind.
    void anAnswerThatCannotBeWrittenReleasesTheDevice()
    {
        VELLUMAR_REQUIRE_ROOT();
        const QString before = helper({QStringLiteral("list")}).out;
        const Run run = helper({QStringLiteral("attach"), QStringLiteral("ram://2048")}, {},
                               QStringLiteral("/dev/full"));
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("released")), qPrintable(run.err));
        QCOMPARE(helper({QStringLiteral("list")}).out, before);
    }

    void sizesBeyondTheMachineAreRefusedBeforeAnythingIsMade()
    {
        VELLUMAR_REQUIRE_ROOT();
        const QString before = helper({QStringLiteral("list")}).out;
        const Run run = helper({QStringLiteral("attach"), QStringLiteral("ram://4294967295")});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(QStringLiteral("more than this machine can give")),
                 qPrintable(run.err));
        QCOMPARE(helper({QStringLiteral("list")}).out, before);
    }

    void formatMountUnmountDetach()
    {
        VELLUMAR_REQUIRE_ROOT();
        const QString target = m_dir.filePath(QStringLiteral("new folder"));
        const Disk disk = attach(QStringLiteral("ram://16384"), user());
        QVERIFY(!disk.device.isEmpty());
        // Nothing to mount before there is a file system.
        QCOMPARE(helper({QStringLiteral("mount"), disk.device, disk.id, target}, user()).exitCode,
                 2);
        const QString parent = folder(QStringLiteral("users"), m_userUid);
        const QString mountPoint = parent + QStringLiteral("/disk");
        QCOMPARE(helper({QStringLiteral("format"), disk.device, disk.id, QStringLiteral("Scratch")},
                        user())
                     .exitCode,
                 0);
        const Run mount = helper(
            {QStringLiteral("mount"), disk.device, disk.id, parent + QStringLiteral("//disk")},
            user());
        QVERIFY2(mount.exitCode == 0, qPrintable(mount.err));
        QCOMPARE(mount.out, mountPoint + QLatin1Char('\n'));
        // The folder was made for the user, the volume is theirs, and nothing runs as root on it.
        QCOMPARE(QFileInfo(mountPoint).ownerId(), m_userUid);
        QFile mountInfo(QStringLiteral("/proc/self/mountinfo"));
        QVERIFY(mountInfo.open(QIODevice::ReadOnly));
        const QString table = QString::fromUtf8(mountInfo.readAll());
        QString line;
        for (const QString &candidate : table.split(QLatin1Char('\n')))
            if (candidate.contains(QLatin1Char(' ') + mountPoint + QLatin1Char(' ')))
                line = candidate;
        for (const char *option : {"nosuid", "nodev", "noatime"})
            QVERIFY2(line.contains(QLatin1String(option)), qPrintable(line));
        QVERIFY2(line.contains(QStringLiteral("discard")), qPrintable(line));
        QVERIFY(
            helper({QStringLiteral("list")}, user())
                .out.contains(QStringLiteral("%1\t%2\t%3\t8192\t1\t1\t%4\tScratch\tblock\t-1\t-1\n")
                                  .arg(disk.device, disk.id, user(), mountPoint)));

        // The memory never goes while the volume is mounted.
        const Run early = on("detach", disk, user());
        QCOMPARE(early.exitCode, 1);
        QVERIFY(early.err.contains(QStringLiteral("still mounted")));
        QVERIFY(attached(disk));
        QCOMPARE(on("unmount", disk, user()).exitCode, 0);
        QVERIFY(!SystemDisks::isMountPoint(mountPoint));
        QCOMPARE(on("detach", disk, user()).exitCode, 0);
        QVERIFY(!attached(disk));
    }

    // Another user's disk is answered like one that does not exist; a helper started without
    // root's privileges does nothing at all.
    void onlyTheCallersOwnDisks()
    {
        VELLUMAR_REQUIRE_ROOT();
        const Disk roots = attach(QStringLiteral("ram://2048"));
        QVERIFY(!roots.device.isEmpty());
        const Run list = helper({QStringLiteral("list")}, user());
        QVERIFY(!list.out.contains(roots.device + QLatin1Char('\t')));
        for (const char *verb : {"unmount", "detach"}) {
            const Run run = on(verb, roots, user());
            QCOMPARE(run.exitCode, 2);
            QVERIFY2(run.err.contains(QStringLiteral("no disk of yours")), qPrintable(run.err));
        }
        const Run format =
            helper({QStringLiteral("format"), roots.device, roots.id, QStringLiteral("x")}, user());
        QCOMPARE(format.exitCode, 2);
        QVERIFY(attached(roots));

        QProcess direct;
        direct.start(QStringLiteral("runuser"),
                     {QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"),
                      helperPath(), QStringLiteral("detach"), roots.device, roots.id});
        QVERIFY(direct.waitForFinished(30000));
        QCOMPARE(direct.exitCode(), 2);
        QVERIFY(direct.readAllStandardError().contains("pkexec"));
        QVERIFY(attached(roots));
    }

    // A memory disk is made and mounted in one call, on a tmpfs that belongs to the caller and
    // stays out of swap; it is listed, named by its id, and gone with its memory at eject.
    void memoryDisksLiveAndGoByTheirId()
    {
        VELLUMAR_REQUIRE_ROOT();
        const QString parent = folder(QStringLiteral("memory-parent"), m_userUid);
        const QString path = parent + QStringLiteral("/disk");
        const Run made = helper({QStringLiteral("attach"), QStringLiteral("ram://16384"),
                                 QStringLiteral("memory"), QStringLiteral("Mem"), path},
                                user());
        const QStringList lines = made.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(made.exitCode == 0 && lines.size() == 3, qPrintable(made.err));
        const Disk disk{lines.at(0), lines.at(1), user()};
        m_made << disk;
        QCOMPARE(lines.at(2), path);
        QVERIFY(disk.device.startsWith(SystemDisks::memoryDiskPrefix()));
        QVERIFY(SystemDisks::isOurMemoryDevice(disk.device));
        QFile mountinfo(QStringLiteral("/proc/self/mountinfo"));
        QVERIFY(mountinfo.open(QIODevice::ReadOnly));
        QString line;
        for (const QString &entry : QString::fromUtf8(mountinfo.readAll()).split(QLatin1Char('\n')))
            line = entry.contains(QLatin1Char(' ') + path + QLatin1Char(' ')) ? entry : line;
        for (const char *option : {"nosuid", "nodev", "noatime", "- tmpfs", "mode=700"})
            QVERIFY2(line.contains(QLatin1String(option)), qPrintable(line));
        QVERIFY2(line.contains(QStringLiteral("uid=") + user()), qPrintable(line));

        // Written data is what the list reports as held in memory.
        QFile file(path + QStringLiteral("/data"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(QByteArray(2 * 1024 * 1024, 'x')) == 2 * 1024 * 1024);
        file.close();
        const Run list = helper({QStringLiteral("list")}, user());
        const QString mine =
            list.out.section(disk.device + QLatin1Char('\t'), 1).section(QLatin1Char('\n'), 0, 0);
        const QStringList fields = mine.split(QLatin1Char('\t'));
        QVERIFY2(fields.size() == 10 && fields.at(7) == QStringLiteral("memory"), qPrintable(mine));
        QVERIFY2(fields.at(8).toLongLong() >= 2048, qPrintable(mine));
        // Made and mounted already: no file system to write, nothing more to mount.
        QCOMPARE(
            helper({QStringLiteral("format"), disk.device, disk.id, QStringLiteral("x")}, user())
                .exitCode,
            2);
        // The wrong id reaches nothing; the right one ejects it.
        QCOMPARE(
            helper({QStringLiteral("unmount"), disk.device, disk.id + QLatin1Char('1')}, user())
                .exitCode,
            2);
        QVERIFY(SystemDisks::isMountPoint(path));
        QCOMPARE(on("unmount", disk, user()).exitCode, 0);
        QCOMPARE(on("detach", disk, user()).exitCode, 0);
        QVERIFY(!SystemDisks::isOurMemoryDevice(disk.device));
        QVERIFY(QDir().rmdir(path));

        // Made again under the same name, the old id belongs to another disk now.
        const Run again = helper({QStringLiteral("attach"), QStringLiteral("ram://16384"),
                                  QStringLiteral("memory"), QStringLiteral("Mem"), path},
                                 user());
        const QStringList next = again.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(again.exitCode == 0 && next.size() == 3, qPrintable(again.err));
        m_made << Disk{next.at(0), next.at(1), user()};
        QVERIFY(next.at(1) != disk.id);
        if (next.at(0) == disk.device) {
            const Run stale = on("unmount", disk, user());
            QCOMPARE(stale.exitCode, 2);
            QVERIFY2(stale.err.contains(QStringLiteral("another disk")), qPrintable(stale.err));
        }
        QVERIFY(SystemDisks::isMountPoint(path));

        // A second memory disk beside it, root's, is recorded as made: nothing of the first
        // one's owner, size or name carries over to it.
        const QString rootsPath = folder(QStringLiteral("memory-roots"), 0) + QStringLiteral("/d");
        const Run roots = helper({QStringLiteral("attach"), QStringLiteral("ram://4096"),
                                  QStringLiteral("memory"), QStringLiteral("Other"), rootsPath});
        const QStringList second = roots.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(roots.exitCode == 0 && second.size() == 3, qPrintable(roots.err));
        m_made << Disk{second.at(0), second.at(1), QString()};
        const QString listed = helper({QStringLiteral("list")}).out;
        const auto fieldsOf = [&listed](const QString &device) {
            return listed.section(device + QLatin1Char('\t'), 1)
                .section(QLatin1Char('\n'), 0, 0)
                .split(QLatin1Char('\t'));
        };
        const QStringList usersDisk = fieldsOf(next.at(0));
        const QStringList rootsDisk = fieldsOf(second.at(0));
        QCOMPARE(usersDisk.mid(1, 2),
                 (QStringList{QString::number(m_userUid), QStringLiteral("8192")}));
        QCOMPARE(usersDisk.at(6), QStringLiteral("Mem"));
        QCOMPARE(rootsDisk.mid(1, 2), (QStringList{QStringLiteral("0"), QStringLiteral("2048")}));
        QCOMPARE(rootsDisk.at(6), QStringLiteral("Other"));
    }

    // Two requests for one folder, both past their walk to it before either has the lock: the
    // second finds the first's volume on the folder's name and is refused, never stacked on it.
    void aFolderTakenWhileWaitingForTheLockIsRefused()
    {
        VELLUMAR_REQUIRE_ROOT();
        const QString path = folder(QStringLiteral("contended"), m_userUid);
        const int lock = ::open("/run/vellumar-ramdev/lock", O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        QVERIFY(lock >= 0);
        QVERIFY(::flock(lock, LOCK_EX) == 0);
        QList<QProcess *> requests;
        for (int i = 0; i < 2; ++i) {
            auto *process = new QProcess(this);
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("PKEXEC_UID"), user());
            process->setProcessEnvironment(environment);
            process->start(helperPath(), {QStringLiteral("attach"), QStringLiteral("ram://4096"),
                                          QStringLiteral("memory"), QStringLiteral("C"), path});
            QVERIFY(process->waitForStarted());
            requests << process;
        }
        QThread::msleep(500); // both have pinned the folder and wait for the lock
        ::close(lock);
        int made = 0;
        for (QProcess *process : std::as_const(requests)) {
            QVERIFY(process->waitForFinished(30000));
            const QStringList lines = QString::fromUtf8(process->readAllStandardOutput())
                                          .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            if (process->exitCode() == 0 && lines.size() == 3) {
                ++made;
                m_made << Disk{lines.at(0), lines.at(1), user()};
            } else {
                QVERIFY2(process->readAllStandardError().contains("already mounted"),
                         qPrintable(QString::number(process->exitCode())));
            }
        }
        QCOMPARE(made, 1);
        QCOMPARE(RealDisks::mountsUnder(path), QStringList{path});
    }

    // A compressed disk is a zram device of its own, formatted and mounted like a block disk,
    // listed with the memory it takes; a zram device the helper did not claim is never touched.
    void compressedDisksClaimAndGiveBackTheirDevice()
    {
        VELLUMAR_REQUIRE_ROOT();
        const Run made = helper(
            {QStringLiteral("attach"), QStringLiteral("ram://65536"), QStringLiteral("compressed")},
            user());
        if (made.exitCode != 0 && made.err.contains(QStringLiteral("cannot make compressed")))
            QSKIP("this kernel has no zram");
        const QStringList lines = made.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(made.exitCode == 0 && lines.size() == 2, qPrintable(made.err));
        const Disk zram{lines.at(0), lines.at(1), user()};
        m_made << zram;
        QVERIFY(zram.device.startsWith(QStringLiteral("/dev/zram")));
        const QString path = folder(QStringLiteral("compressed"), m_userUid);
        QCOMPARE(
            helper({QStringLiteral("format"), zram.device, zram.id, QStringLiteral("Z")}, user())
                .exitCode,
            0);
        QCOMPARE(helper({QStringLiteral("mount"), zram.device, zram.id, path}, user()).exitCode, 0);
        QFile file(path + QStringLiteral("/text"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 20000; ++i)
            file.write(QByteArrayLiteral("a line of text that compresses well\n"));
        file.close();
        ::sync();
        const QString list = helper({QStringLiteral("list")}, user()).out;
        const QStringList fields = list.section(zram.device + QLatin1Char('\t'), 1)
                                       .section(QLatin1Char('\n'), 0, 0)
                                       .split(QLatin1Char('\t'));
        QVERIFY2(fields.size() == 10 && fields.at(7) == QStringLiteral("compressed"),
                 qPrintable(list));
        QVERIFY2(fields.at(9).toLongLong() > fields.at(8).toLongLong(), qPrintable(list));
        QCOMPARE(on("unmount", zram, user()).exitCode, 0);
        QCOMPARE(on("detach", zram, user()).exitCode, 0);
        QVERIFY(!QFileInfo::exists(QStringLiteral("/sys/block/") + zram.device.mid(5)));
        // Not claimed by us: refused like anyone else's.
        QCOMPARE(
            helper({QStringLiteral("detach"), QStringLiteral("/dev/zram0"), QStringLiteral("1")})
                .exitCode,
            2);
    }

    // A device name read earlier may belong to another disk now: the id tells them apart.
    void aStaleDeviceNameIsRefused()
    {
        VELLUMAR_REQUIRE_ROOT();
        const Disk first = attach(QStringLiteral("ram://2048"));
        QCOMPARE(on("detach", first, {}).exitCode, 0);
        Disk second;
        for (int tries = 0; tries < 20 && second.device != first.device; ++tries)
            second = attach(QStringLiteral("ram://2048"));
        if (second.device != first.device)
            QSKIP("the kernel gave the freed device to someone else meanwhile");
        for (const char *verb : {"unmount", "detach"}) {
            const Run run = on(verb, first, {});
            QCOMPARE(run.exitCode, 2);
            QVERIFY2(run.err.contains(QStringLiteral("another disk")), qPrintable(run.err));
        }
        QVERIFY(attached(second));
    }

    void foldersThatAreRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("words");
        QTest::newRow("someone else's folder") << "foreign"
                                               << "belongs to someone else";
        QTest::newRow("a folder above that is not theirs") << "foreign-parent"
                                                           << "may not make a folder there";
        QTest::newRow("a symbolic link") << "symlink"
                                         << "symbolic link";
        QTest::newRow("a link further up") << "symlink-parent"
                                           << "symbolic link";
        QTest::newRow("a folder with files") << "non-empty"
                                             << "not empty";
        QTest::newRow("a folder holding a disk") << "mounted"
                                                 << "already mounted";
        QTest::newRow("dot-dot") << "dotdot"
                                 << "are not allowed";
        QTest::newRow("relative") << "relative"
                                  << "absolute";
    }

    void foldersThatAreRefused()
    {
        VELLUMAR_REQUIRE_ROOT();
        QFETCH(QString, kind);
        QFETCH(QString, words);
        const QString mine = folder(QStringLiteral("mine-") + kind, m_userUid);
        const QString rootsFolder = folder(QStringLiteral("roots-") + kind, 0);
        QString target;
        if (kind == QStringLiteral("foreign")) {
            target = rootsFolder;
        } else if (kind == QStringLiteral("foreign-parent")) {
            target = rootsFolder + QStringLiteral("/new");
        } else if (kind == QStringLiteral("symlink")) {
            target = mine + QStringLiteral("/link");
            QVERIFY(QFile::link(folder(QStringLiteral("elsewhere"), m_userUid), target));
        } else if (kind == QStringLiteral("symlink-parent")) {
            QVERIFY(QFile::link(mine, m_dir.filePath(QStringLiteral("via-") + kind)));
            target = m_dir.filePath(QStringLiteral("via-") + kind + QStringLiteral("/new"));
        } else if (kind == QStringLiteral("non-empty")) {
            target = mine;
            QFile file(mine + QStringLiteral("/keep.txt"));
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (kind == QStringLiteral("mounted")) {
            target = mine + QStringLiteral("/taken");
            QVERIFY(!mounted(target, user()).device.isEmpty());
        } else if (kind == QStringLiteral("dotdot")) {
            target =
                mine + QStringLiteral("/../") + QFileInfo(mine).fileName() + QStringLiteral("/x");
        } else {
            target = QStringLiteral("relative/x");
        }
        const Disk disk = attach(QStringLiteral("ram://16384"), user());
        QCOMPARE(
            helper({QStringLiteral("format"), disk.device, disk.id, QStringLiteral("t")}, user())
                .exitCode,
            0);
        const QStringList filesBefore =
            QDir(rootsFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const Run run = helper({QStringLiteral("mount"), disk.device, disk.id, target}, user());
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(words), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        // Nothing mounted, nothing made, nothing lost.
        QVERIFY(!helper({QStringLiteral("list")}, user())
                     .out.contains(disk.device + QLatin1Char('\t') + disk.id + QLatin1Char('\t') +
                                   user() + QStringLiteral("\t8192\t1")));
        QCOMPARE(QDir(rootsFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), filesBefore);
        if (kind == QStringLiteral("non-empty"))
            QVERIFY(QFile::exists(mine + QStringLiteral("/keep.txt")));
    }

    // Asked for "@media/<name>", a disk gets a folder of its own name in the user's media
    // folder, which the helper makes root's with an access list letting the user in, and
    // removes again at eject.
    void theDefaultPlaceIsTheUsersMediaFolder()
    {
        VELLUMAR_REQUIRE_ROOT();
        const passwd *entry = getpwuid(m_userUid);
        QVERIFY(entry);
        const QString name = QString::fromLocal8Bit(entry->pw_name);
        const QString media = QStringLiteral("/media/") + name;
        if (!QFileInfo::exists(media) && QFileInfo::exists(QStringLiteral("/run/media/") + name))
            QSKIP("this system puts the user's volumes in /run/media");
        const bool hadMedia = QFileInfo::exists(media);
        for (const char *taken : {"/Scratch", "/Scratch 2", "/_x", "/a_b", "/Block"})
            if (QFileInfo::exists(media + QLatin1String(taken)))
                QSKIP("the user's media folder holds folders of the names this test uses");
        const auto tidy = qScopeGuard([&] {
            cleanup();
            if (!hadMedia)
                QDir().rmdir(media);
        });

        const QString first = inMedia(QStringLiteral("Scratch"));
        QCOMPARE(first, media + QStringLiteral("/Scratch"));
        QCOMPARE(inMedia(QStringLiteral("Scratch")), media + QStringLiteral("/Scratch 2"));
        // Names that would climb or split land inside the media folder all the same.
        QCOMPARE(inMedia(QStringLiteral("../x")), media + QStringLiteral("/_x"));
        QCOMPARE(inMedia(QStringLiteral("a/b")), media + QStringLiteral("/a_b"));

        struct stat info
        {
        };
        QCOMPARE(::stat(QFile::encodeName(media).constData(), &info), 0);
        QCOMPARE(info.st_uid, uid_t(0));
        QCOMPARE(info.st_mode & 022, 0u);
        if (!hadMedia) {
            QCOMPARE(info.st_mode & 07777, 0750u);
            QCOMPARE(aclPermissions(media, ACL_USER, m_userUid), ACL_READ | ACL_EXECUTE);
            QCOMPARE(aclPermissions(media, ACL_MASK), ACL_READ | ACL_EXECUTE);
            QCOMPARE(aclPermissions(media, ACL_OTHER), 0);
        }
        // The user reaches the disk through the list and may write on it.
        QProcess touch;
        touch.start(QStringLiteral("runuser"),
                    {QStringLiteral("-u"), name, QStringLiteral("--"), QStringLiteral("touch"),
                     first + QStringLiteral("/written")});
        QVERIFY(touch.waitForFinished(30000));
        QCOMPARE(touch.exitCode(), 0);
        QVERIFY(
            helper({QStringLiteral("list")}, user())
                .out.contains(QStringLiteral("\t1\t1\t") + media + QStringLiteral("/Scratch\t")));

        // A block disk mounted in the default place: the folder is printed, and goes at unmount.
        const Disk block = attach(QStringLiteral("ram://16384"), user());
        QCOMPARE(
            helper({QStringLiteral("format"), block.device, block.id, QStringLiteral("B")}, user())
                .exitCode,
            0);
        const Run mount = helper(
            {QStringLiteral("mount"), block.device, block.id, QStringLiteral("@media/Block")},
            user());
        QCOMPARE(mount.out, media + QStringLiteral("/Block\n"));
        QVERIFY(SystemDisks::isMountPoint(media + QStringLiteral("/Block")));
        QCOMPARE(on("unmount", block, user()).exitCode, 0);
        QVERIFY(!QFileInfo::exists(media + QStringLiteral("/Block")));

        for (const Disk &disk : std::as_const(m_made)) {
            QCOMPARE(on("unmount", disk, user()).exitCode, 0);
            QCOMPARE(on("detach", disk, user()).exitCode, 0);
        }
        m_made.clear();
        for (const char *made : {"/Scratch", "/Scratch 2", "/_x", "/a_b"})
            QVERIFY2(!QFileInfo::exists(media + QLatin1String(made)), made);
    }

    // A media folder someone else could change is refused, never used or repaired.
    void mediaFoldersThatAreRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("words");
        QTest::newRow("the user's own") << "users"
                                        << "not root's alone";
        QTest::newRow("writable by all") << "writable"
                                         << "not root's alone";
        QTest::newRow("a symbolic link") << "symlink"
                                         << "symbolic link";
    }

    void mediaFoldersThatAreRefused()
    {
        VELLUMAR_REQUIRE_ROOT();
        QFETCH(QString, kind);
        QFETCH(QString, words);
        const passwd *entry = getpwuid(m_userUid);
        QVERIFY(entry);
        const QString media = QStringLiteral("/media/") + QString::fromLocal8Bit(entry->pw_name);
        if (QFileInfo::exists(media) || QFileInfo(media).isSymLink())
            QSKIP("the user has a media folder already");
        const QString elsewhere = folder(QStringLiteral("media-elsewhere"), m_userUid);
        const QByteArray name = QFile::encodeName(media);
        const auto tidy = qScopeGuard([&] {
            if (QFileInfo(media).isSymLink())
                QFile::remove(media);
            else
                QDir().rmdir(media);
        });
        if (kind == QStringLiteral("symlink")) {
            QVERIFY(QFile::link(elsewhere, media));
        } else {
            QVERIFY(QDir().mkdir(media));
            QCOMPARE(::chown(name.constData(), kind == QStringLiteral("users") ? m_userUid : 0, 0),
                     0);
            QCOMPARE(::chmod(name.constData(), kind == QStringLiteral("users") ? 0755 : 0777), 0);
        }
        const Run run = helper({QStringLiteral("attach"), QStringLiteral("ram://4096"),
                                QStringLiteral("memory"), QStringLiteral("M"),
                                QStringLiteral("@media/Refused")},
                               user());
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(words), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        QVERIFY(QDir(elsewhere).isEmpty());
        QVERIFY(!QFileInfo::exists(media + QStringLiteral("/Refused")));
        // Left exactly as it was.
        struct stat info
        {
        };
        QCOMPARE(::lstat(name.constData(), &info), 0);
        if (kind == QStringLiteral("symlink")) {
            QVERIFY(S_ISLNK(info.st_mode));
        } else {
            const bool users = kind == QStringLiteral("users");
            QCOMPARE(info.st_mode & 07777, users ? 0755u : 0777u);
            QCOMPARE(info.st_uid, users ? m_userUid : uid_t(0));
        }
    }

    // A volume someone stacked on the disk's folder is never unmounted by an eject.
    void aVolumeStackedOnTopIsLeftAlone()
    {
        VELLUMAR_REQUIRE_ROOT();
        const QString mountPoint =
            folder(QStringLiteral("stacked"), m_userUid) + QStringLiteral("/disk");
        const Disk disk = mounted(mountPoint, user());
        QVERIFY(!disk.device.isEmpty());
        QCOMPARE(::mount("stacked-tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs", 0,
                         "size=1m"),
                 0);
        const auto unstack =
            qScopeGuard([&] { ::umount2(QFile::encodeName(mountPoint).constData(), MNT_DETACH); });
        QFile precious(mountPoint + QStringLiteral("/precious"));
        QVERIFY(precious.open(QIODevice::WriteOnly));
        precious.write("keep");
        precious.close();

        const Run run = on("unmount", disk, user());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("tmpfs stacked-tmpfs")), qPrintable(run.err));
        QVERIFY(QFile::exists(mountPoint + QStringLiteral("/precious")));
        QCOMPARE(on("detach", disk, user()).exitCode, 1);
        QVERIFY(attached(disk));

        // Once the other volume is gone, the eject goes through.
        QCOMPARE(::umount2(QFile::encodeName(mountPoint).constData(), 0), 0);
        QCOMPARE(on("unmount", disk, user()).exitCode, 0);
        QCOMPARE(on("detach", disk, user()).exitCode, 0);
    }
};

QTEST_GUILESS_MAIN(TestRamdevReal)
#include "TestRamdevReal.moc"
