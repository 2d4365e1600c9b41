// What a disk holds in memory: the words for each kind, unknown figures left out, the helper's
// figures read back whole, and the kernel's figures only for the volume on top of its folder.
#include "DiskMemoryUse.h"
#include "DiskRecords.h"
#include "DiskUsageText.h"
#include "FakeToolTables.h"
#include "Localization.h"
#include "SystemDisks.h"

#include <QLocale>
#include <QtTest>
#include <sys/statvfs.h>

Q_DECLARE_METATYPE(DiskKind)

namespace {

DiskMemoryUse use(qint64 heldKiB, qint64 dataKiB)
{
    DiskMemoryUse figures;
    figures.heldKiB = heldKiB;
    figures.dataKiB = dataKiB;
    return figures;
}

} // namespace

class TestDiskUsage : public QObject
{
    Q_OBJECT

private slots:
    void init() { Localization::install(QLocale(QLocale::English)); }

    void wordsForEachKindAndFigure_data()
    {
        QTest::addColumn<DiskKind>("kind");
        QTest::addColumn<qint64>("held");
        QTest::addColumn<qint64>("data");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("cell");
        QTest::newRow("compressed") << DiskKind::Compressed << qint64(65536) << qint64(180224)
                                    << QStringLiteral("Kind: compressed. Holds 64 MiB of memory "
                                                      "for 176 MiB of data (2.75×)")
                                    << QStringLiteral("64 MiB (2.75×)");
        QTest::newRow("whole ratio, no decimals")
            << DiskKind::Compressed << qint64(1024) << qint64(3072)
            << QStringLiteral("Kind: compressed. Holds 1 MiB of memory for 3 MiB of data (3×)")
            << QStringLiteral("1 MiB (3×)");
        QTest::newRow("ratio cut to two decimals")
            << DiskKind::Compressed << qint64(3 * 1024) << qint64(4 * 1024)
            << QStringLiteral("Kind: compressed. Holds 3 MiB of memory for 4 MiB of data (1.33×)")
            << QStringLiteral("3 MiB (1.33×)");
        QTest::newRow("compressed, data not known")
            << DiskKind::Compressed << qint64(2 * 1024 * 1024) << qint64(-1)
            << QStringLiteral("Kind: compressed. Holds 2 GiB of memory") << QStringLiteral("2 GiB");
        // Nothing written yet: no ratio of nothing to nothing.
        QTest::newRow("compressed, empty")
            << DiskKind::Compressed << qint64(0) << qint64(0)
            << QStringLiteral("Kind: compressed. Holds 0 KiB of memory") << QStringLiteral("0 KiB");
        QTest::newRow("memory") << DiskKind::Memory << qint64(12 * 1024) << qint64(-1)
                                << QStringLiteral("Kind: memory. Holds 12 MiB of memory")
                                << QStringLiteral("12 MiB");
        QTest::newRow("block: never measured")
            << DiskKind::Block << qint64(-1) << qint64(-1) << QStringLiteral("Kind: block device")
            << QStringLiteral("-");
        // Data without the memory holding it says nothing, not a ratio against nothing.
        QTest::newRow("memory held not known")
            << DiskKind::Compressed << qint64(-1) << qint64(4096)
            << QStringLiteral("Kind: compressed") << QStringLiteral("-");
    }

    void wordsForEachKindAndFigure()
    {
        QFETCH(DiskKind, kind);
        QFETCH(qint64, held);
        QFETCH(qint64, data);
        QFETCH(QString, line);
        QFETCH(QString, cell);
        QCOMPARE(DiskUsageText::kindAndHeld(kind, use(held, data)), line);
        QCOMPARE(DiskUsageText::heldCell(use(held, data)), cell);
        QCOMPARE(DiskUsageText::held(use(held, data)).isEmpty(), held < 0);
    }

    void germanHasItsOwnWordsAndSeparator()
    {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Localization::install(QLocale(QLocale::German));
        const QString line = DiskUsageText::kindAndHeld(DiskKind::Compressed, use(65536, 180224));
        const QString cell = DiskUsageText::heldCell(use(1536, 3072));
        const QString block = DiskUsageText::kindAndHeld(DiskKind::Block, {});
        Localization::install(QLocale(QLocale::English));
        QLocale::setDefault(before);
        QCOMPARE(line, QStringLiteral("Art: komprimiert. Belegt 64 MiB Arbeitsspeicher für 176 MiB "
                                      "Daten (2,75×)"));
        QCOMPARE(cell, QStringLiteral("1,5 MiB (2×)"));
        QCOMPARE(block, QStringLiteral("Art: Blockgerät"));
    }

