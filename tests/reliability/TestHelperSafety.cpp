// The memory-device helper runs as root: it must release only devices it attached, only by
// their own /dev/loopN name, and never by a path that leads somewhere else.
#include "RealDisks.h"
#include "ReliabilitySupport.h"
#include "SystemDisks.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace Reliability;

class TestHelperSafety : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void refusesDevicesItDidNotAttach();
    void refusesPathsThatAreNotTheDeviceItself_data();
    void refusesPathsThatAreNotTheDeviceItself();
    void refusesAMountedDevice();
    void refusesBadRequests_data();
    void refusesBadRequests();

private:
    Run helper(const QStringList &arguments) const
    {
        return runProgram(QStringLiteral("vellumar-ramdev"), arguments, m_dir.path());
    }
    // Whether `device` is attached to anything at all.
    static bool attached(const QString &device)
    {
        return QFile::exists(QStringLiteral("/sys/block/%1/loop/backing_file")
                                 .arg(device.section(QLatin1Char('/'), -1)));
    }

    QTemporaryDir m_dir;
    std::unique_ptr<MachineGuard> m_guard;
    QString m_ours;    // a device the helper attached
    QString m_oursId;  // and the id it gave
    QString m_foreign; // a loop device over an ordinary file, attached with losetup
};

void TestHelperSafety::initTestCase()
{
    VELLUMAR_REQUIRE_ROOT();
    m_guard = std::make_unique<MachineGuard>(m_dir.path());
    const Run attach = helper({QStringLiteral("attach"), QStringLiteral("ram://8192")});
    QVERIFY2(attach.exitCode == 0, qPrintable(attach.err));
    m_ours = attach.out.section(QLatin1Char('\n'), 0, 0);
    m_oursId = attach.out.section(QLatin1Char('\n'), 1, 1);
    m_guard->keep(m_ours);
    QVERIFY(SystemDisks::isOurMemoryDevice(m_ours));

    QFile backing(m_dir.filePath(QStringLiteral("ordinary.img")));
    QVERIFY(backing.open(QIODevice::WriteOnly));
    QVERIFY(backing.resize(4 << 20));
    backing.close();
    QProcess losetup;
    losetup.start(QStringLiteral("losetup"),
                  {QStringLiteral("--find"), QStringLiteral("--show"), backing.fileName()});
    QVERIFY(losetup.waitForFinished());
    m_foreign = QString::fromUtf8(losetup.readAllStandardOutput()).trimmed();
    QVERIFY2(m_foreign.startsWith(QStringLiteral("/dev/loop")),
             losetup.readAllStandardError().constData());
}

void TestHelperSafety::cleanupTestCase()
{
    if (!m_foreign.isEmpty())
        QProcess::execute(QStringLiteral("losetup"), {QStringLiteral("-d"), m_foreign});
    if (!m_ours.isEmpty() && SystemDisks::isOurMemoryDevice(m_ours)) {
        const Run detach = helper({QStringLiteral("detach"), m_ours, m_oursId});
        QVERIFY2(detach.exitCode == 0, qPrintable(detach.err));
        QCOMPARE(detach.out, QStringLiteral("\"%1\" ejected.\n").arg(m_ours));
        QVERIFY(!SystemDisks::isOurMemoryDevice(m_ours));
    }
    m_guard.reset();
}

void TestHelperSafety::refusesDevicesItDidNotAttach()
{
    VELLUMAR_REQUIRE_ROOT();
    const Run run = helper({QStringLiteral("detach"), m_foreign, m_oursId});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(m_foreign), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
    QVERIFY(attached(m_foreign));
}

void TestHelperSafety::refusesPathsThatAreNotTheDeviceItself_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("symbolic link to our device") << QStringLiteral("symlink");
    QTest::newRow("symbolic link named like a loop device") << QStringLiteral("dev-symlink");
    QTest::newRow("device node copy outside /dev") << QStringLiteral("node");
    QTest::newRow("dot-dot into /dev") << QStringLiteral("dotdot");
    QTest::newRow("trailing slash") << QStringLiteral("slash");
    QTest::newRow("ordinary file") << QStringLiteral("file");
    QTest::newRow("partition-like name") << QStringLiteral("partition");
}

