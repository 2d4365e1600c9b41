// Ordinary users making disks through pkexec, and what one user may try against the system or
// another user. Runs as root, which sets the stage (users' folders, a volume stacked by someone
// else) and runs every command as the test users.
#include "RealDisks.h"
#include "SystemDisks.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <pwd.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

const QString firstUser = QStringLiteral("vellumar-t1");
const QString secondUser = QStringLiteral("vellumar-t2");

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

QString binary(const char *name)
{
    return QStringLiteral(VELLUMAR_BUILD_BIN_DIR "/") + QString::fromLatin1(name);
}

QString installedHelper()
{
    return QStringLiteral(VELLUMAR_INSTALL_LIBEXEC_DIR "/vellumar-ramdev");
}

uid_t uidOf(const QString &user)
{
    const passwd *entry = getpwnam(user.toLocal8Bit().constData());
    return entry ? entry->pw_uid : uid_t(-1);
}

} // namespace

class TestTwoUsers : public QObject
{
    Q_OBJECT

    QMap<QString, QString> m_homes; // user -> a fresh home folder of theirs
    QTemporaryDir m_root;           // root's own folders for the test

    // `program` run as `user` in their home, with a plain environment and no standard input.
    QProcess *start(const QString &user, const QString &program, const QStringList &arguments)
    {
        auto *process = new QProcess(this);
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/sbin:/usr/bin:/sbin:/bin"));
        environment.insert(QStringLiteral("HOME"), m_homes.value(user));
        environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        environment.insert(QStringLiteral("VELLUMAR_NO_DESKTOP"), QStringLiteral("1"));
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(m_homes.value(user));
        process->setStandardInputFile(QProcess::nullDevice());
        process->start(QStringLiteral("runuser"),
                       QStringList{QStringLiteral("-u"), user, QStringLiteral("--"), program} +
                           arguments);
        return process;
    }

    Run finish(QProcess *process)
    {
        process->waitForFinished(120000);
        Run run{process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1,
                QString::fromUtf8(process->readAllStandardOutput()),
                QString::fromUtf8(process->readAllStandardError())};
        process->deleteLater();
        return run;
    }

    Run as(const QString &user, const QString &program, const QStringList &arguments)
    {
        return finish(start(user, program, arguments));
    }

    Run ctl(const QString &user, const QStringList &arguments)
    {
        return as(user, binary("vellumarctl"), arguments);
    }

    Run helper(const QString &user, const QStringList &arguments)
    {
        return as(user, QStringLiteral("/usr/bin/pkexec"),
                  QStringList{installedHelper()} + arguments);
    }

    // Every disk of the user's as the helper lists them: one line each.
    QSet<QString> recordLines(const QString &user)
    {
        const QStringList lines =
            helper(user, {QStringLiteral("list")}).out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return QSet<QString>(lines.begin(), lines.end());
    }

    QString home(const QString &user, const QString &name) const
    {
        return m_homes.value(user) + QLatin1Char('/') + name;
    }

    // A folder of `user`'s own, made by root for the test.
    QString folderOf(const QString &user, const QString &name)
    {
        const QString path = home(user, name);
        QDir().mkpath(path);
        const uid_t uid = uidOf(user);
        ::chown(QFile::encodeName(path).constData(), uid, uid);
        return path;
    }

    // The user's disks as `vellumarctl list --json` gives them: mount path -> device. Only
    // those under the test's homes: other runs may use the same test users.
    QMap<QString, QString> disksOf(const QString &user)
    {
        QMap<QString, QString> found;
        const Run run = ctl(user, {QStringLiteral("list"), QStringLiteral("--json")});
        const QJsonArray disks = QJsonDocument::fromJson(run.out.toUtf8()).array();
        for (const QJsonValue &disk : disks) {
            const QString path = disk.toObject().value(QStringLiteral("mountPath")).toString();
            for (const QString &home : std::as_const(m_homes))
                if (path.startsWith(home + QLatin1Char('/')))
                    found.insert(path, disk.toObject().value(QStringLiteral("device")).toString());
        }
        return found;
    }

