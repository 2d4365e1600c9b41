#include "CtlRun.h"
#include "KeepTree.h"
#include "RealDisks.h"
#include "TestEnvironment.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

// Kept contents through vellumarctl on real disks, as a user runs it. Needs root.
class TestKeepCtlReal : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;

    using Run = CtlRun::Result;
    static Run ctl(const QStringList &arguments) { return CtlRun::run(arguments); }
    static QJsonObject listed(const QString &mountPath) { return CtlRun::listed(mountPath); }

    QString path(const char *relative) const { return m_env->path(QString::fromUtf8(relative)); }

    Run create(const QString &mount, const QString &size, const QStringList &more = {})
    {
        return ctl(QStringList{QStringLiteral("create"), QStringLiteral("--size"), size,
                               QStringLiteral("--name"), QStringLiteral("Kept"),
                               QStringLiteral("--mount"), mount} +
                   more);
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        qputenv("XDG_STATE_HOME", path("state").toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", path("config").toLocal8Bit());
        qputenv("XDG_DATA_HOME", path("data").toLocal8Bit());
        qunsetenv("SUDO_UID");
        qunsetenv("PKEXEC_UID");
    }

    void cleanup()
    {
        qunsetenv("SUDO_UID");
        qunsetenv("SUDO_GID");
        RealDisks::cleanUpUnder(m_env->home());
        // Names that are not UTF-8 are beyond QTemporaryDir: the bytes go first.
        if (RealDisks::mountsUnder(m_env->home()).isEmpty())
            fs::remove_all(m_env->home().toStdString());
        m_env.reset();
    }

    // 5,000 files with odd names, permissions, links and attributes load whole and save back
    // unchanged; a file written, changed and deleted on the disk shows after a save, and
    // ejecting saves first.
    void keptTreeLoadsAndSavesBackUnchanged()
    {
        VELLUMAR_REQUIRE_DISKS();
        const std::string kept = path("kept").toStdString();
        KeepTree::build(kept, 5000);
        const KeepTree::Snapshot original = KeepTree::snapshot(kept);
        const QString mount = path("disk");
        const Run created =
            create(mount, QStringLiteral("131072"), {QStringLiteral("--keep"), path("kept")});
        QVERIFY2(created.status == 0, qPrintable(created.out + created.err));
        QVERIFY(created.out.contains(QStringLiteral("load ok ")));
        QCOMPARE(created.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).last(), mount);
        const KeepTree::Snapshot loaded = KeepTree::snapshot(mount.toStdString());
        QVERIFY2(loaded == original, qPrintable(KeepTree::differences(original, loaded)));

        // Unchanged contents save back unchanged, folder times and all.
        QCOMPARE(ctl({QStringLiteral("sync"), mount}).status, 0);
        QVERIFY2(KeepTree::snapshot(kept) == original,
                 qPrintable(KeepTree::differences(original, KeepTree::snapshot(kept))));

        const std::string disk = mount.toStdString();
        KeepTree::writeFile(disk + "/written", "new file");
        KeepTree::writeFile(disk + "/hard one", "SHARED CONTENTS"); // same size, both names
        fs::remove(disk + "/with space 0/level 0/with space 0");
        const Run synced = ctl({QStringLiteral("sync"), mount});
        QVERIFY2(synced.status == 0, qPrintable(synced.err));
        const KeepTree::Snapshot changed = KeepTree::snapshot(disk);
        QVERIFY2(KeepTree::snapshot(kept) == changed,
                 qPrintable(KeepTree::differences(changed, KeepTree::snapshot(kept))));
        QVERIFY(!fs::exists(kept + "/with space 0/level 0/with space 0"));

        const QJsonObject disk0 = listed(mount);
        QCOMPARE(disk0.value(QStringLiteral("keptFolder")).toString(), path("kept"));
        const QDateTime saved =
            QDateTime::fromString(disk0.value(QStringLiteral("lastSave")).toString(), Qt::ISODate);
        QVERIFY(qAbs(saved.secsTo(QDateTime::currentDateTimeUtc())) < 60);
        // The table for people says it too, on a line below the disk.
        const QStringList table = ctl({QStringLiteral("list")}).out.split(QLatin1Char('\n'));
        const qsizetype row = table.indexOf(
            QRegularExpression(QStringLiteral(".*  ") + QRegularExpression::escape(mount)));
        QVERIFY2(row > 0, qPrintable(table.join(QLatin1Char('\n'))));
        QVERIFY2(table.value(row + 1).contains(QStringLiteral("kept in ") + path("kept")) &&
                     table.value(row + 1).contains(saved.toLocalTime().toString(Qt::ISODate)),
                 qPrintable(table.value(row + 1)));

        KeepTree::writeFile(disk + "/last words", "written before the eject");
        const Run ejected = ctl({QStringLiteral("eject"), mount});
        QVERIFY2(ejected.status == 0, qPrintable(ejected.err));
        QVERIFY(fs::exists(kept + "/last words"));
        QVERIFY(listed(mount).isEmpty());
    }

    void contentsLargerThanTheDiskAreRefusedBeforeAnythingIsMade()
    {
        VELLUMAR_REQUIRE_DISKS();
        QVERIFY(QDir().mkpath(path("kept")));
        KeepTree::writeFile(path("kept/big").toStdString(), QByteArray(3 * 1024 * 1024, 'b'));
        const QStringList before = RealDisks::ourLoopDevices();
        const Run refused =
            create(path("disk"), QStringLiteral("2048"), {QStringLiteral("--keep"), path("kept")});
        QCOMPARE(refused.status, 2);
        QVERIFY2(refused.err.contains(QStringLiteral("3.0 MiB")) &&
                     refused.err.contains(QStringLiteral("2.0 MiB")),
                 qPrintable(refused.err));
        QCOMPARE(RealDisks::ourLoopDevices(), before);
        QVERIFY(!QFileInfo::exists(path("disk")));
    }

    // A save that runs out of space keeps the last good copy, names what it could not save,
    // and stops an eject unless forced.
    void fullKeptFolderFailsCleanly()
    {
        VELLUMAR_REQUIRE_ROOT();
        RealDisks::CleanUpGuard guard{m_env->home()};
        QVERIFY(QDir().mkpath(path("small")));
        QCOMPARE(
            QProcess::execute(QStringLiteral("mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=4m"), QStringLiteral("tmpfs"), path("small")}),
            0);
        const std::string kept = path("small/kept").toStdString();
        fs::create_directories(kept);
        KeepTree::writeFile(kept + "/old", QByteArray(1024 * 1024, 'A'));
        const QString mount = path("disk");
        QVERIFY(
            create(mount, QStringLiteral("32768"), {QStringLiteral("--keep"), path("small/kept")})
                .status == 0);

        KeepTree::writeFile(mount.toStdString() + "/old", QByteArray(1024 * 1024, 'B'));
        KeepTree::writeFile(mount.toStdString() + "/big file", QByteArray(6 * 1024 * 1024, 'C'));
        const Run synced = ctl({QStringLiteral("sync"), mount});
        QCOMPARE(synced.status, 1);
        QVERIFY2(synced.err.contains(QStringLiteral("No space left on device")) &&
                     synced.err.contains(QStringLiteral("big file")),
                 qPrintable(synced.err));
        const KeepTree::Snapshot left = KeepTree::snapshot(kept);
        QCOMPARE(left.keys(), QList<std::string>{"old"});
        QCOMPARE(left.value("old").size, 1024 * 1024);
        QFile old(path("small/kept/old"));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray(1024 * 1024, 'A'));
        QVERIFY(listed(mount).value(QStringLiteral("lastSave")).isNull());

        const Run stopped = ctl({QStringLiteral("eject"), mount});
        QCOMPARE(stopped.status, 1);
        QVERIFY2(stopped.err.contains(QStringLiteral("--force")), qPrintable(stopped.err));
        QVERIFY(!listed(mount).isEmpty());
        const Run forced = ctl({QStringLiteral("eject"), mount, QStringLiteral("--force")});
        QVERIFY2(forced.status == 0, qPrintable(forced.err));
        QVERIFY(listed(mount).isEmpty());
    }

    // Through sudo the copies run as the user: their files stay theirs, a file they cannot
    // read is named as not saved while the others are saved, and root alone may not copy
    // their folder.
    void copiesRunAsTheUserRootWorksFor()
    {
        VELLUMAR_REQUIRE_ROOT();
        const std::string kept = path("kept").toStdString();
        fs::create_directories(kept);
        KeepTree::writeFile(kept + "/theirs", "user's file");
        QVERIFY(chown(m_env->home().toLocal8Bit().constData(), 65534, 65534) == 0);
        QVERIFY(chown(kept.c_str(), 65534, 65534) == 0 &&
                chown((kept + "/theirs").c_str(), 65534, 65534) == 0);
        const QString mount = path("disk");
        QCOMPARE(
            create(mount, QStringLiteral("8192"), {QStringLiteral("--keep"), path("kept")}).status,
            2);
        qputenv("SUDO_UID", "65534");
        qputenv("SUDO_GID", "65534");
        const Run created =
            create(mount, QStringLiteral("8192"), {QStringLiteral("--keep"), path("kept")});
        QVERIFY2(created.status == 0, qPrintable(created.err));
        struct stat info
        {
        };
        QVERIFY(stat((mount + QStringLiteral("/theirs")).toLocal8Bit().constData(), &info) == 0);
        QCOMPARE(info.st_uid, uid_t(65534));

        const std::string disk = mount.toStdString();
        KeepTree::writeFile(disk + "/new", "new");
        QVERIFY(chown((disk + "/new").c_str(), 65534, 65534) == 0);
        KeepTree::writeFile(disk + "/root only", "secret");
        QVERIFY(chmod((disk + "/root only").c_str(), 0600) == 0);
        const Run synced = ctl({QStringLiteral("sync"), mount});
        QCOMPARE(synced.status, 1);
        QVERIFY2(synced.err.contains(QStringLiteral("root only")), qPrintable(synced.err));
        QVERIFY(fs::exists(kept + "/new"));
        QVERIFY(!fs::exists(kept + "/root only"));
        QVERIFY(stat((kept + "/new").c_str(), &info) == 0);
        QCOMPARE(info.st_uid, uid_t(65534));
        QVERIFY(fs::remove(disk + "/root only"));
        QCOMPARE(ctl({QStringLiteral("eject"), mount}).status, 0);
        qunsetenv("SUDO_UID");
        qunsetenv("SUDO_GID");
    }

    void rememberedDisksAreMadeOnce()
    {
        VELLUMAR_REQUIRE_DISKS();
        QVERIFY(QDir().mkpath(path("kept two")));
        KeepTree::writeFile(path("kept two/note").toStdString(), "kept");
        const QString one = path("one");
        const QString two = path("two");
        QCOMPARE(create(one, QStringLiteral("8192"), {QStringLiteral("--remember")}).status, 0);
        QCOMPARE(create(two, QStringLiteral("8192"),
                        {QStringLiteral("--remember"), QStringLiteral("--keep"), path("kept two")})
                     .status,
                 0);
        QCOMPARE(ctl({QStringLiteral("eject"), one}).status, 0);
        QCOMPARE(ctl({QStringLiteral("eject"), two}).status, 0);

        const Run first = ctl({QStringLiteral("create"), QStringLiteral("--remembered")});
        QVERIFY2(first.status == 0, qPrintable(first.out + first.err));
        QVERIFY(!listed(one).isEmpty());
        QVERIFY(QFile::exists(two + QStringLiteral("/note")));
        const QString deviceOne = listed(one).value(QStringLiteral("device")).toString();
        const QString deviceTwo = listed(two).value(QStringLiteral("device")).toString();

        const Run second = ctl({QStringLiteral("create"), QStringLiteral("--remembered")});
        QCOMPARE(second.status, 0);
        QCOMPARE(second.out.count(QStringLiteral("already there")), 2);
        QCOMPARE(listed(one).value(QStringLiteral("device")).toString(), deviceOne);
        QCOMPARE(listed(two).value(QStringLiteral("device")).toString(), deviceTwo);
        QCOMPARE(RealDisks::mountsUnder(m_env->home()).size(), 2);
        QCOMPARE(ctl({QStringLiteral("eject"), one}).status, 0);
        QCOMPARE(ctl({QStringLiteral("eject"), two}).status, 0);
    }

    // Two disks saving into one folder would each delete the other's files: the second is
    // refused, naming the first, and so is a folder inside the first's. The default kept
    // folder of a second disk of the same name is another one.
    void aKeptFolderBelongsToOneDisk()
    {
        VELLUMAR_REQUIRE_DISKS();
        QVERIFY(QDir().mkpath(path("kept")));
        KeepTree::writeFile(path("kept/a.txt").toStdString(), "A's");
        const QString a = path("a");
        const QString b = path("b");
        QCOMPARE(create(a, QStringLiteral("8192"),
                        {QStringLiteral("--name"), QStringLiteral("A"), QStringLiteral("--keep"),
                         path("kept")})
                     .status,
                 0);
        for (const QString &folder : {path("kept"), path("kept/inner")}) {
            const Run refused =
                create(b, QStringLiteral("8192"), {QStringLiteral("--keep"), folder});
            QCOMPARE(refused.status, 2);
            QVERIFY2(refused.err.contains(QStringLiteral("“A”")) && refused.err.contains(a) &&
                         refused.err.count(QLatin1Char('\n')) == 1,
                     qPrintable(refused.err));
            QVERIFY(listed(b).isEmpty());
        }
        QCOMPARE(ctl({QStringLiteral("sync"), a}).status, 0);
        QCOMPARE(ctl({QStringLiteral("eject"), a}).status, 0);
        QCOMPARE(QFile::exists(path("kept/a.txt")), true);
        // Once A is gone, B may use the folder.
        QCOMPARE(create(b, QStringLiteral("8192"), {QStringLiteral("--keep"), path("kept")}).status,
                 0);
        QCOMPARE(ctl({QStringLiteral("eject"), b}).status, 0);
    }
};

QTEST_GUILESS_MAIN(TestKeepCtlReal)
#include "TestKeepCtlReal.moc"
