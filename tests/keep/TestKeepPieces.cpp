#include "KeepState.h"
#include "KeptFolder.h"
#include "RememberedDisks.h"
#include "RsyncMessages.h"
#include "TestEnvironment.h"
#include "UserDefaults.h"

#include <QtTest>

// The parts of kept contents that run no copy: reading rsync's words, folder names and sizes,
// and what is remembered between runs.
class TestKeepPieces : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        qputenv("XDG_STATE_HOME", m_env->path(QStringLiteral("state")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", m_env->path(QStringLiteral("data")).toLocal8Bit());
    }
    void cleanup() { m_env.reset(); }

    void failedFilesAreNamedRelativeToTheirFolder()
    {
        const QString errors = QStringLiteral(
            "rsync: [sender] send_files failed to open \"/mnt/disk/notes/secret\": Permission "
            "denied (13)\n"
            "rsync: [receiver] write failed on \"/home/u/kept/.vellumar-temp/.big file.Ab12Z9\": "
            "No space left on device (28)\n"
            "rsync: [receiver] write failed on \"/home/u/kept/.vellumar-temp/.big file.Xy34Q1\": "
            "No space left on device (28)\n"
            "rsync error: error in file IO (code 11) at receiver.c(381) [receiver=3.2.7]\n");
        const RsyncMessages::Failures failures = RsyncMessages::failures(
            errors, {QStringLiteral("/mnt/disk"), QStringLiteral("/home/u/kept")});
        QCOMPARE(failures.files,
                 QStringList({QStringLiteral("notes/secret"), QStringLiteral("big file")}));
        QCOMPARE(failures.reason, QStringLiteral("Permission denied (13)"));

        // Only the summary line: it is the reason, and no file is invented.
        const RsyncMessages::Failures summary = RsyncMessages::failures(
            QStringLiteral("rsync error: received SIGINT, SIGTERM, or SIGHUP (code 20)\n"), {});
        QVERIFY(summary.files.isEmpty());
        QVERIFY(summary.reason.contains(QStringLiteral("code 20")));
    }

    void progressIsTheLastPercentage()
    {
        QCOMPARE(RsyncMessages::lastPercent(
                     QStringLiteral("     32,768   3%  1.2MB/s 0:00:01 (xfr#1, to-chk=9/10)\r"
                                    "  1,048,576 100%  9.1MB/s 0:00:00 (xfr#10, to-chk=0/10)\n")),
                 100);
        QCOMPARE(RsyncMessages::lastPercent(QStringLiteral("sending incremental file list\n")), -1);
        QCOMPARE(RsyncMessages::lastBytes(
                     QStringLiteral("     32,768   3%  1.2MB/s 0:00:01 (xfr#1, to-chk=9/10)\r"
                                    "  1,048,576  47%  9.1MB/s 0:00:00 (xfr#10, ir-chk=5/10)\r")),
                 1048576);
    }

    void defaultFolderIsASafeNameUnderTheDataFolder()
    {
        QCOMPARE(KeptFolder::safeFileName(QStringLiteral("../etc/passwd")),
                 QStringLiteral("_etc_passwd"));
        QCOMPARE(KeptFolder::safeFileName(QStringLiteral("a\nb\tc")), QStringLiteral("a_b_c"));
        QCOMPARE(KeptFolder::safeFileName(QStringLiteral("...")), QStringLiteral("Ram Disk"));
        QCOMPARE(KeptFolder::safeFileName(QStringLiteral("Work ü")), QStringLiteral("Work ü"));
        QCOMPARE(KeptFolder::defaultFolder(QStringLiteral("My/Disk")),
                 QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                     QStringLiteral("/vellumar/kept/My_Disk"));
    }

    void contentsLargerThanTheDiskAreRefusedWithBothSizes()
    {
        const QString folder = m_env->path(QStringLiteral("kept"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/sub")));
        QFile big(folder + QStringLiteral("/sub/big"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        big.write(QByteArray(3 * 1024 * 1024, 'x'));
        big.close();
        // Leftovers of an interrupted save do not count.
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/.vellumar-temp")));
        QFile leftover(folder + QStringLiteral("/.vellumar-temp/.big.abcdef"));
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.write(QByteArray(3 * 1024 * 1024, 'x'));
        leftover.close();

        QCOMPARE(KeptFolder::measure(folder).entries, 2);
        const QString problem = KeptFolder::sizeProblem(folder, 2 * 1024);
        QVERIFY2(problem.contains(QStringLiteral("3.0 MiB")) &&
                     problem.contains(QStringLiteral("2.0 MiB")) && problem.contains(folder),
                 qPrintable(problem));
        QCOMPARE(KeptFolder::sizeProblem(folder, 16 * 1024), QString());
        // Many tiny files run out of inodes before they run out of space.
        for (int i = 0; i < 300; ++i)
            QVERIFY(QFile(folder + QStringLiteral("/f%1").arg(i)).open(QIODevice::WriteOnly));
        QVERIFY(KeptFolder::sizeProblem(folder, 4 * 1024).contains(QStringLiteral("302")));
    }

    void stateSurvivesARestartAndIsForgotten()
    {
        KeepState state(QStringLiteral("/media/disk/"), QStringLiteral("/home/u/kept"));
        const QDateTime saved = QDateTime(QDate(2026, 12, 8), QTime(4, 5, 6), Qt::UTC);
        state.setLastSave(saved);
        QVERIFY(state.store());
        const std::optional<KeepState> read = KeepState::forDisk(QStringLiteral("/media/disk"));
        QVERIFY(read);
        QCOMPARE(read->keptFolder(), QStringLiteral("/home/u/kept"));
        QCOMPARE(read->lastSave(), saved);
        QVERIFY(!KeepState::forDisk(QStringLiteral("/media/other")));
        KeepState::forget(QStringLiteral("/media/disk"));
        QVERIFY(!KeepState::forDisk(QStringLiteral("/media/disk")));

        KeepState::markSaving(QStringLiteral("/home/u/kept"), true);
        QVERIFY(KeepState::wasInterrupted(QStringLiteral("/home/u/kept/")));
        QVERIFY(!KeepState::wasInterrupted(QStringLiteral("/home/u/other")));
        KeepState::markSaving(QStringLiteral("/home/u/kept"), false);
        QVERIFY(!KeepState::wasInterrupted(QStringLiteral("/home/u/kept")));
    }

    void rememberedDisksAreOnePerMountFolder()
    {
        RememberedDisks::remember({QStringLiteral("65536"), QStringLiteral("One"),
                                   QStringLiteral("/media/one/"), QString(), QString()});
        RememberedDisks::remember({QStringLiteral("1024"), QStringLiteral("Two"),
                                   QStringLiteral("/media/two"), QStringLiteral("/kept/two"),
                                   QString()});
        RememberedDisks::remember({QStringLiteral("2048"), QStringLiteral("One again"),
                                   QStringLiteral("/media/one"), QString(), QString()});
        // Read back from the file, as the next run would.
        UserDefaults::standard().setStorageFile(m_env->settingsFile());
        QList<RememberedDisk> disks = RememberedDisks::list();
        QCOMPARE(disks.size(), 2);
        QCOMPARE(disks[0].name, QStringLiteral("One again"));
        QCOMPARE(disks[0].size, QStringLiteral("2048"));
        QCOMPARE(disks[1].keptFolder, QStringLiteral("/kept/two"));
        QVERIFY(RememberedDisks::forget(QStringLiteral("/media/one")));
        QVERIFY(!RememberedDisks::forget(QStringLiteral("/media/one")));
        disks = RememberedDisks::list();
        QCOMPARE(disks.size(), 1);
        QCOMPARE(disks[0].mountPath, QStringLiteral("/media/two"));
    }
};

QTEST_GUILESS_MAIN(TestKeepPieces)
#include "TestKeepPieces.moc"
