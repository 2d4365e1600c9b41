#include "FedMemStatsSource.h"
#include "MenuMeterMemStats.h"
#include "SystemLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kDefaultLog =
    QStringLiteral("MenuMeterMemStats unable to locate dynamic_pager args. Assume default.");

void makeFile(const QString &path, qint64 size)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(size));
}

} // namespace

class TestSwapStats : public QObject
{
    Q_OBJECT

private slots:
    void basePathFromProcessList_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QString>("path"); // null: none found

        const QByteArray header = "  PID TT  STAT      TIME COMMAND\n";
        QTest::newRow("plain")
            << header + "   61 ??  Ss     0:00.01 dynamic_pager -F /private/var/vm/swapfile\n"
            << QStringLiteral("/private/var/vm/swapfile");
        QTest::newRow("spaces in path, ends at option")
            << QByteArray("dynamic_pager -F /Volumes/Big Disk/vm/swapfile -S 100")
            << QStringLiteral("/Volumes/Big Disk/vm/swapfile");
        QTest::newRow("double space kept")
            << QByteArray("dynamic_pager -F /Volumes/Big  Disk/swapfile")
            << QStringLiteral("/Volumes/Big  Disk/swapfile");
        QTest::newRow("pager named by its path only")
            << QByteArray("/sbin/dynamic_pager -F /private/var/vm/swapfile") << QString();
        QTest::newRow("words before the path are passed over")
            << QByteArray("/usr/bin/x dynamic_pager -H 40000000 -F -S /vm/swap")
            << QStringLiteral("/vm/swap");
        QTest::newRow("only words after -F count")
            << QByteArray("dynamic_pager /etc/pager.conf -F") << QString();
        QTest::newRow("no path on first line, next line examined")
            << QByteArray(
                   "dynamic_pager -F relative/swap\nother\ndynamic_pager -F /second/swapfile")
            << QStringLiteral("/second/swapfile");
        QTest::newRow("first of two wins")
            << QByteArray("dynamic_pager -F /first/swapfile\ndynamic_pager -F /second/swapfile")
            << QStringLiteral("/first/swapfile");
        QTest::newRow("case-sensitive words")
            << QByteArray("Dynamic_pager -F /a/swapfile\ndynamic_pager -f /b/swapfile")
            << QString();
        QTest::newRow("tabs do not separate")
            << QByteArray("dynamic_pager\t-F /a/swapfile") << QString();
        QTest::newRow("not ASCII")
            << QByteArray("dynamic_pager -F /caf\xc3\xa9/swapfile") << QString();
        QTest::newRow("empty") << QByteArray() << QString();
    }

    void basePathFromProcessList()
    {
        QFETCH(QByteArray, list);
        QFETCH(QString, path);
        const std::optional<QString> found = MemStatsSource::swapBasePathFromProcessList(list);
        if (path.isNull())
            QVERIFY2(!found, qPrintable(found.value_or(QString())));
        else
            QCOMPARE(found.value_or(QString()), path);
    }

    void locationFromProcessList()
    {
        SystemLog::Capture log;
        SwapLocation location = MemStatsSource::swapLocationFromProcessList(
            QByteArray("dynamic_pager -F /Volumes/Big Disk/vm/swapfile -S 100"));
        QCOMPARE(location.path, QStringLiteral("/Volumes/Big Disk/vm"));
        QCOMPARE(location.prefix, QStringLiteral("swapfile"));
        QVERIFY(log.lines().isEmpty());

        location =
            MemStatsSource::swapLocationFromProcessList(QByteArray("/sbin/dynamic_pager -F /x/y"));
        QCOMPARE(location.path, QStringLiteral("/var/vm/"));
        QCOMPARE(location.prefix, QStringLiteral("swapfile"));
        QCOMPARE(log.lines(), QStringList{kDefaultLog});

        // A process list that could not be read at all.
        log.clear();
        location = MemStatsSource::swapLocationFromProcessList(std::nullopt);
        QCOMPARE(location.path, QStringLiteral("/var/vm/"));
        QCOMPARE(log.lines(), QStringList{kDefaultLog});
    }

    void folderScanAndHighWaterMark()
    {
        QTemporaryDir dir;
        const QString vm = dir.filePath(QStringLiteral("vm"));
        QVERIFY(QDir().mkpath(vm + QStringLiteral("/other")));
        makeFile(vm + QStringLiteral("/swapfile0"), 64 << 20);
        makeFile(vm + QStringLiteral("/swapfile1"), 64 << 20);
        makeFile(vm + QStringLiteral("/other/swapfile9"),
                 1 << 20); // prefix is tested on the relative path
        makeFile(vm + QStringLiteral("/notswap"), 1 << 20);

        auto fed = std::make_unique<FedMemStatsSource>();
        FedMemStatsSource *source = fed.get();
        source->processList = "dynamic_pager -F " + QFile::encodeName(vm) + "/swapfile\n";
        MenuMeterMemStats stats(std::move(fed));

        auto reading = stats.getSwapStats();
        QVERIFY(reading);
        QCOMPARE(reading->value(QStringLiteral("swappath")).toString(), vm);
        QCOMPARE(reading->value(QStringLiteral("swapcount")).toInt(), 2);
        QCOMPARE(reading->value(QStringLiteral("swapcountmax")).toInt(), 2);
        QCOMPARE(reading->value(QStringLiteral("swapsize")).toDouble(), 128.0);

        // The location is looked up once per object.
        source->processList = QByteArray("dynamic_pager -F /elsewhere/swapfile");
        QVERIFY(QFile::remove(vm + QStringLiteral("/swapfile1")));
        reading = stats.getSwapStats();
        QCOMPARE(reading->value(QStringLiteral("swappath")).toString(), vm);
        QCOMPARE(reading->value(QStringLiteral("swapcount")).toInt(), 1);
        QCOMPARE(reading->value(QStringLiteral("swapcountmax")).toInt(), 2);

        // A folder whose name has the prefix is not counted, a file inside it is.
        QVERIFY(QDir().mkpath(vm + QStringLiteral("/swapfile2")));
        makeFile(vm + QStringLiteral("/swapfile2/part"), 1 << 20);
        reading = stats.getSwapStats();
        QCOMPARE(reading->value(QStringLiteral("swapcount")).toInt(), 2);
        QCOMPARE(reading->value(QStringLiteral("swapsize")).toDouble(), 65.0);

        // A missing folder counts nothing and leaves the mark alone.
        QVERIFY(QDir(vm).removeRecursively());
        reading = stats.getSwapStats();
        QCOMPARE(reading->value(QStringLiteral("swapcount")).toInt(), 0);
        QCOMPARE(reading->value(QStringLiteral("swapsize")).toDouble(), 0.0);
        QCOMPARE(reading->value(QStringLiteral("swapcountmax")).toInt(), 2);
    }

    void defaultLocationWhenNoPagerRuns()
    {
        SystemLog::Capture log;
        auto fed = std::make_unique<FedMemStatsSource>();
        fed->processList = QByteArray("  PID COMMAND\n    1 /sbin/init\n");
        MenuMeterMemStats stats(std::move(fed));
        const auto reading = stats.getSwapStats();
        QVERIFY(reading);
        QCOMPARE(reading->value(QStringLiteral("swappath")).toString(), QStringLiteral("/var/vm/"));
        QCOMPARE(log.lines(), QStringList{kDefaultLog});
        // Looked up once: no second log line.
        stats.getSwapStats();
        QCOMPARE(log.lines().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSwapStats)
#include "TestSwapStats.moc"