void TestHelperSafety::refusesPathsThatAreNotTheDeviceItself()
{
    VELLUMAR_REQUIRE_ROOT();
    QFETCH(QString, kind);
    const QString number = m_ours.mid(QStringLiteral("/dev/loop").size());
    QString path;
    QString madeInDev;
    if (kind == QStringLiteral("symlink")) {
        path = m_dir.filePath(QStringLiteral("link"));
        QVERIFY(QFile::link(m_ours, path));
    } else if (kind == QStringLiteral("dev-symlink")) {
        // A name the helper's pattern accepts, but a link: it must not be followed.
        for (int n = 9000; n < 9100 && path.isEmpty(); ++n) {
            const QString candidate = QStringLiteral("/dev/loop%1").arg(n);
            if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
                path = candidate;
        }
        QVERIFY(QFile::link(m_ours, path));
        madeInDev = path;
    } else if (kind == QStringLiteral("node")) {
        struct stat info
        {
        };
        QCOMPARE(::stat(m_ours.toLocal8Bit().constData(), &info), 0);
        path = m_dir.filePath(QStringLiteral("loop%1").arg(number));
        QCOMPARE(::mknod(path.toLocal8Bit().constData(), S_IFBLK | 0600, info.st_rdev), 0);
    } else if (kind == QStringLiteral("dotdot")) {
        path = QStringLiteral("/dev/../dev/loop") + number;
    } else if (kind == QStringLiteral("slash")) {
        path = m_ours + QLatin1Char('/');
    } else if (kind == QStringLiteral("file")) {
        path = m_dir.filePath(QStringLiteral("ordinary.img"));
    } else {
        path = m_ours + QStringLiteral("p1");
    }
    const Run run = helper({QStringLiteral("detach"), path, m_oursId});
    if (!madeInDev.isEmpty())
        QFile::remove(madeInDev);
    QVERIFY2(run.exitCode == 2,
             qPrintable(QStringLiteral("exit %1: %2").arg(run.exitCode).arg(run.err)));
    QVERIFY(!run.err.trimmed().isEmpty());
    QVERIFY(run.out.isEmpty());
    QVERIFY(SystemDisks::isOurMemoryDevice(m_ours));
    QVERIFY(attached(m_foreign));
}

void TestHelperSafety::refusesAMountedDevice()
{
    VELLUMAR_REQUIRE_ROOT();
    const Run format = helper({QStringLiteral("format"), m_ours, m_oursId, QStringLiteral("x")});
    QVERIFY2(format.exitCode == 0, qPrintable(format.err));
    const QString mountPoint = m_dir.filePath(QStringLiteral("mnt"));
    const Run mount = helper({QStringLiteral("mount"), m_ours, m_oursId, mountPoint});
    QVERIFY2(mount.exitCode == 0, qPrintable(mount.err));
    const Run run = helper({QStringLiteral("detach"), m_ours, m_oursId});
    const bool stillMounted = SystemDisks::isMountPoint(mountPoint);
    const Run unmount = helper({QStringLiteral("unmount"), m_ours, m_oursId});
    QVERIFY2(unmount.exitCode == 0, qPrintable(unmount.err));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("still mounted")), qPrintable(run.err));
    QVERIFY(stillMounted);
    QVERIFY(SystemDisks::isOurMemoryDevice(m_ours));
}

void TestHelperSafety::refusesBadRequests_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no arguments") << QStringList{};
    QTest::newRow("zero blocks") << QStringList{QStringLiteral("attach"),
                                                QStringLiteral("ram://0")};
    QTest::newRow("negative blocks")
        << QStringList{QStringLiteral("attach"), QStringLiteral("ram://-8")};
    QTest::newRow("blocks beyond 32 bits")
        << QStringList{QStringLiteral("attach"), QStringLiteral("ram://4294967296")};
    QTest::newRow("letters") << QStringList{QStringLiteral("attach"), QStringLiteral("ram://many")};
    QTest::newRow("a file instead of memory")
        << QStringList{QStringLiteral("attach"), QStringLiteral("/etc/passwd")};
    QTest::newRow("extra argument")
        << QStringList{QStringLiteral("attach"), QStringLiteral("ram://8"), QStringLiteral("x")};
    QTest::newRow("detach nothing") << QStringList{QStringLiteral("detach"), QString(), QString()};
    QTest::newRow("detach a disk")
        << QStringList{QStringLiteral("detach"), QStringLiteral("/dev/vda"), QStringLiteral("1")};
    QTest::newRow("detach a missing loop")
        << QStringList{QStringLiteral("detach"), QStringLiteral("/dev/loop999999"),
                       QStringLiteral("1")};
    QTest::newRow("unknown verb") << QStringList{QStringLiteral("erase"),
                                                 QStringLiteral("/dev/loop0")};
    QTest::newRow("id that is no number")
        << QStringList{QStringLiteral("unmount"), QStringLiteral("/dev/loop0"),
                       QStringLiteral("1; rm -rf /")};
    QTest::newRow("label over 16 bytes")
        << QStringList{QStringLiteral("format"), QStringLiteral("/dev/loop0"), QStringLiteral("1"),
                       QStringLiteral("seventeen bytes!!")};
}

void TestHelperSafety::refusesBadRequests()
{
    VELLUMAR_REQUIRE_ROOT();
    QFETCH(QStringList, arguments);
    const QStringList before = RealDisks::ourLoopDevices();
    const Run run = helper(arguments);
    QVERIFY2(run.exitCode == 2,
             qPrintable(QStringLiteral("exit %1: %2").arg(run.exitCode).arg(run.err)));
    QVERIFY(!run.err.trimmed().isEmpty());
    QVERIFY(run.out.isEmpty());
    QCOMPARE(strayDevices(before), QStringList());
    QVERIFY(SystemDisks::isOurMemoryDevice(m_ours));
}

QTEST_GUILESS_MAIN(TestHelperSafety)
#include "TestHelperSafety.moc"
