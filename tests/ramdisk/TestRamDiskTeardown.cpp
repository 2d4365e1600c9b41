#include "FakeToolTables.h"
#include "SystemLog.h"

#include <QDir>
#include <QtTest>
#include <thread>

class TestRamDiskTeardown : public QObject
{
    Q_OBJECT

    // A disk taken through the whole creation on the fixture's tools.
    static std::unique_ptr<RamDisk> made(EngineFixture &, const QString &path)
    {
        auto disk = std::make_unique<RamDisk>(2048, QStringLiteral("x"));
        disk->setMountPath(path);
        disk->allocateRAM();
        disk->createFilesystem();
        disk->mount();
        return disk;
    }

private slots:
    void stepsAndTheirResults()
    {
        EngineFixture fx;
        fx.remove.clear(); // the real in-process removal
        fx.install();
        const int before = anyDiskActive.load();
        auto disk = made(fx, fx.mountPath());
        QVERIFY(disk->umount());
        QCOMPARE(fx.tools.calls().last(), QStringLiteral("umount|unmount|/dev/loop7|"));
        // The tool's answer, line end and all.
        QCOMPARE(disk->detach(), QStringLiteral("\"/dev/loop7\" ejected.\n"));
        QCOMPARE(fx.tools.calls().last(), QStringLiteral("detach|detach|/dev/loop7|"));
        QVERIFY(disk->removeMountPath());
        QVERIFY(!QFileInfo::exists(fx.mountPath()));
        QVERIFY(!disk->isMountedAndActive());
        QCOMPARE(anyDiskActive.load(), before);
        // However often removal runs, the disk is uncounted once.
        disk->removeMountPath();
        QCOMPARE(anyDiskActive.load(), before);
        // The disk keeps its fields.
        QCOMPARE(disk->device(), QStringLiteral("/dev/loop7"));
        QCOMPARE(disk->mountPath(), fx.mountPath());
    }

    void toolsThatCannotRunOrFail()
    {
        EngineFixture fx;
        const int before = anyDiskActive.load();
        auto disk = made(fx, fx.mountPath());
        fx.umount = fx.tools.missing(QStringLiteral("umount"));
        fx.detach = fx.tools.missing(QStringLiteral("detach"));
        fx.remove = fx.tools.missing(QStringLiteral("rmdir"));
        fx.install();
        auto broken = made(fx, fx.mountPath(QStringLiteral("two")));
        QVERIFY(!broken->umount());
        QCOMPARE(broken->detach(), QStringLiteral("Error occurred 181"));
        QVERIFY(!broken->removeMountPath());
        QVERIFY(!broken->isMountedAndActive());
        QCOMPARE(anyDiskActive.load(), before + 1);

        // A failing detach answers with the tool's own message.
        fx.detach = fx.tools.write(QStringLiteral("detach"),
                                   says(QString(), 1, QStringLiteral("device is busy\n")));
        fx.install();
        auto busy = made(fx, fx.mountPath(QStringLiteral("three")));
        QCOMPARE(busy->detach(), QStringLiteral("device is busy"));

        // Output from the removal tool is a warning naming the mount path, not the output.
        fx.remove = fx.tools.write(QStringLiteral("rmdir"), says(QStringLiteral("something\n")));
        fx.install();
        auto noisy = made(fx, fx.mountPath(QStringLiteral("four")));
        SystemLog::Capture capture;
        QVERIFY(!noisy->removeMountPath());
        QCOMPARE(capture.lines(), QStringList{QStringLiteral("Warning: removeMountPath: ") +
                                              fx.mountPath(QStringLiteral("four"))});
        // Complaints on standard error alone do not matter.
        fx.remove =
            fx.tools.write(QStringLiteral("rmdir"), says(QString(), 0, QStringLiteral("hm")));
        fx.install();
        auto quiet = made(fx, fx.mountPath(QStringLiteral("five")));
        QVERIFY(quiet->removeMountPath());
        disk->removeMountPath();
        busy->removeMountPath();
        QCOMPARE(anyDiskActive.load(), before);
    }

    void userFoldersAreNeverRemoved()
    {
        EngineFixture fx;
        fx.remove.clear();
        fx.install();
        const QString mine = fx.mountPath(QStringLiteral("mine"));
        QVERIFY(QDir().mkdir(mine));
        auto disk = made(fx, mine);
        QVERIFY(!disk->madeMountFolder());
        const TeardownOutcome outcome = disk->tearDown();
        QVERIFY(outcome.finished && outcome.removed);
        QVERIFY(QFileInfo(mine).isDir());
        // Only folder steps ran: no removal tool for a folder the user gave.
        QVERIFY(!fx.tools.calls().join(u'\n').contains(QStringLiteral("rmdir")));
    }

