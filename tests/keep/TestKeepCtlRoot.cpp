#include "KeepCtlFixture.h"
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

// Kept contents through vellumarctl on real disks in the cases only root can set up: a kept
// folder on a full file system of the test's, and root working on a user's behalf. Apart from
// TestKeepCtlReal so that their skip, as a user, hides no other case.
class TestKeepCtlRoot : public QObject, KeepCtlFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

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
};

QTEST_GUILESS_MAIN(TestKeepCtlRoot)
#include "TestKeepCtlRoot.moc"
