// Faults injected with fake tools: what the user is told, and what is left on the machine.
#include "FakeTools.h"
#include "RamDisk.h"
#include "ReliabilitySupport.h"
#include "SystemLog.h"
#include "TestEnvironment.h"
#include "ToolTable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <memory>

using namespace Reliability;

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void missingToolFailsEveryStepThatNeedsIt();
    void hangingToolIsKilledAfterItsLimit();
    void failingToolReportsItsOwnMessage();
    void mountFolderThatCannotBeMade();
    void teardownStopsWhileStillMountedOrAttached();
    void releasedDeviceNameTakenByANewDisk();

private:
    struct Tools
    {
        QString allocate, mkfs, mount, umount, detach;
    };
    // Fake tools that all work; a test replaces the one it breaks.
    Tools workingTools();
    void install(const Tools &tools);
    QString mountPath(const QString &name) const { return m_env->path(name); }

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<FakeTools> m_fake;
    // What the installed table's probes answer; disks keep their table, so tests flip these.
    std::atomic<bool> m_mounted{false};
    std::atomic<bool> m_attached{false};
};

void TestFaults::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_fake = std::make_unique<FakeTools>();
    m_mounted = false;
    m_attached = false;
    RamDisk::setCommandTimeLimitMs(120000);
    QCOMPARE(anyDiskActive.load(), 0);
}

void TestFaults::cleanup()
{
    RamDisk::setToolTable(nullptr);
    RamDisk::setCommandTimeLimitMs(120000);
    anyDiskActive = 0; // a failed test must not spoil the next one's count
    m_fake.reset();
    m_env.reset();
}

TestFaults::Tools TestFaults::workingTools()
{
    return {m_fake->write(QStringLiteral("attach"), {QStringLiteral("/dev/loop77\n"), 0, {}, 0}),
            m_fake->write(QStringLiteral("mkfs"), {}), m_fake->write(QStringLiteral("mount"), {}),
            m_fake->write(QStringLiteral("umount"), {}),
            m_fake->write(QStringLiteral("detach"),
                          {QStringLiteral("\"/dev/loop77\" ejected.\n"), 0, {}, 0})};
}

void TestFaults::install(const Tools &t)
{
    auto table = std::make_shared<ToolTable>(
        ToolTable::linuxTableWith(t.allocate, t.mkfs, t.mount, t.umount, t.detach, QString()));
    table->isMounted = [this](const QString &) { return m_mounted.load(); };
    table->isAttached = [this](const QString &) { return m_attached.load(); };
    RamDisk::setToolTable(table);
}

void TestFaults::missingToolFailsEveryStepThatNeedsIt()
{
    // The memory tool is missing: nothing after it may run with the device left out.
    Tools tools = workingTools();
    tools.allocate = m_fake->missing(QStringLiteral("attach"));
    install(tools);
    SystemLog::Capture log;
    RecordingDelegate delegate;
    RamDisk disk(2048, QStringLiteral("Missing"));
    disk.setDelegate(&delegate);
    disk.setMountPath(mountPath(QStringLiteral("m1")));
    QVERIFY(!createDisk(disk));

    QCOMPARE(delegate.report(0).successful, false);
    QCOMPARE(delegate.report(0).result, ERROR);
    QVERIFY(log.lines()
                .join(QLatin1Char('\n'))
                .contains(QStringLiteral("Error: Error Executing Command:") + tools.allocate));
    QVERIFY(!delegate.report(1).successful && !delegate.report(1).result.isEmpty());
    QVERIFY(!delegate.report(2).successful && !delegate.report(2).result.isEmpty());
    QVERIFY(m_fake->calls().isEmpty());
    QVERIFY2(!QFileInfo::exists(disk.mountPath()), "no mount folder for a disk that has no device");
    QCOMPARE(anyDiskActive.load(), 1);

    const TeardownOutcome outcome = disk.tearDown();
    QVERIFY(outcome.finished);
    QCOMPARE(anyDiskActive.load(), 0);
    QVERIFY(!disk.isMountedAndActive());

    // A missing file-system tool: the phase says so and the mount does not run on a raw device.
    tools = workingTools();
    tools.mkfs = m_fake->missing(QStringLiteral("mkfs"));
    install(tools);
    RecordingDelegate second;
    RamDisk other(2048, QStringLiteral("Missing2"));
    other.setDelegate(&second);
    other.setMountPath(mountPath(QStringLiteral("m2")));
    createDisk(other);
    QVERIFY(second.report(0).successful);
    QCOMPARE(second.report(1).successful, false);
    QCOMPARE(second.report(1).result, ERROR);
    QVERIFY(other.tearDown().finished);
    QCOMPARE(anyDiskActive.load(), 0);
}

