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

// Kept contents through vellumarctl on real disks, as a user runs it: root, or a user the
// system lets make disks. The cases only root can set up are in TestKeepCtlRoot.
class TestKeepCtlReal : public QObject, KeepCtlFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

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
