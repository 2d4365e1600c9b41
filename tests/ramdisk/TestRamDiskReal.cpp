#include "FakeToolTables.h"
#include "MediaLocation.h"
#include "Paths.h"
#include "RealDisks.h"
#include "SystemDisks.h"

#include <QDir>
#include <QRandomGenerator>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

// Real memory devices, ext4 and mounts. Needs root.
class TestRamDiskReal : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;

    QString path(const QString &name) const { return m_env->path(name); }

    static void writeFile(const QString &file, const QByteArray &data)
    {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(out.write(data), data.size());
        out.close();
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        RamDisk::setToolTable(nullptr);
    }

    // Runs after failures too: nothing of ours may stay mounted or attached.
    void cleanup()
    {
        RealDisks::cleanUpUnder(m_env->home());
        m_env.reset();
    }

    void createWriteReadEject()
    {
        VELLUMAR_REQUIRE_DISKS();
        const qint64 shmemBefore = RealDisks::shmemKiB();
        PhaseRecorder delegate;
        RamDisk disk(64 * 1024 * 2, QStringLiteral("Test Disk"));
        disk.setDelegate(&delegate);
        disk.setMountPath(path(QStringLiteral("disk")));
        QVERIFY(disk.allocateRAM());
        QVERIFY(disk.createFilesystem());
        QVERIFY(disk.mount());
        QVERIFY(disk.showInFinder());
        QCOMPARE(delegate.reports.size(), 4);
        for (const auto &report : delegate.reports)
            QVERIFY2(report.ok(), qPrintable(report.result));
        QVERIFY(disk.device().startsWith(QStringLiteral("/dev/loop")));
        QVERIFY(RealDisks::ourLoopDevices().contains(disk.device()));
        QCOMPARE(RealDisks::mountsUnder(m_env->home()), QStringList{path(QStringLiteral("disk"))});

        // The volume's root belongs to the user who asked.
        struct stat info
        {
        };
        QCOMPARE(stat(QFile::encodeName(path(QStringLiteral("disk"))).constData(), &info), 0);
        QCOMPARE(uint(info.st_uid), Paths::invokingUser().uid);

        QByteArray data(10 * 1024 * 1024, Qt::Uninitialized);
        QRandomGenerator(42).fillRange(reinterpret_cast<quint32 *>(data.data()), data.size() / 4);
        writeFile(path(QStringLiteral("disk/file.bin")), data);
        sync();
        QFile in(path(QStringLiteral("disk/file.bin")));
        QVERIFY(in.open(QIODevice::ReadOnly));
        QVERIFY(in.readAll() == data);
        in.close();

        // A second disk cannot be mounted on top of this one.
        RamDisk onTop(2048, QStringLiteral("x"));
        onTop.setMountPath(disk.mountPath());
        QVERIFY(!onTop.mount());
        // ...and its teardown leaves the volume that is there alone.
        QVERIFY(onTop.tearDown().finished);
        QCOMPARE(RealDisks::mountsUnder(m_env->home()), QStringList{path(QStringLiteral("disk"))});

        const TeardownOutcome outcome = disk.tearDown();
        QVERIFY2(outcome.finished, qPrintable(outcome.userText));
        QCOMPARE(outcome.userText, QStringLiteral("\"%1\" ejected.\n").arg(disk.device()));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("disk"))));
        QVERIFY(!RealDisks::ourLoopDevices().contains(disk.device()));
        QVERIFY(RealDisks::mountsUnder(m_env->home()).isEmpty());
        // Shmem is machine-wide: other programs may hold some for a moment, so poll.
        QTRY_VERIFY_WITH_TIMEOUT(RealDisks::shmemKiB() < shmemBefore + 2048, 20000);
    }

    // With the default place, each kind of disk appears in the media folder under its own name
    // and its folder goes at eject, by the helper's hand.
    void theDefaultPlaceIsTheMediaFolder()
    {
        VELLUMAR_REQUIRE_DISKS();
        const QString media = MediaLocation::folder();
        const bool hadMedia = QFileInfo::exists(media);
        const QString name = QStringLiteral("Engine %1").arg(getpid());
        RamDisk memory(8192, name);
        memory.setKind(DiskKind::Memory);
        RamDisk block(8192, name);
        const auto tidy = qScopeGuard([&] {
            memory.tearDown();
            block.tearDown();
            if (!hadMedia)
                QDir().rmdir(media);
        });
        memory.setMountPath(media + QLatin1Char('/'));
        QVERIFY(memory.allocateRAM() && memory.createFilesystem() && memory.mount());
        QCOMPARE(memory.mountPath(), media + QLatin1Char('/') + name);
        block.setMountPath(media + QLatin1Char('/'));
        QVERIFY(block.allocateRAM() && block.createFilesystem() && block.mount());
        QCOMPARE(block.mountPath(), media + QLatin1Char('/') + name + QStringLiteral(" 2"));
        for (RamDisk *disk : {&memory, &block}) {
            const QString path = disk->mountPath();
            QVERIFY(SystemDisks::isMountPoint(path));
            writeFile(path + QStringLiteral("/file"), "data");
            const TeardownOutcome outcome = disk->tearDown();
            QVERIFY2(outcome.finished, qPrintable(outcome.userText));
            QVERIFY(!QFileInfo::exists(path));
        }
        QVERIFY(!QFileInfo::exists(m_env->path(QStringLiteral("Library"))));
    }

    void userFoldersSurviveTheDisk()
    {
        VELLUMAR_REQUIRE_DISKS();
        // A folder holding a file is refused: the disk would hide the file.
        const QString full = path(QStringLiteral("full"));
        QVERIFY(QDir().mkdir(full));
        writeFile(full + QStringLiteral("/keep.txt"), "mine");
        PhaseRecorder delegate;
        RamDisk refused(8192, QStringLiteral("x"));
        refused.setDelegate(&delegate);
        refused.setMountPath(full);
        QVERIFY(refused.allocateRAM());
        QVERIFY(refused.createFilesystem());
        QVERIFY(!refused.mount());
        QVERIFY(delegate.reports.last().result.contains(full));
        QVERIFY(refused.tearDown().finished);
        QVERIFY(!RealDisks::ourLoopDevices().contains(refused.device()));

        // An empty folder of the user's is used and left in place afterwards.
        const QString empty = path(QStringLiteral("empty"));
        QVERIFY(QDir().mkdir(empty));
        RamDisk disk(8192, QStringLiteral("x"));
        disk.setMountPath(empty);
        QVERIFY(disk.allocateRAM() && disk.createFilesystem() && disk.mount());
        writeFile(empty + QStringLiteral("/on-disk.txt"), "gone with the disk");
        QVERIFY(disk.tearDown().finished);

        QFile kept(full + QStringLiteral("/keep.txt"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("mine"));
        QVERIFY(QFileInfo(empty).isDir());
        QVERIFY(QDir(empty).isEmpty());
    }

    void busyDiskIsNotTornDown()
    {
        VELLUMAR_REQUIRE_DISKS();
        const int before = anyDiskActive.load();
        RamDisk disk(8192, QStringLiteral("x"));
        disk.setMountPath(path(QStringLiteral("busy")));
        QVERIFY(disk.allocateRAM() && disk.createFilesystem() && disk.mount());
        QFile open(path(QStringLiteral("busy/open.txt")));
        QVERIFY(open.open(QIODevice::WriteOnly));

        TeardownOutcome outcome = disk.tearDown();
        QVERIFY(!outcome.finished);
        QVERIFY(outcome.userText.contains(QStringLiteral("still in use")));
        QVERIFY(disk.isMountedAndActive());
        QCOMPARE(anyDiskActive.load(), before + 1);
        QVERIFY(RealDisks::ourLoopDevices().contains(disk.device()));
        QVERIFY(QFileInfo::exists(path(QStringLiteral("busy/open.txt"))));

        // The helper itself refuses to let go of a mounted device.
        QVERIFY(!disk.detach().contains(QStringLiteral("ejected")));

        open.close();
        outcome = disk.tearDown();
        QVERIFY2(outcome.finished, qPrintable(outcome.userText));
        QCOMPARE(anyDiskActive.load(), before);
        QVERIFY(!RealDisks::ourLoopDevices().contains(disk.device()));
    }

    void memoryIsHeldOnlyForFiles()
    {
        VELLUMAR_REQUIRE_DISKS();
        const qint64 before = RealDisks::shmemKiB();
        RamDisk disk(1024 * 1024 * 2, QStringLiteral("x")); // 1 GiB
        disk.setMountPath(path(QStringLiteral("big")));
        QVERIFY(disk.allocateRAM() && disk.createFilesystem() && disk.mount());
        // Shmem is machine-wide: take the smallest of a few readings.
        qint64 empty = RealDisks::shmemKiB() - before;
        for (int i = 0; i < 20 && empty > 1024 * 1024 / 50; ++i) {
            QTest::qWait(100);
            empty = std::min(empty, RealDisks::shmemKiB() - before);
        }
        qInfo("an empty 1 GiB disk holds %lld KiB", empty);
        QVERIFY(empty <= 1024 * 1024 / 50);

        // Deleting files gives their memory back.
        writeFile(path(QStringLiteral("big/fill")), QByteArray(64 * 1024 * 1024, 'x'));
        sync();
        QTRY_VERIFY_WITH_TIMEOUT(RealDisks::shmemKiB() - before > 60 * 1024, 5000);
        QVERIFY(QFile::remove(path(QStringLiteral("big/fill"))));
        sync();
        QTRY_VERIFY_WITH_TIMEOUT(RealDisks::shmemKiB() - before < empty + 4096, 5000);

        QVERIFY(disk.tearDown().finished);
        QTRY_VERIFY_WITH_TIMEOUT(RealDisks::shmemKiB() < before + 2048, 20000);
    }
};

QTEST_GUILESS_MAIN(TestRamDiskReal)
#include "TestRamDiskReal.moc"