void TestFaults::hangingToolIsKilledAfterItsLimit()
{
    Tools tools = workingTools();
    tools.mkfs = m_fake->write(QStringLiteral("mkfs"), {QString(), 0, QString(), 61});
    install(tools);
    RamDisk::setCommandTimeLimitMs(700);
    RecordingDelegate delegate;
    RamDisk disk(2048, QStringLiteral("Hang"));
    disk.setDelegate(&delegate);
    disk.setMountPath(mountPath(QStringLiteral("hang")));
    QVERIFY(disk.allocateRAM());

    QElapsedTimer timer;
    timer.start();
    QVERIFY(!disk.createFilesystem());
    const qint64 elapsed = timer.elapsed();
    QVERIFY2(elapsed >= 600 && elapsed < 700 + 1500,
             qPrintable(QStringLiteral("the step took %1 ms").arg(elapsed)));
    const PhaseReport build = delegate.report(1);
    QVERIFY(!build.successful);
    QVERIFY2(build.result.contains(QStringLiteral("mkfs")), qPrintable(build.result));
    QVERIFY(build.result != ERROR);

    // The tool and the sleep it started are gone: nothing of it runs on in the background.
    QTest::qWait(100);
    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &pid : processes) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = cmdline.readAll();
        // The fake tool's own sleep: an unusual length, so it is not someone else's.
        QVERIFY2(!line.contains(m_fake->dir().toUtf8()) && line != QByteArray("sleep\0"
                                                                              "61",
                                                                              9),
                 qPrintable(QStringLiteral("process %1 lives on").arg(pid)));
    }
    QVERIFY(disk.tearDown().finished);
    QCOMPARE(anyDiskActive.load(), 0);
}

void TestFaults::failingToolReportsItsOwnMessage()
{
    Tools tools = workingTools();
    const QString message = QStringLiteral("mount: /x: wrong fs type, bad option, bad superblock");
    tools.mount = m_fake->write(QStringLiteral("mount"), {QString(), 32, message, 0});
    install(tools);
    RecordingDelegate delegate;
    RamDisk disk(2048, QStringLiteral("Fails"));
    disk.setDelegate(&delegate);
    disk.setMountPath(mountPath(QStringLiteral("fails")));
    QVERIFY(!createDisk(disk));

    QVERIFY(delegate.report(0).successful && delegate.report(1).successful);
    QCOMPARE(delegate.report(2).successful, false);
    QCOMPARE(delegate.report(2).result, message);
    // The folder made for the mount goes again with the failed mount.
    QVERIFY(!QFileInfo::exists(disk.mountPath()));

    // The memory device made before is still given back by the eject.
    const TeardownOutcome outcome = disk.tearDown();
    QVERIFY(outcome.finished);
    QVERIFY(m_fake->calls().contains(QStringLiteral("detach|detach|/dev/loop77|")));
    QCOMPARE(anyDiskActive.load(), 0);

    // A failing memory tool: its message, and no device taken from its output.
    tools = workingTools();
    tools.allocate = m_fake->write(QStringLiteral("attach"),
                                   {QStringLiteral("/dev/loop5\n"), 1,
                                    QStringLiteral("vellumar-ramdev: not enough memory"), 0});
    install(tools);
    RecordingDelegate second;
    RamDisk other(2048, QStringLiteral("Fails2"));
    other.setDelegate(&second);
    other.setMountPath(mountPath(QStringLiteral("fails2")));
    createDisk(other);
    // The helper's words, without its name in front.
    QCOMPARE(second.report(0).result, QStringLiteral("not enough memory"));
    QVERIFY(other.device().isEmpty());
    QVERIFY(!second.report(2).successful);
    QVERIFY(!QFileInfo::exists(other.mountPath()));
    QVERIFY(other.tearDown().finished);
    QCOMPARE(anyDiskActive.load(), 0);
}