    QString create(const QString &user, const QString &mountPath, const QString &kib = {})
    {
        const Run run = ctl(user, {QStringLiteral("create"), QStringLiteral("--size"),
                                   kib.isEmpty() ? QStringLiteral("65536") : kib,
                                   QStringLiteral("--mount"), mountPath});
        return run.exitCode == 0 ? run.out.trimmed().section(QLatin1Char('\n'), -1) : run.err;
    }

    // The device and id of the user's disk on `mountPath`, from the helper's own list.
    QStringList recordOf(const QString &user, const QString &mountPath)
    {
        const Run run = helper(user, {QStringLiteral("list")});
        for (const QString &line : run.out.split(QLatin1Char('\n'))) {
            const QStringList fields = line.split(QLatin1Char('\t'));
            if (fields.size() == 11 &&
                QByteArray::fromPercentEncoding(fields.at(6).toLatin1()) == mountPath.toUtf8())
                return {fields.at(0), fields.at(1)};
        }
        return {};
    }

private slots:
    void initTestCase()
    {
        VELLUMAR_REQUIRE_ROOT();
        for (const QString &user : {firstUser, secondUser}) {
            if (uidOf(user) == uid_t(-1))
                QSKIP("the test users are not set up (the vellumar_test_users fixture does it)");
            const QString path = QStringLiteral("/tmp/vellumar-twousers-%1-%2")
                                     .arg(user)
                                     .arg(QRandomGenerator::global()->generate());
            QVERIFY(QDir().mkpath(path));
            ::chown(QFile::encodeName(path).constData(), uidOf(user), uidOf(user));
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            m_homes.insert(user, path);
            const Run check = helper(user, {QStringLiteral("check")});
            if (check.exitCode != 0)
                QSKIP(
                    qPrintable(QStringLiteral("pkexec does not run the installed helper for %1: %2")
                                   .arg(user, check.err.trimmed())));
        }
    }

    void cleanup()
    {
        // Whatever a test left: root may eject any recorded disk under the users' homes.
        for (const QString &path : std::as_const(m_homes))
            RealDisks::cleanUpUnder(path);
    }

    void cleanupTestCase()
    {
        cleanup();
        for (const QString &path : std::as_const(m_homes))
            if (RealDisks::mountsUnder(path).isEmpty())
                QDir(path).removeRecursively();
    }

    void aUserMakesUsesAndEjectsADisk()
    {
        VELLUMAR_REQUIRE_ROOT();
        const QString mountPath = home(firstUser, QStringLiteral("scratch"));
        QCOMPARE(create(firstUser, mountPath), mountPath);
        QVERIFY(SystemDisks::isMountPoint(mountPath));
        QVERIFY(disksOf(firstUser).contains(mountPath));

        // The user writes and reads back on their own disk.
        const QString file = mountPath + QStringLiteral("/hello.txt");
        QCOMPARE(as(firstUser, QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"),
                     QStringLiteral("head -c 3000000 /dev/urandom > \"$1\" && "
                                    "sha256sum \"$1\""),
                     QStringLiteral("sh"), file})
                     .exitCode,
                 0);
        QCOMPARE(QFileInfo(file).size(), 3000000);
        QCOMPARE(QFileInfo(file).ownerId(), uidOf(firstUser));

        // The other user neither sees nor ejects it, not even through the helper itself.
        QVERIFY(!disksOf(secondUser).contains(mountPath));
        const Run foreignEject = ctl(secondUser, {QStringLiteral("eject"), mountPath});
        QVERIFY(foreignEject.exitCode != 0);
        const QStringList record = recordOf(firstUser, mountPath);
        QCOMPARE(record.size(), 2);
        for (const char *verb : {"unmount", "detach"}) {
            const Run run =
                helper(secondUser, {QString::fromLatin1(verb), record.at(0), record.at(1)});
            QCOMPARE(run.exitCode, 2);
            QVERIFY2(run.err.contains(QStringLiteral("no disk of yours")), qPrintable(run.err));
        }
        QVERIFY(SystemDisks::isMountPoint(mountPath));
        QVERIFY(QFile::exists(file));

