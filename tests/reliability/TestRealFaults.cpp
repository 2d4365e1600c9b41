// Faults on real disks: a memory file the helper will not make, an unmount refused because a
// file on the disk is open, and a process killed between creating a disk and ejecting it.
#include "MountLocation.h"
#include "RamDisk.h"
#include "RealDisks.h"
#include "ReliabilitySupport.h"
#include "SystemDisks.h"
#include "TestEnvironment.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace Reliability;

namespace {

const char childVariable[] = "VELLUMAR_RELIABILITY_CHILD";

// The child process: makes a disk, says where it is, and waits to be killed.
int childMain(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    UserDefaults::standard().setObject(QDir::homePath() + QLatin1Char('/'), MountPath_pref);
    RamDisk disk(8 * 1024 * 2, QStringLiteral("Orphan"));
    RecordingDelegate delegate;
    disk.setDelegate(&delegate);
    if (!createDisk(disk)) {
        for (const PhaseReport &p : delegate.phases())
            std::fprintf(stderr, "phase %d %d %s\n", p.phase, p.successful, qPrintable(p.result));
        return 1;
    }
    std::printf("%s\t%s\n", qPrintable(disk.device()), qPrintable(disk.mountPath()));
    std::fflush(stdout);
    ::pause();
    return 0;
}

} // namespace

class TestRealFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void memoryFileThatCannotBeHad();
    void unmountRefusedWhileAFileIsOpen();
    void diskOfAKilledProcessIsFoundAndEjected();

private:
    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<MachineGuard> m_guard;
};

void TestRealFaults::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_guard = std::make_unique<MachineGuard>(m_env->home());
    // Generated mount paths in the temporary home, where the guard finds whatever is left.
    UserDefaults::standard().setObject(m_env->home() + QLatin1Char('/'), MountPath_pref);
    RamDisk::setToolTable(nullptr);
}

void TestRealFaults::cleanup()
{
    m_guard.reset();
    m_env.reset();
    anyDiskActive = 0;
}

void TestRealFaults::memoryFileThatCannotBeHad()
{
    VELLUMAR_REQUIRE_DISKS();
    const QStringList before = RealDisks::ourLoopDevices();
    RecordingDelegate delegate;
    // No memory file of zero bytes: the helper refuses the request.
    RamDisk disk(0, QStringLiteral("Nothing"));
    disk.setDelegate(&delegate);
    disk.setMountPath(m_env->path(QStringLiteral("nothing")));
    QVERIFY(!createDisk(disk));

    const PhaseReport allocate = delegate.report(0);
    QVERIFY(!allocate.successful);
    QVERIFY2(allocate.result.contains(QStringLiteral("ram://0")), qPrintable(allocate.result));
    QVERIFY(disk.device().isEmpty());
    QVERIFY(!delegate.report(1).successful && !delegate.report(2).successful);
    QVERIFY(!QFileInfo::exists(disk.mountPath()));
    QCOMPARE(strayDevices(before), QStringList());
    QCOMPARE(anyDiskActive.load(), 1);

    const TeardownOutcome outcome = disk.tearDown();
    QVERIFY(outcome.finished);
    QCOMPARE(anyDiskActive.load(), 0);
}

