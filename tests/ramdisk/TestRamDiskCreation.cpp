#include "FakeToolTables.h"
#include "MediaLocation.h"
#include "MountLocation.h"
#include "MountPathPolicy.h"
#include "NotificationCenter.h"
#include "SystemLog.h"
#include "UserDefaults.h"
#include "Workspace.h"

#include <QDir>
#include <QtTest>
#include <unistd.h>

class TestRamDiskCreation : public QObject
{
    Q_OBJECT

private slots:
    void runnerReturnsOutputUntrimmedOrError()
    {
        EngineFixture fx;
        RamDisk disk(8, QStringLiteral("x"));
        const QString tool = fx.tools.write(QStringLiteral("t"), says(QStringLiteral("  out\n\n")));
        QCOMPARE(disk.launchCommand(tool, {}), QStringLiteral("  out\n\n"));

        // Nothing at the path: ERROR and exactly one log line naming the path.
        SystemLog::Capture capture;
        const QString missing = fx.tools.missing(QStringLiteral("nothing"));
        QCOMPARE(disk.launchCommand(missing, {}), ERROR);
        QCOMPARE(capture.lines().size(), 1);
        QVERIFY(capture.lines().first().startsWith(
            QStringLiteral("Error: Error Executing Command:") + missing + QStringLiteral(" err:")));

        // A tool that prints nothing and fails: ran, empty output, failure with its own words.
        const QString failing = fx.tools.write(
            QStringLiteral("f"), says(QString(), 3, QStringLiteral("it went wrong\n")));
        const CommandResult result = disk.runCommand(failing, {});
        QVERIFY(result.started);
        QCOMPARE(result.output, QString());
        QCOMPARE(result.exitStatus, 3);
        QVERIFY(!result.succeeded());
        QCOMPARE(result.failureMessage(QStringLiteral("f")), QStringLiteral("it went wrong"));
        const QString silent = fx.tools.write(QStringLiteral("s"), says(QString(), 4));
        QVERIFY(disk.runCommand(silent, {}).failureMessage(QStringLiteral("s")).contains(u'4'));
    }

