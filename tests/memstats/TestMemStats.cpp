#include "FedMemStatsSource.h"
#include "LinuxMemStatsSource.h"
#include "MenuMeterMemStats.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Fed
{
    FedMemStatsSource *source;
    std::unique_ptr<MenuMeterMemStats> stats;
};

// A stats object over a fed source; `prepare` runs before the first (baseline) reading.
Fed makeFed(const std::function<void(FedMemStatsSource &)> &prepare = {})
{
    auto fed = std::make_unique<FedMemStatsSource>();
    FedMemStatsSource *source = fed.get();
    if (prepare)
        prepare(*source);
    return {source, std::make_unique<MenuMeterMemStats>(std::move(fed))};
}

qint64 countOf(const QVariantMap &stats, const char *key)
{
    const QVariant value = stats.value(QLatin1String(key));
    if (value.typeId() != QMetaType::LongLong)
        qWarning("%s is not a 64-bit count", key);
    return value.toLongLong();
}

double sizeOf(const QVariantMap &stats, const char *key)
{
    const QVariant value = stats.value(QLatin1String(key));
    if (value.typeId() != QMetaType::Double)
        qWarning("%s is not a double", key);
    return value.toDouble();
}

void writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

const QByteArray kMeminfo = "MemTotal:       25165824 kB\n"
                            "MemFree:        20000000 kB\n"
                            "MemAvailable:   22000000 kB\n"
                            "Buffers:            1000 kB\n"
                            "Cached:          2000000 kB\n"
                            "Active:          1200000 kB\n"
                            "Inactive:        1600000 kB\n"
                            "Active(anon):     200000 kB\n"
                            "Inactive(anon):   600000 kB\n"
                            "Active(file):    1000000 kB\n"
                            "Inactive(file):  1000000 kB\n"
                            "Unevictable:       16000 kB\n"
                            "Shmem:            600000 kB\n"
                            "SReclaimable:      70000 kB\n"
                            "SUnreclaim:        24000 kB\n"
                            "KernelStack:        2000 kB\n"
                            "PageTables:         4000 kB\n"
                            "HugePages_Total:       0\n";

const QByteArray kVmstat = "nr_free_pages 5000000\n"
                           "pgpgin 4000\n"
                           "pgpgout 8192\n"
                           "pswpin 0\n"
                           "pgfault 9000000000\n"
                           "pgmajfault 1234\n";

} // namespace

class TestMemStats : public QObject
{
    Q_OBJECT

private slots:
    void firstReadingIsTheBaseline()
    {
        Fed fed = makeFed([](FedMemStatsSource &s) {
            s.counters.pageins = 1000;
            s.counters.pageouts = 500;
        });
        QCOMPARE(fed.source->readings, 1);

        auto stats = fed.stats->getMemStats();
        QVERIFY(stats);
        QCOMPARE(stats->size(), 15);
        QCOMPARE(countOf(*stats, "deltapageins"), 0);
        QCOMPARE(countOf(*stats, "deltapageouts"), 0);
        QCOMPARE(countOf(*stats, "pageins"), 1000);

        fed.source->counters.pageins += 7;
        fed.source->counters.pageouts += 3;
        stats = fed.stats->getMemStats();
        QCOMPARE(countOf(*stats, "deltapageins"), 7);
        QCOMPARE(countOf(*stats, "deltapageouts"), 3);
        // Every reading moves the baseline.
        stats = fed.stats->getMemStats();
        QCOMPARE(countOf(*stats, "deltapageins"), 0);
    }

    void failedReadingKeepsTheBaseline()
    {
        Fed fed = makeFed([](FedMemStatsSource &s) { s.counters.pageins = 100; });
        fed.source->counters.pageins = 110;
        fed.source->failing = true;
        QVERIFY(!fed.stats->getMemStats());
        fed.source->failing = false;
        fed.source->counters.pageins = 125;
        const auto stats = fed.stats->getMemStats();
        QVERIFY(stats);
        QCOMPARE(countOf(*stats, "deltapageins"), 25);
    }

    void noBaselineWhenTheFirstReadingFails()
    {
        // Counts since boot are no interval: the first successful reading starts one.
        Fed fed = makeFed([](FedMemStatsSource &s) {
            s.failing = true;
            s.counters.pageins = 1'000'000;
        });
        fed.source->failing = false;
        auto stats = fed.stats->getMemStats();
        QCOMPARE(countOf(*stats, "deltapageins"), 0);
        fed.source->counters.pageins += 9;
        stats = fed.stats->getMemStats();
        QCOMPARE(countOf(*stats, "deltapageins"), 9);
    }

