#include "CtlRun.h"
#include "MediaLocation.h"
#include "RealDisks.h"
#include "SystemDisks.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

// vellumarctl as a user runs it, on real disks. Needs root.
class TestVellumarCtlReal : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;

    using Run = CtlRun::Result;
    static Run ctl(const QStringList &arguments) { return CtlRun::run(arguments); }
    static QJsonObject listed(const QString &mountPath) { return CtlRun::listed(mountPath); }

private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }

    void cleanup()
    {
        RealDisks::cleanUpUnder(m_env->home());
        m_env.reset();
    }

    void createListEject()
    {
        VELLUMAR_REQUIRE_DISKS();
        const QString path = m_env->path(QStringLiteral("cli disk"));
        const Run created = ctl({QStringLiteral("create"), QStringLiteral("--size"),
                                 QStringLiteral("65536"), QStringLiteral("--name"),
                                 QStringLiteral("CLI Disk"), QStringLiteral("--mount"), path,
                                 QStringLiteral("--kind"), QStringLiteral("block")});
        QVERIFY2(created.status == 0, qPrintable(created.out + created.err));
        const QStringList lines = created.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 5);
        QVERIFY(lines[0].startsWith(QStringLiteral("allocate ok /dev/loop")));
        QCOMPARE(lines.last(), path);
        const QString device = lines[0].section(QLatin1Char(' '), 2);

        // Written from a second process, seen in the list with its name and usage.
        QFile file(path + QStringLiteral("/data"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4 * 1024 * 1024, 'v'));
        file.close();
        const QJsonObject disk = listed(path);
        QCOMPARE(disk.value(QStringLiteral("device")).toString(), device);
        QCOMPARE(disk.value(QStringLiteral("name")).toString(), QStringLiteral("CLI Disk"));
        QCOMPARE(disk.value(QStringLiteral("sizeKiB")).toInteger(), 65536);
        QVERIFY(disk.value(QStringLiteral("usedKiB")).toInteger() >= 4096);
        QCOMPARE(disk.value(QStringLiteral("sizeBytes")).toInteger(), 64 << 20);
        const QStringList table = ctl({QStringLiteral("list")}).out.split(QLatin1Char('\n'));
        QVERIFY(table.first().startsWith(QStringLiteral("DEVICE")));
        const QStringList row = table.filter(path);
        QCOMPARE(row.size(), 1);
        QVERIFY2(row.first().startsWith(device + QLatin1Char(' ')) &&
                     row.first().contains(QStringLiteral(" 64 MiB ")) &&
                     row.first().contains(QStringLiteral(" CLI Disk ")) &&
                     row.first().endsWith(QLatin1Char(' ') + path),
                 qPrintable(row.first()));

        // Folders that are no disk of ours are refused and left alone.
        const Run refused = ctl({QStringLiteral("eject"), m_env->home()});
        QCOMPARE(refused.status, 2);
        QVERIFY(refused.out.isEmpty());
        QVERIFY(QFileInfo::exists(path + QStringLiteral("/data")));

        const Run ejected = ctl({QStringLiteral("eject"), path});
        QCOMPARE(ejected.status, 0);
        QCOMPARE(ejected.out, QStringLiteral("\"%1\" ejected.\n").arg(device));
        QVERIFY(!RealDisks::ourLoopDevices().contains(device));
        QVERIFY(listed(path).isEmpty());
        QVERIFY(RealDisks::mountsUnder(m_env->home()).isEmpty());
    }

    // Without --mount the disk appears in the user's media folder under its name, and its
    // folder goes at eject; nothing is made in the home.
    void theDefaultPlaceIsTheMediaFolder()
    {
        VELLUMAR_REQUIRE_DISKS();
        const QString media = MediaLocation::folder();
        const bool hadMedia = QFileInfo::exists(media);
        const QString name = QStringLiteral("CLI %1").arg(getpid());
        const QString path = media + QLatin1Char('/') + name;
        const auto tidy = qScopeGuard([&] {
            if (SystemDisks::isMountPoint(path))
                ctl({QStringLiteral("eject"), path});
            // Only root may remove the media folder; a user leaves it as the system would.
            if (!hadMedia)
                QDir().rmdir(media);
        });
        const Run created = ctl({QStringLiteral("create"), QStringLiteral("--size"),
                                 QStringLiteral("8192"), QStringLiteral("--name"), name});
        QVERIFY2(created.status == 0, qPrintable(created.out + created.err));
        QCOMPARE(created.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).last(), path);
        QVERIFY(SystemDisks::isMountPoint(path));
        QCOMPARE(QFileInfo(path).ownerId(), uint(getuid()));
        QVERIFY(QFileInfo(path).isWritable());
        QVERIFY(!QFileInfo::exists(m_env->path(QStringLiteral("Library"))));
        const Run ejected = ctl({QStringLiteral("eject"), path});
        QVERIFY2(ejected.status == 0, qPrintable(ejected.out + ejected.err));
        QVERIFY(!QFileInfo::exists(path));
    }

    void ejectRefusesWhileFilesAreOpen()
    {
        VELLUMAR_REQUIRE_DISKS();
        const QString path = m_env->path(QStringLiteral("busy"));
        QCOMPARE(ctl({QStringLiteral("create"), QStringLiteral("--size"), QStringLiteral("8192"),
                      QStringLiteral("--mount"), path})
                     .status,
                 0);
        QFile open(path + QStringLiteral("/open"));
        QVERIFY(open.open(QIODevice::WriteOnly));
        const Run busy = ctl({QStringLiteral("eject"), path});
        QCOMPARE(busy.status, 1);
        QVERIFY(busy.err.contains(QStringLiteral("still in use")));
        QVERIFY(!listed(path).isEmpty());
        open.close();
        QCOMPARE(ctl({QStringLiteral("eject"), path}).status, 0);
    }

    // "1 GB" is 1 GiB, and a German user's "1,5G" is 1.5 GiB, as the real program reads them.
    void sizesAsPeopleTypeThem()
    {
        VELLUMAR_REQUIRE_DISKS();
        const QString path = m_env->path(QStringLiteral("sized"));
        const struct
        {
            const char *size;
            const char *locale;
            qint64 kib;
        } cases[] = {{"1 GB", "C.UTF-8", 1 << 20}, {"1,5G", "de_DE.UTF-8", 3 << 19}};
        for (const auto &each : cases) {
            const Run made =
                CtlRun::run({QStringLiteral("create"), QStringLiteral("--size"),
                             QLatin1String(each.size), QStringLiteral("--mount"), path},
                            {QStringLiteral("LC_ALL=") + QLatin1String(each.locale)});
            QVERIFY2(made.status == 0, qPrintable(made.out + made.err));
            const qint64 listedKiB = listed(path).value(QStringLiteral("sizeKiB")).toInteger();
            QCOMPARE(ctl({QStringLiteral("eject"), path}).status, 0);
            QCOMPARE(listedKiB, each.kib);
        }
        // In English a comma is no decimal separator: refused before anything is made.
        const Run refused = ctl({QStringLiteral("create"), QStringLiteral("--size"),
                                 QStringLiteral("1,5G"), QStringLiteral("--mount"), path});
        QCOMPARE(refused.status, 2);
        QVERIFY(!QFileInfo::exists(path));
    }

    void smallestDiskIsMadeAndOneLessIsRefused()
    {
        VELLUMAR_REQUIRE_DISKS();
        const QStringList before = RealDisks::ourLoopDevices();
        const QString path = m_env->path(QStringLiteral("tiny"));
        // One KiB less than the smallest disk: refused before any device is made.
        const Run refused = ctl({QStringLiteral("create"), QStringLiteral("--size"),
                                 QStringLiteral("223"), QStringLiteral("--mount"), path});
        QCOMPARE(refused.status, 2);
        QVERIFY(refused.err.startsWith(QStringLiteral("vellumarctl: ")));
        QVERIFY(refused.err.contains(QStringLiteral("224 KiB")));
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(RealDisks::ourLoopDevices(), before);

        // The smallest disk itself formats and mounts.
        const Run made = ctl({QStringLiteral("create"), QStringLiteral("--size"),
                              QStringLiteral("224K"), QStringLiteral("--mount"), path});
        QCOMPARE(made.status, 0);
        QVERIFY(!listed(path).isEmpty());
        QCOMPARE(ctl({QStringLiteral("eject"), path}).status, 0);
    }
};

QTEST_GUILESS_MAIN(TestVellumarCtlReal)
#include "TestVellumarCtlReal.moc"