void TestRealFaults::unmountRefusedWhileAFileIsOpen()
{
    VELLUMAR_REQUIRE_DISKS();
    RecordingDelegate delegate;
    RamDisk disk(16 * 1024 * 2, QStringLiteral("Busy"));
    disk.setDelegate(&delegate);
    QVERIFY2(createDisk(disk), qPrintable(delegate.report(2).result));
    m_guard->keep(disk.device());
    const QString path = disk.mountPath();
    const QString fileName = path + QStringLiteral("/open.bin");
    QVERIFY(writePattern(fileName, 1 << 20, 3));

    {
        QFile open(fileName);
        QVERIFY(open.open(QIODevice::ReadOnly));

        const TeardownOutcome outcome = disk.tearDown();
        QVERIFY(!outcome.finished && !outcome.unmounted && !outcome.removed);
        QVERIFY2(outcome.userText.contains(path), qPrintable(outcome.userText));
        QVERIFY(SystemDisks::isMountPoint(path));
        QVERIFY(SystemDisks::isOurMemoryDevice(disk.device()));
        QVERIFY(disk.isMountedAndActive());
        QCOMPARE(anyDiskActive.load(), 1);
        QVERIFY(checkPattern(fileName, 1 << 20, 3));

        // The command line says the same to someone ejecting from elsewhere.
        const Run eject = runProgram(QStringLiteral("vellumarctl"), {QStringLiteral("eject"), path},
                                     m_env->home());
        QCOMPARE(eject.exitCode, 1);
        QVERIFY2(eject.err.contains(QDir::cleanPath(path)), qPrintable(eject.err));
        QVERIFY(SystemDisks::isMountPoint(path));
        QVERIFY(checkPattern(fileName, 1 << 20, 3));
    }

    const TeardownOutcome outcome = disk.tearDown();
    QVERIFY2(outcome.finished, qPrintable(outcome.userText));
    QVERIFY(outcome.unmounted && outcome.removed);
    QVERIFY(!SystemDisks::isMountPoint(path));
    QVERIFY(!QFileInfo::exists(path));
    QCOMPARE(anyDiskActive.load(), 0);
}

void TestRealFaults::diskOfAKilledProcessIsFoundAndEjected()
{
    VELLUMAR_REQUIRE_DISKS();
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(childVariable), QStringLiteral("1"));
    environment.insert(QStringLiteral("HOME"), m_env->home());
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(child.canReadLine() || child.state() == QProcess::NotRunning, 30000);
    const QStringList made = QString::fromUtf8(child.readLine()).trimmed().split(QLatin1Char('\t'));
    QVERIFY2(made.size() == 2, qPrintable(QString::fromUtf8(child.readAllStandardError())));
    const QString device = made.at(0);
    // As the mount table shows it: the generated path may hold a doubled "/".
    const QString path = QDir::cleanPath(made.at(1));
    m_guard->keep(device);
    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QVERIFY(SystemDisks::isMountPoint(path));

    const Run list = runProgram(QStringLiteral("vellumarctl"),
                                {QStringLiteral("list"), QStringLiteral("--json")}, m_env->home());
    QCOMPARE(list.exitCode, 0);
    bool listed = false;
    for (const QJsonValue &entry : QJsonDocument::fromJson(list.out.toUtf8()).array()) {
        const QJsonObject disk = entry.toObject();
        if (disk.value(QStringLiteral("device")).toString() == device) {
            listed = true;
            QCOMPARE(disk.value(QStringLiteral("mountPath")).toString(), path);
            QCOMPARE(disk.value(QStringLiteral("name")).toString(), QStringLiteral("Orphan"));
            QCOMPARE(disk.value(QStringLiteral("sizeKiB")).toInteger(), 8 * 1024);
        }
    }
    QVERIFY2(listed, qPrintable(list.out));
    const Run plain =
        runProgram(QStringLiteral("vellumarctl"), {QStringLiteral("list")}, m_env->home());
    // One table row: the device first, the mount folder last.
    const QStringList rows = plain.out.split(QLatin1Char('\n')).filter(path);
    QVERIFY2(rows.size() == 1 && rows.first().startsWith(device + QLatin1Char(' ')) &&
                 rows.first().endsWith(QLatin1Char(' ') + path),
             qPrintable(plain.out));

    const Run eject =
        runProgram(QStringLiteral("vellumarctl"), {QStringLiteral("eject"), path}, m_env->home());
    QVERIFY2(eject.exitCode == 0, qPrintable(eject.err));
    QVERIFY2(eject.out.contains(device), qPrintable(eject.out));
    QVERIFY(!SystemDisks::isMountPoint(path));
    QVERIFY(!strayDevices({}).contains(device));
    // The folder was made for the disk (its generated name says so), so it goes too.
    QVERIFY(!QFileInfo::exists(path));

    // Nothing of it is left for a second eject.
    const Run again =
        runProgram(QStringLiteral("vellumarctl"), {QStringLiteral("eject"), path}, m_env->home());
    QCOMPARE(again.exitCode, 2);
    QVERIFY(!again.err.trimmed().isEmpty());
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(childVariable))
        return childMain(argc, argv);
    QCoreApplication app(argc, argv);
    TestRealFaults test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "TestRealFaults.moc"