    void theHelpersFiguresComeBackWhole()
    {
        // The list gives memory and data; the inventory keeps memory and ratio.
        DiskRecordInfo record;
        QVERIFY(DiskRecords::parseLine(
            helperListLine(QStringLiteral("/dev/zram3"), DiskKind::Compressed, 65537, 180227),
            record));
        QCOMPARE(record.memoryUsedKiB, 65537);
        const DiskMemoryUse back =
            DiskMemoryUse::listed(record.memoryUsedKiB, record.compressionRatio);
        QCOMPARE(back.heldKiB, 65537);
        QCOMPARE(back.dataKiB, 180227);

        QVERIFY(DiskRecords::parseLine(
            helperListLine(QStringLiteral("vellumar-mem2"), DiskKind::Memory, 12288, -1), record));
        QCOMPARE(record.compressionRatio, 0.0);
        const DiskMemoryUse memory = DiskMemoryUse::listed(record.memoryUsedKiB, 0);
        QCOMPARE(memory.heldKiB, 12288);
        QCOMPARE(memory.dataKiB, -1);

        QVERIFY(DiskRecords::parseLine(
            helperListLine(QStringLiteral("/dev/loop7"), DiskKind::Block, -1, -1), record));
        QVERIFY(!DiskMemoryUse::listed(record.memoryUsedKiB, record.compressionRatio).heldKnown());
    }

    void compressedDeviceFiguresAreRead()
    {
        // orig_data_size compr_data_size mem_used_total mem_limit mem_used_max ...
        const DiskMemoryUse read = DiskMemoryUse::fromZramStats(
            QStringLiteral("184549376 58720256 67108864 0 67108864 0 0 0 0\n"));
        QCOMPARE(read.heldKiB, 65536);
        QCOMPARE(read.dataKiB, 180224);
        QCOMPARE(read.ratio(), 2.75);
        for (const char *broken : {"", "184549376 58720256", "a b c d", "-5 0 -1 0"})
            QVERIFY2(!DiskMemoryUse::fromZramStats(QLatin1String(broken)).heldKnown(), broken);
    }

    void onlyTheVolumeOnTopOfTheFolderIsMeasured()
    {
        // A folder with nothing mounted on it would give its parent's figures.
        TestEnvironment env;
        const QString folder = env.path(QStringLiteral("nothing mounted"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(!DiskMemoryUse::read(DiskKind::Memory, QStringLiteral("vellumar-mem1"), folder)
                     .heldKnown());
        // Any memory file system on top of its folder stands in for a memory disk's volume.
        SystemDisks::Mount top;
        const QList<SystemDisks::Mount> mounts = SystemDisks::mounts();
        for (auto it = mounts.crbegin(); it != mounts.crend() && top.source.isEmpty(); ++it) {
            const bool covered = std::any_of(mounts.crbegin(), it, [&it](const auto &later) {
                return later.mountPoint == it->mountPoint;
            });
            if (it->fsType == QStringLiteral("tmpfs") && !covered)
                top = *it;
        }
        if (top.source.isEmpty())
            QSKIP("no memory file system is mounted here");
        const DiskMemoryUse held =
            DiskMemoryUse::read(DiskKind::Memory, top.source, top.mountPoint);
        QVERIFY(held.heldKnown());
        struct statvfs stats
        {
        };
        QCOMPARE(statvfs(QFile::encodeName(top.mountPoint).constData(), &stats), 0);
        QVERIFY(held.heldKiB <= qint64(stats.f_blocks) * qint64(stats.f_frsize) / 1024);
        QVERIFY(!held.ratio());
        // Another volume's name, the wrong kind, or a block disk: nothing is said. (The volume
        // found may be a disk another test made meanwhile.)
        const QString another = top.source == QStringLiteral("vellumar-mem1")
                                    ? QStringLiteral("vellumar-mem2")
                                    : QStringLiteral("vellumar-mem1");
        QVERIFY(!DiskMemoryUse::read(DiskKind::Memory, another, top.mountPoint).heldKnown());
        QVERIFY(!DiskMemoryUse::read(DiskKind::Compressed, top.source, top.mountPoint).heldKnown());
        QVERIFY(!DiskMemoryUse::read(DiskKind::Block, top.source, top.mountPoint).heldKnown());
    }
};

QTEST_GUILESS_MAIN(TestDiskUsage)
#include "TestDiskUsage.moc"
