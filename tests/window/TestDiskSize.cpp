// Reading sizes as people type them, and saying them back.
#include "DiskSize.h"

#include <QLocale>
#include <QTest>

using DiskSize::Problem;

class TestDiskSize : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void describe();
    void germanDecimalComma();
    void describedSizesReadBack();
};

Q_DECLARE_METATYPE(DiskSize::Problem)

namespace {
constexpr qint64 memory = 8ll << 20; // an 8 GiB machine
}

void TestDiskSize::read_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Problem>("problem");
    QTest::addColumn<qint64>("kib");
    const auto ok = [](const char *text, qint64 kib) {
        QTest::newRow(text) << QString::fromUtf8(text) << Problem::None << kib;
    };
    const auto refused = [](const char *text, Problem problem) {
        QTest::newRow(text) << QString::fromUtf8(text) << problem << qint64(0);
    };
    ok("65536", 65536);
    ok("  8192 ", 8192);
    ok("224", 224);
    ok("300K", 300);
    ok("300kib", 300);
    ok("512M", 512 * 1024);
    ok("512 MiB", 512 * 1024);
    ok("512 mib", 512 * 1024);
    ok("1G", 1 << 20);
    ok("1gib", 1 << 20);
    ok("1.5G", 3 << 19);
    ok("0.5 M", 512);
    ok("2.3333M", 2389); // fractions of a KiB are dropped
    ok("25%", memory / 4);
    ok("12.5 %", memory / 8);
    ok("2047G", 2047ll << 20);
    // The decimal units people type mean the same 1024-based ones.
    ok("1 GB", 1 << 20);
    ok("1gb", 1 << 20);
    ok("512MB", 512 * 1024);
    ok("300 Kb", 300);

    for (const char *text :
         {"",    "   ",  "12abc",  "1e3",    "0x10", "8192.9", "1.5",  "-1G",
          "+3",  "1,5G", "1.5.0G", "G",      ".5G",  "5.G",    "1  G", "1 GiB2",
          "1 T", "%",    "twelve", "12 abc", "１２", "1 GBB",  "1 Gi", "1 MiB B"})
        refused(text, Problem::NotASize);
    refused("0", Problem::Zero);
    refused("0G", Problem::Zero);
    refused("0%", Problem::Zero);
    refused("223", Problem::TooSmall);
    refused("0.1M", Problem::TooSmall);
    refused("2048G", Problem::TooLarge); // 2^32 blocks of 512 bytes
    refused("2147483648", Problem::TooLarge);
    refused("99999999999999999999999", Problem::TooLarge);
    refused("99999999999999999999999G", Problem::TooLarge);
}

void TestDiskSize::read()
{
    QFETCH(QString, text);
    QFETCH(Problem, problem);
    QFETCH(qint64, kib);
    const DiskSize::Reading reading = DiskSize::read(text, memory);
    QCOMPARE(reading.problem, problem);
    QCOMPARE(reading.ok(), problem == Problem::None);
    if (reading.ok())
        QCOMPARE(reading.kib, kib);
}

void TestDiskSize::describe()
{
    QCOMPARE(DiskSize::read(QStringLiteral("25%"), -1).problem, Problem::NoMemoryFigure);
    QCOMPARE(DiskSize::read(QStringLiteral("64M"), -1).kib, 65536);

    QCOMPARE(DiskSize::describe(224), QStringLiteral("224 KiB"));
    QCOMPARE(DiskSize::describe(1023), QStringLiteral("1023 KiB"));
    QCOMPARE(DiskSize::describe(1024), QStringLiteral("1 MiB"));
    QCOMPARE(DiskSize::describe(1536), QStringLiteral("1.5 MiB"));
    QCOMPARE(DiskSize::describe(65536), QStringLiteral("64 MiB"));
    QCOMPARE(DiskSize::describe(3 << 19), QStringLiteral("1.5 GiB"));
    QCOMPARE(DiskSize::describe(DiskSize::largestKiB), QStringLiteral("2048 GiB"));
}

void TestDiskSize::germanDecimalComma()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const DiskSize::Reading comma = DiskSize::read(QStringLiteral("1,5G"), memory);
    const DiskSize::Reading point = DiskSize::read(QStringLiteral("1.5 GB"), memory);
    const QString described = DiskSize::describe(3 << 19);
    const DiskSize::Reading grouped = DiskSize::read(QStringLiteral("1.000,5M"), memory);
    QLocale::setDefault(before);
    QCOMPARE(comma.problem, Problem::None);
    QCOMPARE(comma.kib, 3 << 19);
    QCOMPARE(point.kib, 3 << 19);
    QCOMPARE(described, QStringLiteral("1,5 GiB"));
    QCOMPARE(grouped.problem, Problem::NotASize);
}

// Every size written for people reads back as itself, in English and in German.
void TestDiskSize::describedSizesReadBack()
{
    const QLocale before;
    for (const QLocale &locale :
         {QLocale(QLocale::C), QLocale(QLocale::German, QLocale::Germany)}) {
        QLocale::setDefault(locale);
        for (const qint64 kib : {qint64(224), qint64(1023), qint64(16 << 10), qint64(512 << 10),
                                 qint64(1536), qint64(1 << 20), qint64(3 << 19), qint64(8 << 20)}) {
            const DiskSize::Reading reading = DiskSize::read(DiskSize::describe(kib), memory);
            QVERIFY2(reading.ok() && reading.kib == kib, qPrintable(DiskSize::describe(kib)));
        }
    }
    QLocale::setDefault(before);
}

QTEST_APPLESS_MAIN(TestDiskSize)
#include "TestDiskSize.moc"