        const Run eject = ctl(firstUser, {QStringLiteral("eject"), mountPath});
        QVERIFY2(eject.exitCode == 0, qPrintable(eject.err));
        QVERIFY(!SystemDisks::isMountPoint(mountPath));
        QVERIFY(!SystemDisks::isOurMemoryDevice(record.at(0)) ||
                recordOf(firstUser, mountPath).isEmpty());
        // The folder made for the disk went with it.
        QVERIFY(!QFileInfo::exists(mountPath));
        QVERIFY(disksOf(firstUser).isEmpty());
    }

    void foldersAUserMayNotMountOn_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("the other user's folder") << QStringLiteral("foreign");
        QTest::newRow("a symbolic link to the user's own folder") << QStringLiteral("symlink");
        QTest::newRow("a folder with files") << QStringLiteral("full");
        QTest::newRow("a folder that holds a disk") << QStringLiteral("taken");
        QTest::newRow("a system folder by a link") << QStringLiteral("system-link");
    }

    void foldersAUserMayNotMountOn()
    {
        VELLUMAR_REQUIRE_ROOT();
        QFETCH(QString, kind);
        QString target;
        if (kind == QStringLiteral("foreign")) {
            target = folderOf(secondUser, QStringLiteral("theirs"));
            QFile::setPermissions(m_homes.value(secondUser), QFile::ReadOwner | QFile::WriteOwner |
                                                                 QFile::ExeOwner | QFile::ExeOther |
                                                                 QFile::ReadOther);
        } else if (kind == QStringLiteral("symlink")) {
            target = home(firstUser, QStringLiteral("link"));
            QVERIFY(QFile::link(folderOf(firstUser, QStringLiteral("real")), target));
        } else if (kind == QStringLiteral("full")) {
            target = folderOf(firstUser, QStringLiteral("full"));
            QFile file(target + QStringLiteral("/keep.txt"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("keep");
        } else if (kind == QStringLiteral("taken")) {
            target = home(firstUser, QStringLiteral("taken"));
            QCOMPARE(create(firstUser, target), target);
        } else {
            target = home(firstUser, QStringLiteral("etc"));
            QVERIFY(QFile::link(QStringLiteral("/etc"), target));
        }
        const QStringList before = SystemDisks::ourMemoryDevices();
        const int mountsBefore = SystemDisks::mounts().size();
        const QString answer = create(firstUser, target, QStringLiteral("8192"));
        QVERIFY2(answer != target, qPrintable(answer));
        QCOMPARE(SystemDisks::mounts().size(), mountsBefore);
        QCOMPARE(SystemDisks::ourMemoryDevices(), before);
        if (kind == QStringLiteral("full"))
            QVERIFY(QFile::exists(target + QStringLiteral("/keep.txt")));
    }

    // A volume someone else stacked on the disk's folder survives the eject, files and all.
    void aStackedVolumeSurvivesTheEject()
    {
        VELLUMAR_REQUIRE_ROOT();
        const QString mountPath = home(firstUser, QStringLiteral("stacked"));
        QCOMPARE(create(firstUser, mountPath), mountPath);
        const QByteArray path = QFile::encodeName(mountPath);
        QCOMPARE(::mount("foreign-tmpfs", path.constData(), "tmpfs", 0, "size=1m"), 0);
        const auto unstack = qScopeGuard([&] { ::umount2(path.constData(), MNT_DETACH); });
        QFile precious(mountPath + QStringLiteral("/precious"));
        QVERIFY(precious.open(QIODevice::WriteOnly));
        precious.write("keep");
        precious.close();

        const Run eject = ctl(firstUser, {QStringLiteral("eject"), mountPath});
        QCOMPARE(eject.exitCode, 1);
        QVERIFY2(eject.err.contains(QStringLiteral("another volume")), qPrintable(eject.err));
        QVERIFY(QFile::exists(mountPath + QStringLiteral("/precious")));
        QCOMPARE(recordOf(firstUser, mountPath).size(), 2);

        QCOMPARE(::umount2(path.constData(), 0), 0);
        QCOMPARE(ctl(firstUser, {QStringLiteral("eject"), mountPath}).exitCode, 0);
        QVERIFY(!SystemDisks::isMountPoint(mountPath));
    }

    // An eject by a device name and id read earlier, after that disk went and a new one took
    // the name, leaves the new disk alone.
    void aStaleDeviceNameDoesNotReachTheNewDisk()
    {
        VELLUMAR_REQUIRE_ROOT();
        const QString first = home(firstUser, QStringLiteral("first"));
        QCOMPARE(create(firstUser, first), first);
        const QStringList stale = recordOf(firstUser, first);
        QCOMPARE(ctl(firstUser, {QStringLiteral("eject"), first}).exitCode, 0);
        QString second;
        QStringList fresh;
        for (int tries = 0; tries < 10; ++tries) {
            second = home(firstUser, QStringLiteral("second%1").arg(tries));
            QCOMPARE(create(firstUser, second), second);
            fresh = recordOf(firstUser, second);
            if (fresh.value(0) == stale.value(0))
                break;
        }
        if (fresh.value(0) != stale.value(0))
            QSKIP("the freed device went to another disk meanwhile");
        for (const char *verb : {"unmount", "detach"}) {
            const Run run =
                helper(firstUser, {QString::fromLatin1(verb), stale.at(0), stale.at(1)});
            QCOMPARE(run.exitCode, 2);
            QVERIFY2(run.err.contains(QStringLiteral("another disk")), qPrintable(run.err));
        }
        QVERIFY(SystemDisks::isMountPoint(second));
    }

    void concurrentCreatesOnOneFolderMakeOneDisk()
    {
        VELLUMAR_REQUIRE_ROOT();
        const QString mountPath = home(firstUser, QStringLiteral("contended"));
        const QSet<QString> before = recordLines(firstUser);
        QList<QProcess *> runs;
        for (int i = 0; i < 4; ++i)
            runs << start(firstUser, binary("vellumarctl"),
                          {QStringLiteral("create"), QStringLiteral("--size"),
                           QStringLiteral("4096"), QStringLiteral("--mount"), mountPath});
        int made = 0;
        for (QProcess *run : std::as_const(runs))
            made += finish(run).exitCode == 0 ? 1 : 0;
        QCOMPARE(made, 1);
        int mountsThere = 0;
        for (const SystemDisks::Mount &mount : SystemDisks::mounts())
            mountsThere += mount.mountPoint == mountPath ? 1 : 0;
        QCOMPARE(mountsThere, 1);
        // The refused ones left nothing attached behind: the one new disk is the mounted one.
        const QSet<QString> added = recordLines(firstUser) - before;
        QCOMPARE(added.size(), 1);
        QVERIFY2(
            added.begin()->contains(QStringLiteral("\t1\t1\t") + mountPath + QLatin1Char('\t')),
            qPrintable(*added.begin()));
    }

    // While the user swaps the empty target folder with a link to a folder full of root's files
    // as fast as possible, no disk ever lands anywhere but on an empty folder of theirs.
    void aFolderSwappedForALinkNeverGetsTheDisk()
    {
        VELLUMAR_REQUIRE_ROOT();
        const QString rootsFiles = m_root.filePath(QStringLiteral("roots-files"));
        QVERIFY(QDir().mkpath(rootsFiles));
        QFile marker(rootsFiles + QStringLiteral("/marker"));
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();
        QFile::setPermissions(m_root.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ExeOwner | QFile::ExeOther);

        const QString race = folderOf(firstUser, QStringLiteral("race"));
        const QString target = race + QStringLiteral("/t");
        folderOf(firstUser, QStringLiteral("race/t"));
        const QString link = race + QStringLiteral("/l");
        QVERIFY(QFile::link(rootsFiles, link));
        ::lchown(QFile::encodeName(link).constData(), uidOf(firstUser), uidOf(firstUser));

        // One disk, formatted once, mounted and unmounted over and over.
        const Run attach =
            helper(firstUser, {QStringLiteral("attach"), QStringLiteral("ram://8192")});
        QCOMPARE(attach.exitCode, 0);
        const QString device = attach.out.section(QLatin1Char('\n'), 0, 0);
        const QString id = attach.out.section(QLatin1Char('\n'), 1, 1);
        const auto release = qScopeGuard([&] {
            helper(firstUser, {QStringLiteral("unmount"), device, id});
            helper(firstUser, {QStringLiteral("detach"), device, id});
        });
        QCOMPARE(helper(firstUser, {QStringLiteral("format"), device, id, QStringLiteral("race")})
                     .exitCode,
                 0);

        QProcess *swapper = start(firstUser, binary("race-swapper"),
                                  {race, QStringLiteral("t"), QStringLiteral("l")});
        QVERIFY(swapper->waitForReadyRead(10000));
        int mountedTimes = 0;
        int wrongPlace = 0;
        for (int attempt = 0; attempt < 200; ++attempt) {
            const Run mount = helper(firstUser, {QStringLiteral("mount"), device, id, target});
            if (mount.exitCode != 0)
                continue;
            ++mountedTimes;
            // Wherever the name points now, the disk must be on the user's empty folder: the
            // root-owned folder never has a mount, and its marker is always visible. (Resolving
            // the mount table's path for the disk races with the swapper itself, so the root
            // folder is looked at directly.)
            wrongPlace += SystemDisks::isMountPoint(rootsFiles) ? 1 : 0;
            wrongPlace += QFile::exists(rootsFiles + QStringLiteral("/marker")) ? 0 : 1;
            QCOMPARE(helper(firstUser, {QStringLiteral("unmount"), device, id}).exitCode, 0);
        }
        // Memory disks are made and mounted in one call: the same race, disk after disk.
        int memoryMounted = 0;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const Run made = helper(firstUser, {QStringLiteral("attach"),
                                                QStringLiteral("ram://8192"),
                                                QStringLiteral("memory"),
                                                QStringLiteral("race"), target});
            if (made.exitCode != 0)
                continue;
            ++memoryMounted;
            const QString memory = made.out.section(QLatin1Char('\n'), 0, 0);
            const QString memoryId = made.out.section(QLatin1Char('\n'), 1, 1);
            wrongPlace += SystemDisks::isMountPoint(rootsFiles) ? 1 : 0;
            wrongPlace += QFile::exists(rootsFiles + QStringLiteral("/marker")) ? 0 : 1;
            QCOMPARE(helper(firstUser, {QStringLiteral("unmount"), memory, memoryId}).exitCode, 0);
            QCOMPARE(helper(firstUser, {QStringLiteral("detach"), memory, memoryId}).exitCode, 0);
        }
        qInfo("memory disks: mounted %d times in 100 tries", memoryMounted);
        // runuser passes the request on to the swapper and collects it.
        swapper->terminate();
        finish(swapper);
        qInfo("mounted %d times in 200 tries while the folder was swapped", mountedTimes);
        QCOMPARE(wrongPlace, 0);
        QVERIFY(!SystemDisks::isMountPoint(rootsFiles));
    }

    void aSizeBeyondWhatTheMachineCanGiveIsRefused()
    {
        VELLUMAR_REQUIRE_ROOT();
        QFile meminfo(QStringLiteral("/proc/meminfo"));
        QVERIFY(meminfo.open(QIODevice::ReadOnly));
        qint64 availableKiB = 0;
        for (const QByteArray &line : meminfo.readAll().split('\n'))
            if (line.startsWith("MemAvailable:"))
                availableKiB = line.mid(13).trimmed().split(' ').first().toLongLong();
        const QStringList before = SystemDisks::ourMemoryDevices();
        const QString mountPath = home(firstUser, QStringLiteral("huge"));
        const Run run =
            ctl(firstUser, {QStringLiteral("create"), QStringLiteral("--size"),
                            QString::number(availableKiB), QStringLiteral("--mount"), mountPath});
        QVERIFY(run.exitCode != 0);
        QVERIFY2((run.out + run.err).contains(QStringLiteral("more than this machine can give")),
                 qPrintable(run.out + run.err));
        QCOMPARE(SystemDisks::ourMemoryDevices(), before);
        QVERIFY(!QFileInfo::exists(mountPath));
    }
};

QTEST_GUILESS_MAIN(TestTwoUsers)
#include "TestTwoUsers.moc"