    void countersWrapAtTheirOwnWidth()
    {
        // A 32-bit counter that stood 16 below 2^32 and now reads 16.
        Fed narrow = makeFed([](FedMemStatsSource &s) {
            s.counters.counterBits = 32;
            s.counters.pageins = (quint64(1) << 32) - 16;
            s.counters.pageouts = (quint64(1) << 31) - 16;
        });
        narrow.source->counters.pageins = 16;
        // Past 2^31 is no wrap for a 32-bit counter.
        narrow.source->counters.pageouts = (quint64(1) << 31) + 16;
        auto stats = narrow.stats->getMemStats();
        QCOMPARE(countOf(*stats, "deltapageins"), 32);
        QCOMPARE(countOf(*stats, "deltapageouts"), 32);
        QCOMPARE(countOf(*stats, "pageouts"), (qint64(1) << 31) + 16);

        // A 64-bit counter crossing 2^32 is counted plainly and never reads as negative.
        Fed wide =
            makeFed([](FedMemStatsSource &s) { s.counters.pageins = (quint64(1) << 32) - 16; });
        wide.source->counters.pageins = (quint64(1) << 32) + 16;
        wide.source->counters.faults = 5'000'000'000ull;
        wide.source->counters.hits = ~quint64(0);
        stats = wide.stats->getMemStats();
        QCOMPARE(countOf(*stats, "deltapageins"), 32);
        QCOMPARE(countOf(*stats, "pageins"), (qint64(1) << 32) + 16);
        QCOMPARE(countOf(*stats, "faults"), 5'000'000'000ll);
        QVERIFY(countOf(*stats, "hits") > 0);
    }

    void sizesInMegabytes()
    {
        Fed fed = makeFed([](FedMemStatsSource &s) {
            s.total = quint64(1) << 29;
            s.counters.pageSize = 4096;
            s.counters.wireCount = 384;
            s.counters.freeCount = 1000;
            s.counters.inactiveCount = 24;
            s.counters.activeCount = 256;
        });
        const auto stats = fed.stats->getMemStats();
        QVERIFY(stats);
        QCOMPARE(sizeOf(*stats, "total"), 512.0);
        QCOMPARE(sizeOf(*stats, "wire"), 1.5);
        QCOMPARE(sizeOf(*stats, "active"), 1.0);
        QCOMPARE(sizeOf(*stats, "freepage"), 1000 * 4096 / 1048576.0);
        QCOMPARE(sizeOf(*stats, "free"), 4.0);
        QCOMPARE(sizeOf(*stats, "used"), 508.0);
        QCOMPARE(sizeOf(*stats, "free") + sizeOf(*stats, "used"), sizeOf(*stats, "total"));
    }

    void largeMachinesShowTheirRealSize()
    {
        // 24 GiB with 16 KiB pages: nothing is cut at 32 bits.
        Fed fed = makeFed([](FedMemStatsSource &s) {
            s.total = 24ull << 30;
            s.counters.pageSize = 16384;
            s.counters.freeCount = (20ull << 30) / 16384;
            s.counters.inactiveCount = 12345;
        });
        const auto stats = fed.stats->getMemStats();
        QCOMPARE(sizeOf(*stats, "total"), 24576.0);
        QCOMPARE(sizeOf(*stats, "freepage"), 20480.0);
        QCOMPARE(sizeOf(*stats, "free") + sizeOf(*stats, "used"), 24576.0);
    }

    void usedNeverBelowZero()
    {
        Fed fed = makeFed([](FedMemStatsSource &s) {
            s.total = 100ull << 20;
            s.counters.freeCount = (80ull << 20) / 4096;
            s.counters.inactiveCount = (40ull << 20) / 4096;
        });
        const auto stats = fed.stats->getMemStats();
        QCOMPARE(sizeOf(*stats, "used"), 0.0);
        QCOMPARE(sizeOf(*stats, "free"), 120.0);

        // Nothing known about the machine at all: zero totals, no failure.
        Fed empty = makeFed([](FedMemStatsSource &s) { s.total = 0; });
        QCOMPARE(sizeOf(*empty.stats->getMemStats(), "total"), 0.0);
    }

    void linuxFiguresMapOntoTheCounters()
    {
        QTemporaryDir proc;
        writeFile(proc.filePath(QStringLiteral("meminfo")), kMeminfo);
        // Figures far into a long file are found too.
        QByteArray longVmstat;
        for (int i = 0; longVmstat.size() < 40000; ++i)
            longVmstat += "nr_padding_" + QByteArray::number(i) + " 1\n";
        writeFile(proc.filePath(QStringLiteral("vmstat")), longVmstat + kVmstat);
        LinuxMemStatsSource source(proc.path(), 4096);
        QCOMPARE(source.totalRAM(), 25165824ull * 1024);
        const auto c = source.readCounters();
        QVERIFY(c);
        QCOMPARE(c->freeCount, 20000000ull / 4);
        // Only the file cache the kernel can drop is inactive; inactive anonymous and shared
        // memory (a RAM disk) is active, so it shows as used.
        QCOMPARE(c->inactiveCount, 1000000ull / 4);
        QCOMPARE(c->activeCount, (1200000ull + 600000) / 4);
        QCOMPARE(c->wireCount, (16000ull + 24000 + 2000 + 4000) / 4);
        QCOMPARE(c->pageins, 1000ull);
        QCOMPARE(c->pageouts, 2048ull);
        QCOMPARE(c->faults, 9000000000ull);
        QCOMPARE(c->lookups, 9000000000ull);
        QCOMPARE(c->hits, 9000000000ull - 1234);
        QCOMPARE(c->cowFaults, 0ull);
        QCOMPARE(c->counterBits, 64);

        MenuMeterMemStats stats(std::make_unique<LinuxMemStatsSource>(proc.path(), 4096));
        const auto reading = stats.getMemStats();
        QCOMPARE(sizeOf(*reading, "total"), 24576.0);
        QCOMPARE(sizeOf(*reading, "used"), (25165824.0 - 21000000.0) / 1024);
    }

    void linuxReadingFailsOnMissingFigures()
    {
        QTemporaryDir proc;
        LinuxMemStatsSource source(proc.path(), 4096);
        QCOMPARE(source.totalRAM(), 0ull);
        QVERIFY(!source.readCounters());

        writeFile(proc.filePath(QStringLiteral("meminfo")),
                  QByteArray(kMeminfo).replace("MemFree:", "MemGone:"));
        writeFile(proc.filePath(QStringLiteral("vmstat")), kVmstat);
        QVERIFY(!source.readCounters());
        writeFile(proc.filePath(QStringLiteral("meminfo")), kMeminfo);
        writeFile(proc.filePath(QStringLiteral("vmstat")), "pgpgin 1\n");
        QVERIFY(!source.readCounters());
    }

    void linuxSwapAreas()
    {
        QTemporaryDir proc;
        const QString swaps = proc.filePath(QStringLiteral("swaps"));
        writeFile(swaps, "Filename\t\t\t\tType\t\tSize\t\tUsed\t\tPriority\n"
                         "/dev/vda2                               partition\t1048572\t\t0\t\t-2\n"
                         "/srv/swap\\040area/swapfile0             file\t\t2097152\t\t0\t\t-3\n"
                         "/srv/other/swapfile                     file\t\t1024\t\t0\t\t-4\n");
        MenuMeterMemStats stats(std::make_unique<LinuxMemStatsSource>(proc.path(), 4096));
        auto reading = stats.getSwapStats();
        QVERIFY(reading);
        QCOMPARE(reading->value(QStringLiteral("swappath")).toString(),
                 QStringLiteral("/srv/swap area"));
        QCOMPARE(reading->value(QStringLiteral("swapcount")).toInt(), 3);
        QCOMPARE(reading->value(QStringLiteral("swapsize")).toDouble(),
                 (1048572.0 + 2097152 + 1024) / 1024);

        // Areas come and go; the high-water mark and the location stay.
        writeFile(swaps, "Filename\t\t\t\tType\t\tSize\t\tUsed\t\tPriority\n"
                         "/dev/vda2                               partition\t1048572\t\t0\t\t-2\n");
        reading = stats.getSwapStats();
        QCOMPARE(reading->value(QStringLiteral("swapcount")).toInt(), 1);
        QCOMPARE(reading->value(QStringLiteral("swapcountmax")).toInt(), 3);
        QCOMPARE(reading->value(QStringLiteral("swappath")).toString(),
                 QStringLiteral("/srv/swap area"));

        // Partitions only: the areas' list itself stands for the location.
        MenuMeterMemStats partitions(std::make_unique<LinuxMemStatsSource>(proc.path(), 4096));
        QCOMPARE(partitions.getSwapStats()->value(QStringLiteral("swappath")).toString(), swaps);
    }

    void thisMachine()
    {
        MenuMeterMemStats stats;
        const auto reading = stats.getMemStats();
        QVERIFY(reading);
        QCOMPARE(reading->size(), 15);
        QVERIFY(sizeOf(*reading, "total") > 0);
        QVERIFY(sizeOf(*reading, "used") > 0);
        QCOMPARE(sizeOf(*reading, "free") + sizeOf(*reading, "used"), sizeOf(*reading, "total"));
        for (auto it = reading->cbegin(); it != reading->cend(); ++it)
            QVERIFY2(it.value().toDouble() >= 0, qPrintable(it.key()));
        QVERIFY(countOf(*reading, "faults") > 0);
#ifdef Q_OS_LINUX
        LinuxMemStatsSource source;
        QCOMPARE(sizeOf(*reading, "total"), source.totalRAM() / 1048576.0);
        QCOMPARE(stats.getSwapStats().has_value(), true);
#endif
    }
};

QTEST_GUILESS_MAIN(TestMemStats)
#include "TestMemStats.moc"
