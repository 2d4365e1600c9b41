#include "KeepState.h"
#include "KeepTree.h"
#include "KeptContents.h"
#include "TestEnvironment.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>
#include <csignal>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

// Loads and saves between two folders (a disk is a folder to rsync): what an interrupted
// save leaves, and who may copy what.
class TestKeptContents : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;
    std::string m_disk;
    std::string m_kept;

    QString disk() const { return QString::fromStdString(m_disk); }
    QString kept() const { return QString::fromStdString(m_kept); }

    // Every file in the kept folder with its whole contents, by path.
    static QMap<std::string, QByteArray> contents(const std::string &root)
    {
        QMap<std::string, QByteArray> files;
        const KeepTree::Snapshot snapshot = KeepTree::snapshot(root);
        for (auto it = snapshot.begin(); it != snapshot.end(); ++it) {
            if (it.value().type == 'f')
                files.insert(it.key(), it.value().digest);
        }
        return files;
    }

    // Changes, adds and deletes some of the disk's files; each new content is unique.
    void changeDisk(QRandomGenerator &random, int round)
    {
        for (int i = 0; i < 120; ++i) {
            const std::string file =
                m_disk + "/d" + std::to_string(i % 6) + "/f" + std::to_string(i);
            const quint32 choice = random.bounded(4);
            if (choice == 0 && fs::exists(file)) {
                fs::remove(file);
                continue;
            }
            if (choice == 3 && fs::exists(file))
                continue;
            const qsizetype size = i % 10 == 0 ? 512 * 1024 : 32 * 1024;
            QByteArray data(size, char('A' + round % 26));
            data.replace(0, 16, QByteArray::number(round * 1000 + i).rightJustified(16, '.'));
            KeepTree::writeFile(file, data);
        }
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        qputenv("XDG_STATE_HOME", m_env->path(QStringLiteral("state")).toLocal8Bit());
        qunsetenv("SUDO_UID");
        qunsetenv("PKEXEC_UID");
        m_disk = m_env->path(QStringLiteral("disk")).toStdString();
        m_kept = m_env->path(QStringLiteral("kept")).toStdString();
        for (int i = 0; i < 6; ++i)
            fs::create_directories(m_disk + "/d" + std::to_string(i));
    }
    void cleanup() { m_env.reset(); }

    // Killed at random moments, a save leaves each file whole, old or new; the next save
    // completes it and clears what the killed one left.
    void interruptedSavesLeaveEveryFileOldOrNew()
    {
        QRandomGenerator random(20261208);
        changeDisk(random, 0);
        KeptContents keeper(disk(), kept());
        QVERIFY2(keeper.save().succeeded, qPrintable(keeper.result().message));
        // Kills land anywhere in a whole save, renames and deletions included.
        changeDisk(random, 0);
        QElapsedTimer whole;
        whole.start();
        QVERIFY(keeper.save().succeeded);
        const quint32 saveMs = quint32(whole.elapsed()) + 1;
        int interrupted = 0;
        for (int round = 1; round <= 20; ++round) {
            const QMap<std::string, QByteArray> before = contents(m_kept);
            changeDisk(random, round);
            const QMap<std::string, QByteArray> after = contents(m_disk);

            keeper.startSave();
            while (keeper.rsyncProcessId() == 0 && keeper.isRunning())
                QTest::qWait(1);
            QTest::qWait(int(random.bounded(saveMs)));
            if (keeper.rsyncProcessId() > 0) {
                // Everything stops at once, as when the machine loses power.
                ::kill(-pid_t(keeper.rsyncProcessId()), SIGKILL);
                ++interrupted;
            }
            QVERIFY(keeper.waitForFinished(30000));

            const QMap<std::string, QByteArray> found = contents(m_kept);
            for (auto it = found.begin(); it != found.end(); ++it) {
                QVERIFY2(before.value(it.key()) == it.value() ||
                             after.value(it.key()) == it.value(),
                         it.key().c_str());
            }
            // A file the disk still has is never missing.
            for (auto it = after.begin(); it != after.end(); ++it)
                QVERIFY2(found.contains(it.key()) || !before.contains(it.key()), it.key().c_str());
            if (!keeper.result().succeeded) {
                QVERIFY(KeepState::wasInterrupted(kept()));
                QVERIFY2(keeper.save().succeeded, qPrintable(keeper.result().message));
            }
            QVERIFY2(contents(m_kept) == after,
                     qPrintable(QStringLiteral("round %1: %2")
                                    .arg(round)
                                    .arg(KeepTree::differences(KeepTree::snapshot(m_disk),
                                                               KeepTree::snapshot(m_kept)))));
        }
        QVERIFY2(interrupted >= 8, qPrintable(QString::number(interrupted)));
        qInfo("%d of 20 saves interrupted; a whole save took %u ms", interrupted, saveMs);
        QVERIFY(!KeepState::wasInterrupted(kept()));
        QVERIFY(!fs::exists(m_kept + "/.vellumar-temp"));
        QCOMPARE(KeepTree::snapshot(m_kept, false).keys(),
                 KeepTree::snapshot(m_disk, false).keys());
        for (const fs::directory_entry &entry : fs::recursive_directory_iterator(m_kept))
            QVERIFY2(entry.path().filename() != ".vellumar-saving", entry.path().c_str());
    }

    // A load after a killed save brings none of its leftovers onto the disk.
    void loadAfterAnInterruptedSaveTakesOnlyWholeFiles()
    {
        fs::create_directories(m_kept + "/.vellumar-temp");
        fs::create_directories(m_kept + "/sub/.vellumar-saving");
        KeepTree::writeFile(m_kept + "/.vellumar-temp/.half.Ab12Cd", "partial");
        KeepTree::writeFile(m_kept + "/sub/.vellumar-saving/whole", "new");
        KeepTree::writeFile(m_kept + "/sub/whole", "old");
        KeepState::markSaving(kept(), true);

        fs::remove_all(m_disk);
        fs::create_directories(m_disk);
        KeptContents keeper(disk(), kept());
        QSignalSpy finished(&keeper, &KeptContents::finished);
        keeper.startLoad();
        QVERIFY(finished.wait(30000));
        QVERIFY2(keeper.result().succeeded, qPrintable(keeper.result().message));
        QCOMPARE(contents(m_disk).keys(), QList<std::string>{"sub/whole"});
        QVERIFY(!fs::exists(m_disk + "/.vellumar-temp"));
        QVERIFY(!fs::exists(m_kept + "/sub/.vellumar-saving"));
        QVERIFY(!KeepState::wasInterrupted(kept()));
    }

    void largeCopiesReportProgress()
    {
        KeepTree::writeFile(m_disk + "/big", QByteArray(64 * 1024 * 1024, 'p'));
        KeptContents keeper(disk(), kept());
        QSignalSpy progress(&keeper, &KeptContents::progressed);
        QVERIFY(keeper.save().succeeded);
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.last().at(0).toInt(), 100);

        // A load of a measured folder counts its bytes: rising, ending at 100.
        KeptContents loader(m_env->path(QStringLiteral("second disk")), kept());
        fs::create_directories(m_env->path(QStringLiteral("second disk")).toStdString());
        loader.setExpectedBytes(64 * 1024 * 1024);
        QSignalSpy loading(&loader, &KeptContents::progressed);
        QVERIFY(loader.load().succeeded);
        QVERIFY(!loading.isEmpty());
        for (qsizetype i = 1; i < loading.size(); ++i)
            QVERIFY(loading.at(i).at(0).toInt() >= loading.at(i - 1).at(0).toInt());
        QCOMPARE(loading.last().at(0).toInt(), 100);
    }

    void rootNeverCopiesAnotherUsersFolder()
    {
        if (geteuid() != 0)
            QSKIP("needs root: a folder owned by another user");
        fs::create_directories(m_kept);
        KeepTree::writeFile(m_kept + "/theirs", "untouched");
        QVERIFY(chown(m_kept.c_str(), 65534, 65534) == 0);
        KeptContents keeper(disk(), kept());
        QVERIFY(!keeper.userProblem().isEmpty());
        const KeepResult saved = keeper.save();
        QVERIFY(!saved.succeeded);
        QVERIFY2(saved.message.contains(kept()), qPrintable(saved.message));
        QCOMPARE(contents(m_kept).keys(), QList<std::string>{"theirs"});
    }

    void missingDiskIsToldNotCopied()
    {
        KeptContents keeper(m_env->path(QStringLiteral("gone")), kept());
        const KeepResult loaded = keeper.load();
        QVERIFY(!loaded.succeeded);
        QVERIFY(loaded.message.contains(m_env->path(QStringLiteral("gone"))));
    }
};

QTEST_GUILESS_MAIN(TestKeptContents)
#include "TestKeptContents.moc"