    void hangingToolIsKilledAfterTheLimit()
    {
        EngineFixture fx;
        RamDisk::setCommandTimeLimitMs(400);
        fx.allocate = fx.tools.write(QStringLiteral("attach"),
                                     says(QStringLiteral("/dev/loop1"), 0, QString(), 60));
        fx.install();
        PhaseRecorder delegate;
        RamDisk disk(8, QStringLiteral("x"));
        disk.setDelegate(&delegate);
        disk.setMountPath(fx.mountPath());
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!disk.allocateRAM());
        RamDisk::setCommandTimeLimitMs(120000);
        QVERIFY(timer.elapsed() < 10000);
        QCOMPARE(delegate.reports.size(), 1);
        QVERIFY(!delegate.reports.first().successful);
        QVERIFY(disk.device().isNull());
    }

    void allocatePhaseCases()
    {
        EngineFixture fx;
        const int before = anyDiskActive.load();

        // Device path trimmed at both ends only.
        fx.allocate =
            fx.tools.write(QStringLiteral("attach"), says(QStringLiteral(" \t/dev/my disk\n\n")));
        fx.install();
        {
            PhaseRecorder delegate;
            RamDisk disk(2048, QStringLiteral("x"));
            disk.setDelegate(&delegate);
            disk.setMountPath(fx.mountPath());
            QVERIFY(disk.allocateRAM());
            QCOMPARE(disk.device(), QStringLiteral("/dev/my disk"));
            QCOMPARE(delegate.reports.size(), 1);
            QCOMPARE(delegate.reports[0].phase, 0);
            QVERIFY(delegate.reports[0].successful);
            QCOMPARE(delegate.reports[0].result, QStringLiteral("/dev/my disk"));
            QVERIFY(disk.isMountedAndActive());
            QCOMPARE(anyDiskActive.load(), before + 1);
            QCOMPARE(fx.tools.calls().last(), QStringLiteral("attach|attach|ram://2048"));
            disk.removeMountPath();
        }
        QCOMPARE(anyDiskActive.load(), before);

        // Each way to fail: no tool, exactly "QVX Error", a failure status, no device printed.
        struct Case
        {
            QString tool;
            QString expected; // empty: any text but not ERROR
        };
        const QList<Case> cases{
            {fx.tools.missing(QStringLiteral("attach")), ERROR},
            {fx.tools.write(QStringLiteral("a1"), says(QStringLiteral("QVX Error"))), ERROR},
            {fx.tools.write(QStringLiteral("a2"), says(QString(), 1, QStringLiteral("no memory"))),
             QStringLiteral("no memory")},
            {fx.tools.write(QStringLiteral("a3"), says(QStringLiteral(" \n"))), QString()},
        };
        for (const Case &c : cases) {
            fx.allocate = c.tool;
            fx.install();
            PhaseRecorder delegate;
            RamDisk disk(2048, QStringLiteral("x"));
            disk.setDelegate(&delegate);
            disk.setMountPath(fx.mountPath());
            QVERIFY(!disk.allocateRAM());
            QCOMPARE(delegate.reports.size(), 1);
            QVERIFY(!delegate.reports[0].successful);
            if (!c.expected.isEmpty())
                QCOMPARE(delegate.reports[0].result, c.expected);
            QVERIFY(!delegate.reports[0].result.isEmpty());
            QVERIFY(disk.device().isEmpty());
            // Still owed a teardown, and that teardown settles the count.
            QVERIFY(disk.isMountedAndActive());
            QCOMPARE(anyDiskActive.load(), before + 1);
            const TeardownOutcome outcome = disk.tearDown();
            QVERIFY(outcome.finished);
            QCOMPARE(anyDiskActive.load(), before);
        }
    }

    void laterStepsWithoutDeviceRunNoTool()
    {
        EngineFixture fx;
        fx.allocate = fx.tools.missing(QStringLiteral("attach"));
        fx.install();
        PhaseRecorder delegate;
        RamDisk disk(2048, QStringLiteral("x"));
        disk.setDelegate(&delegate);
        disk.setMountPath(fx.mountPath());
        QVERIFY(!disk.allocateRAM());
        QVERIFY(!disk.createFilesystem());
        QVERIFY(!disk.mount());
        QVERIFY(disk.showInFinder());
        QCOMPARE(delegate.reports.size(), 4);
        for (int phase = 0; phase < 4; ++phase)
            QCOMPARE(delegate.reports[phase].phase, phase);
        QVERIFY(!delegate.reports[1].successful && !delegate.reports[2].successful);
        // No file manager is asked while tests run: the step says so, and is no success.
        QVERIFY(delegate.reports[3].notDone && !delegate.reports[3].successful);
        QVERIFY(!delegate.reports[3].result.isEmpty());
        QVERIFY(fx.tools.calls().isEmpty());
        QVERIFY(!QFileInfo::exists(fx.mountPath()));
        disk.tearDown();
    }

    void buildPhaseCases()
    {
        EngineFixture fx;
        fx.format = fx.tools.write(QStringLiteral("mkfs"), says(QStringLiteral("made it\n")));
        fx.install();
        PhaseRecorder delegate;
        RamDisk disk(2048, QStringLiteral("Photos"));
        disk.setDelegate(&delegate);
        disk.setMountPath(fx.mountPath());
        QVERIFY(disk.allocateRAM());
        QVERIFY(disk.createFilesystem());
        QCOMPARE(delegate.reports[1].phase, 1);
        QCOMPARE(delegate.reports[1].result, QStringLiteral("made it\n"));
        const QString call = fx.tools.calls().last();
        // The memory tool formats the device it made, named by the device and the disk's id.
        QCOMPARE(call, QStringLiteral("mkfs|format|/dev/loop7||Photos"));

        // Failure status and a tool that cannot run.
        fx.format = fx.tools.write(QStringLiteral("mkfs"),
                                   says(QString(), 1, QStringLiteral("bad device")));
        fx.install();
        RamDisk failing(2048, QStringLiteral("x"));
        failing.setDelegate(&delegate);
        failing.setDevice(QStringLiteral("/dev/loop7"));
        QVERIFY(!failing.createFilesystem());
        QCOMPARE(delegate.reports.last().result, QStringLiteral("bad device"));
        fx.format = fx.tools.missing(QStringLiteral("mkfs"));
        fx.install();
        RamDisk unlaunchable(2048, QStringLiteral("x"));
        unlaunchable.setDelegate(&delegate);
        unlaunchable.setDevice(QStringLiteral("/dev/loop7"));
        QVERIFY(!unlaunchable.createFilesystem());
        QCOMPARE(delegate.reports.last().result, ERROR);
        disk.tearDown();
    }

    void longNamesAreCutAndTheBuildPhaseSaysSo()
    {
        EngineFixture fx;
        PhaseRecorder delegate;
        // 15 bytes, then a two-byte character that would end at byte 17.
        const QString name = QStringLiteral("abcdefghijklmnoäxyz");
        RamDisk disk(2048, name);
        disk.setDelegate(&delegate);
        disk.setDevice(QStringLiteral("/dev/loop7"));
        QVERIFY(disk.createFilesystem());
        QVERIFY(fx.tools.calls().last().endsWith(QStringLiteral("|abcdefghijklmno")));
        QVERIFY(delegate.reports.last().result.contains(QStringLiteral("\"abcdefghijklmno\"")));
        QCOMPARE(disk.diskName(), name);

        RamDisk shortName(2048, QStringLiteral("sixteen bytes ok"));
        shortName.setDelegate(&delegate);
        shortName.setDevice(QStringLiteral("/dev/loop7"));
        QVERIFY(shortName.createFilesystem());
        QCOMPARE(delegate.reports.last().result, QString());
    }

    void mountPhaseCases()
    {
        EngineFixture fx;
        int posted = 0;
        QString postedPath;
        const int token = NotificationCenter::shared().addObserver(
            Workspace::didMountNotification, [&](const QString &, const QVariantMap &info) {
                ++posted;
                postedPath = info.value(Workspace::devicePathKey).toString();
            });
        // The observer refers to locals: it must go whatever happens below.
        const auto removeObserver =
            qScopeGuard([token] { NotificationCenter::shared().removeObserver(token); });
        PhaseRecorder delegate;

        // A new folder is made, used, and reported as the result.
        RamDisk disk(2048, QStringLiteral("x"));
        disk.setDelegate(&delegate);
        disk.setMountPath(fx.mountPath());
        disk.setDevice(QStringLiteral("/dev/loop7"));
        QVERIFY(disk.mount());
        QCOMPARE(delegate.reports.last().phase, 2);
        QVERIFY(delegate.reports.last().successful);
        QCOMPARE(delegate.reports.last().result, fx.mountPath());
        QVERIFY(QFileInfo(fx.mountPath()).isDir());
        QVERIFY(disk.madeMountFolder());
        QCOMPARE(fx.tools.calls().last(),
                 QStringLiteral("mount|mount|/dev/loop7||") + fx.mountPath());
        QCOMPARE(posted, 1);
        QCOMPARE(postedPath, fx.mountPath());

        // An existing empty folder is used as it is and stays the user's.
        const QString existing = fx.mountPath(QStringLiteral("mine"));
        QVERIFY(QDir().mkdir(existing));
        RamDisk onExisting(2048, QStringLiteral("x"));
        onExisting.setMountPath(existing);
        onExisting.setDevice(QStringLiteral("/dev/loop7"));
        QVERIFY(onExisting.mount());
        QVERIFY(!onExisting.madeMountFolder());

        // The parent is missing: refused before any folder is made or the tool runs.
        const int calls = fx.tools.calls().size();
        RamDisk noParent(2048, QStringLiteral("x"));
        noParent.setDelegate(&delegate);
        noParent.setMountPath(fx.mountPath(QStringLiteral("no/such/folder")));
        noParent.setDevice(QStringLiteral("/dev/loop7"));
        QVERIFY(!noParent.mount());
        QVERIFY(delegate.reports.last().result.contains(QStringLiteral("does not exist")));
        QVERIFY(!QFileInfo::exists(fx.mountPath(QStringLiteral("no"))));
        QCOMPARE(fx.tools.calls().size(), calls);

        // The mount tool fails: the folder it made goes again, nothing half-made stays.
        fx.mount = fx.tools.write(QStringLiteral("mount"),
                                  says(QString(), 32, QStringLiteral("wrong fs type")));
        fx.install();
        RamDisk failing(2048, QStringLiteral("x"));
        failing.setDelegate(&delegate);
        failing.setMountPath(fx.mountPath(QStringLiteral("failing")));
        failing.setDevice(QStringLiteral("/dev/loop7"));
        QVERIFY(!failing.mount());
        QCOMPARE(delegate.reports.last().result, QStringLiteral("wrong fs type"));
        QVERIFY(!QFileInfo::exists(fx.mountPath(QStringLiteral("failing"))));
        QVERIFY(!failing.madeMountFolder());
        QCOMPARE(posted, 2); // the two successful mounts only

        fx.mount = fx.tools.missing(QStringLiteral("mount"));
        fx.install();
        RamDisk unlaunchable(2048, QStringLiteral("x"));
        unlaunchable.setDelegate(&delegate);
        unlaunchable.setMountPath(fx.mountPath(QStringLiteral("other")));
        unlaunchable.setDevice(QStringLiteral("/dev/loop7"));
        QVERIFY(!unlaunchable.mount());
        QCOMPARE(delegate.reports.last().result, ERROR);
    }

    void refusedMountPathsMakeNothing()
    {
        EngineFixture fx;
        const QString full = fx.mountPath(QStringLiteral("full"));
        QVERIFY(QDir().mkdir(full));
        QFile file(full + QStringLiteral("/keep.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        for (const QString &path : {QStringLiteral("relative/path"), QStringLiteral("/usr/local/x"),
                                    full, full + QStringLiteral("/keep.txt/below")}) {
            PhaseRecorder delegate;
            RamDisk disk(2048, QStringLiteral("x"));
            disk.setDelegate(&delegate);
            disk.setMountPath(path);
            disk.setDevice(QStringLiteral("/dev/loop7"));
            QVERIFY2(!disk.mount(), qPrintable(path));
            QVERIFY(!delegate.reports.last().successful);
            QVERIFY(!delegate.reports.last().result.isEmpty());
        }
        QVERIFY(fx.tools.calls().isEmpty());
        QCOMPARE(QDir(full).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{QStringLiteral("keep.txt")});
    }

    void generatedMountPaths()
    {
        EngineFixture fx;
        UserDefaults::standard().setObject(QStringLiteral("~/odd%d%1 place/"), MountPath_pref);
        const QString first = RamDisk::mountPathGenerator();
        const QString second = RamDisk::mountPathGenerator();
        const QString prefix = fx.env.home() + QStringLiteral("/odd%d%1 place//ramdisk") +
                               QString::number(getpid()) + QLatin1Char('.');
        QVERIFY2(first.startsWith(prefix), qPrintable(first));
        const int n = first.mid(prefix.size()).toInt();
        QCOMPARE(second, prefix + QString::number(n + 1));

        // A disk given a path never asks for one; a disk without one gets the next number.
        RamDisk given(2048, QStringLiteral("x"));
        given.setMountPath(fx.mountPath());
        given.allocateRAM();
        RamDisk generated(2048, QStringLiteral("x"));
        generated.allocateRAM();
        QCOMPARE(generated.mountPath().section(QLatin1Char('.'), -1).toInt(), n + 2);
        given.tearDown();
        generated.tearDown();
    }

    // The default place is the user's media folder, whatever is stored for the old default;
    // nothing is made in the home.
    void theDefaultPlaceIsTheMediaFolder()
    {
        EngineFixture fx;
        SystemLog::Capture capture;
        UserDefaults::standard().removeObjectForKey(MountPath_pref);
        const QString place = RamDisk::mountPathGenerator();
        QCOMPARE(place, MediaLocation::folder() + QLatin1Char('/'));
        UserDefaults::standard().setObject(LibraryMountPathLocation, MountPath_pref);
        QCOMPARE(RamDisk::mountPathGenerator(), place);
        RamDisk made(8, QStringLiteral("x"));
        QVERIFY(QDir(fx.env.home())
                    .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                    .filter(QStringLiteral("Library"))
                    .isEmpty());
        QVERIFY(capture.lines().isEmpty());
        QVERIFY(mountPathProblem(place).isEmpty());
        // A folder inside it is the helper's; deeper down, or another user's, it is not.
        QVERIFY(MediaLocation::holds(MediaLocation::folder() + QStringLiteral("/Scratch")));
        QVERIFY(!MediaLocation::holds(MediaLocation::folder() + QStringLiteral("/a/b")));
        QVERIFY(!MediaLocation::holds(QStringLiteral("/media/") + QStringLiteral("x") +
                                      MediaLocation::folder().section(QLatin1Char('/'), -1) +
                                      QStringLiteral("/Scratch")));
    }

    // The helper is asked for a folder by the disk's name and the disk takes the one it prints:
    // a block disk's from its mount, a memory disk's from the third line of its allocation.
    void theDefaultPlaceIsAskedForByName()
    {
        EngineFixture fx;
        const QString place = MediaLocation::folder() + QLatin1Char('/');
        fx.mount = fx.tools.write(QStringLiteral("mount"),
                                  says(MediaLocation::folder() + QStringLiteral("/Scratch 2\n")));
        fx.install();
        RamDisk block(2048, QStringLiteral("Scratch"));
        block.setMountPath(place);
        QVERIFY(block.allocateRAM() && block.createFilesystem() && block.mount());
        QCOMPARE(fx.tools.calls().last(), QStringLiteral("mount|mount|/dev/loop7||@media/Scratch"));
        QCOMPARE(block.mountPath(), MediaLocation::folder() + QStringLiteral("/Scratch 2"));
        QVERIFY(!block.madeMountFolder());
        QVERIFY(block.tearDown().finished);

        fx.allocate = fx.tools.write(QStringLiteral("attach"),
                                     says(QStringLiteral("vellumar-mem1\n42\n") +
                                          MediaLocation::folder() + QStringLiteral("/a_b\n")));
        fx.memoryDisksMount = true;
        fx.install();
        RamDisk memory(2048, QStringLiteral("a/b"));
        memory.setKind(DiskKind::Memory);
        memory.setMountPath(place);
        QVERIFY(memory.allocateRAM());
        QCOMPARE(fx.tools.calls().last(),
                 QStringLiteral("attach|attach|ram://2048|memory|a/b|@media/a/b"));
        QCOMPARE(memory.mountPath(), MediaLocation::folder() + QStringLiteral("/a_b"));
        QVERIFY(memory.tearDown().finished);

        // A folder inside the media folder (a disk made again at login) asks for its own name.
        RamDisk again(2048, QStringLiteral("Other"));
        again.setKind(DiskKind::Memory);
        again.setMountPath(MediaLocation::folder() + QStringLiteral("/Kept/"));
        QVERIFY(again.allocateRAM());
        QVERIFY(fx.tools.calls().last().endsWith(QStringLiteral("|Other|@media/Kept")));
        QVERIFY(again.tearDown().finished);
    }

    void fullSequenceWithoutDelegate()
    {
        EngineFixture fx;
        const int before = anyDiskActive.load();
        RamDisk disk(2048, QStringLiteral("x"));
        disk.setMountPath(fx.mountPath());
        QVERIFY(disk.allocateRAM() && disk.createFilesystem() && disk.mount() &&
                disk.showInFinder());
        QCOMPARE(anyDiskActive.load(), before + 1);
        QCOMPARE(fx.tools.calls().size(), 3);
        QVERIFY(disk.tearDown().finished);
        QCOMPARE(anyDiskActive.load(), before);
    }
};

QTEST_GUILESS_MAIN(TestRamDiskCreation)
#include "TestRamDiskCreation.moc"