    void failedMountIsNeverUnmounted()
    {
        EngineFixture fx;
        fx.mount = fx.tools.write(QStringLiteral("mount"), says(QString(), 32));
        fx.install();
        auto disk = made(fx, fx.mountPath());
        // Whatever is mounted on the path now belongs to someone else.
        fx.volumeMounted = true;
        const TeardownOutcome outcome = disk->tearDown();
        QVERIFY(outcome.finished);
        QVERIFY(fx.tools.calls().filter(QStringLiteral("umount|")).isEmpty());
    }

    void teardownStopsWhileStillInUse()
    {
        EngineFixture fx;
        fx.remove.clear();
        fx.install();
        const int before = anyDiskActive.load();
        auto disk = made(fx, fx.mountPath());

        // umount could not unmount (a file is open): nothing detached, nothing removed.
        fx.volumeMounted = true;
        TeardownOutcome outcome = disk->tearDown();
        QVERIFY(!outcome.finished);
        QVERIFY(outcome.userText.contains(fx.mountPath()));
        QVERIFY(outcome.userText.contains(QStringLiteral("eject again")));
        QVERIFY(!fx.tools.calls().last().startsWith(QStringLiteral("detach")));
        QVERIFY(disk->isMountedAndActive());
        QCOMPARE(anyDiskActive.load(), before + 1);
        QVERIFY(QFileInfo(fx.mountPath()).isDir());

        // Unmounted, but the helper cannot let the device go: still owed.
        fx.volumeMounted = false;
        fx.deviceAttached = true;
        fx.tools.write(QStringLiteral("detach"),
                       says(QString(), 1, QStringLiteral("device is busy")));
        outcome = disk->tearDown();
        QVERIFY(!outcome.finished);
        QVERIFY(outcome.userText.contains(QStringLiteral("/dev/loop7")));
        QVERIFY(outcome.userText.contains(QStringLiteral("device is busy")));
        QCOMPARE(anyDiskActive.load(), before + 1);

        // Once free, the next eject finishes the job.
        fx.deviceAttached = false;
        fx.tools.write(QStringLiteral("detach"), says(QStringLiteral("\"/dev/loop7\" ejected.\n")));
        outcome = disk->tearDown();
        QVERIFY(outcome.finished);
        QCOMPARE(outcome.userText, QStringLiteral("\"/dev/loop7\" ejected.\n"));
        QVERIFY(!QFileInfo::exists(fx.mountPath()));
        QCOMPARE(anyDiskActive.load(), before);
    }

    void oneTeardownAtATime()
    {
        EngineFixture fx;
        const int before = anyDiskActive.load();
        auto disk = made(fx, fx.mountPath());
        fx.umount = fx.tools.write(QStringLiteral("umount"), says(QString(), 0, QString(), 1));
        fx.install();
        auto slow = made(fx, fx.mountPath(QStringLiteral("slow")));
        QVERIFY(disk->beginTeardown());
        QVERIFY(!disk->beginTeardown());
        disk->endTeardown();
        QVERIFY(disk->beginTeardown());
        disk->endTeardown();

        TeardownOutcome first;
        std::thread worker([&] { first = slow->tearDown(); });
        QTRY_VERIFY(fx.tools.calls().last().startsWith(QStringLiteral("umount")));
        const TeardownOutcome second = slow->tearDown();
        worker.join();
        QVERIFY(first.finished);
        QVERIFY(!second.finished);
        const QStringList calls = fx.tools.calls();
        QCOMPARE(calls.filter(QStringLiteral("detach|")).size(), 1);
        disk->tearDown();
        QCOMPARE(anyDiskActive.load(), before);
    }

    void manyDisksCountedAcrossThreads()
    {
        EngineFixture fx;
        const int before = anyDiskActive.load();
        std::vector<std::unique_ptr<RamDisk>> disks;
        for (int i = 0; i < 6; ++i)
            disks.push_back(made(fx, fx.mountPath(QStringLiteral("d%1").arg(i))));
        QCOMPARE(anyDiskActive.load(), before + 6);
        std::vector<std::thread> workers;
        for (auto &disk : disks)
            workers.emplace_back([&disk] { disk->tearDown(); });
        for (auto &worker : workers)
            worker.join();
        QCOMPARE(anyDiskActive.load(), before);
    }

    void destroyingADiskRunsNoTool()
    {
        EngineFixture fx;
        const int before = anyDiskActive.load();
        {
            auto disk = made(fx, fx.mountPath());
        }
        QCOMPARE(fx.tools.calls().size(), 3);
        // The abandoned disk stays counted, as it still owes a teardown.
        QCOMPARE(anyDiskActive.load(), before + 1);
        anyDiskActive--;
    }
};

QTEST_GUILESS_MAIN(TestRamDiskTeardown)
#include "TestRamDiskTeardown.moc"