void TestFaults::mountFolderThatCannotBeMade()
{
    install(workingTools());
    SystemLog::Capture log;
    RecordingDelegate delegate;
    RamDisk disk(2048, QStringLiteral("NoFolder"));
    disk.setDelegate(&delegate);
    // The parent does not exist: the folder is made one level only, so the mount is refused
    // before any folder is made.
    disk.setMountPath(mountPath(QStringLiteral("missing/parent/disk")));
    QVERIFY(!createDisk(disk));

    QCOMPARE(delegate.report(2).successful, false);
    QVERIFY2(delegate.report(2).result.contains(QStringLiteral("does not exist")),
             qPrintable(delegate.report(2).result));
    for (const QString &call : m_fake->calls())
        QVERIFY2(!call.startsWith(QStringLiteral("mount|")), qPrintable(call));
    QVERIFY(!QFileInfo::exists(mountPath(QStringLiteral("missing"))));

    const TeardownOutcome outcome = disk.tearDown();
    QVERIFY(outcome.finished);
    QVERIFY(m_fake->calls().contains(QStringLiteral("detach|detach|/dev/loop77|")));
    QCOMPARE(anyDiskActive.load(), 0);
}

void TestFaults::teardownStopsWhileStillMountedOrAttached()
{
    Tools tools = workingTools();
    tools.umount = m_fake->write(QStringLiteral("umount"),
                                 {QString(), 32, QStringLiteral("umount: target is busy."), 0});
    install(tools);
    RamDisk disk(2048, QStringLiteral("Busy"));
    disk.setMountPath(mountPath(QStringLiteral("busy")));
    QVERIFY(createDisk(disk));
    QVERIFY(QFileInfo(disk.mountPath()).isDir());
    // Stands for what the user keeps on the volume.
    QFile precious(disk.mountPath() + QStringLiteral("/precious.txt"));
    QVERIFY(precious.open(QIODevice::WriteOnly));
    precious.write("keep me");
    precious.close();

    m_mounted = true;
    TeardownOutcome outcome = disk.tearDown();
    QVERIFY(!outcome.finished && !outcome.unmounted && !outcome.removed);
    QVERIFY2(outcome.userText.contains(disk.mountPath()), qPrintable(outcome.userText));
    for (const QString &call : m_fake->calls())
        QVERIFY2(!call.startsWith(QStringLiteral("detach|")), "no detach while still mounted");
    QVERIFY(disk.isMountedAndActive());
    QCOMPARE(anyDiskActive.load(), 1);
    QVERIFY(precious.exists());

    // Unmounted now, but the device does not let go: still nothing removed, still owed.
    m_mounted = false;
    m_attached = true;
    m_fake->write(QStringLiteral("umount"), {});
    m_fake->write(QStringLiteral("detach"), {QString(), 1, QStringLiteral("device is busy"), 0});
    outcome = disk.tearDown();
    QVERIFY(!outcome.finished && outcome.unmounted && !outcome.removed);
    QVERIFY2(outcome.userText.contains(QStringLiteral("device is busy")),
             qPrintable(outcome.userText));
    QVERIFY(disk.isMountedAndActive());
    QCOMPARE(anyDiskActive.load(), 1);
    QVERIFY(precious.exists());

    // Once nothing holds it, the eject finishes; the folder still holds a file, so it stays
    // with the file in it: a removal is never recursive.
    m_attached = false;
    m_fake->write(QStringLiteral("detach"),
                  {QStringLiteral("\"/dev/loop77\" ejected.\n"), 0, {}, 0});
    outcome = disk.tearDown();
    QVERIFY2(outcome.finished, qPrintable(outcome.userText));
    QVERIFY(!outcome.removed);
    QVERIFY(precious.exists());
    QVERIFY(!disk.isMountedAndActive());
    QCOMPARE(anyDiskActive.load(), 0);
}

void TestFaults::releasedDeviceNameTakenByANewDisk()
{
    // The helper released the device, and a disk made meanwhile got the same name at once:
    // the eject is done, not "still in use".
    install(workingTools());
    RamDisk disk(2048, QStringLiteral("Reused"));
    disk.setMountPath(mountPath(QStringLiteral("reused")));
    QVERIFY(createDisk(disk));
    m_attached = true;
    const TeardownOutcome outcome = disk.tearDown();
    QVERIFY2(outcome.finished, qPrintable(outcome.userText));
    QCOMPARE(outcome.userText, QStringLiteral("\"/dev/loop77\" ejected.\n"));
    QVERIFY(!disk.isMountedAndActive());
    QCOMPARE(anyDiskActive.load(), 0);
}

QTEST_GUILESS_MAIN(TestFaults)
#include "TestFaults.moc"
