// A disk's alerts on figures the test gives: each once per crossing, armed again only once the
// figure is back on the safe side.
#include "DiskAlerts.h"
#include "Localization.h"

#include <QSignalSpy>
#include <QTest>

namespace {

constexpr qint64 GiB = 1 << 20;

DiskAlerts::Figures disk(qint64 usedKiB, qint64 availableKiB = 8 * GiB)
{
    return {usedKiB, 1000 * 1024, 16 * GiB, availableKiB};
}

} // namespace

class TestDiskAlerts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Localization::install(QLocale(QLocale::English)); }

    void fullIsRaisedOncePerCrossing()
    {
        DiskAlerts alerts(nullptr, std::make_shared<DiskAlerts::Latch>());
        QSignalSpy raised(&alerts, &DiskAlerts::raised);
        alerts.judge(QStringLiteral("Scratch"), disk(899 * 1024));
        QCOMPARE(raised.size(), 0);
        alerts.judge(QStringLiteral("Scratch"), disk(900 * 1024));
        QCOMPARE(raised.size(), 1);
        QVERIFY(raised.at(0).at(0).toString().contains(QStringLiteral("Scratch")));
        QVERIFY(raised.at(0).at(1).toString().contains(QStringLiteral("900 MiB")));
        // Staying full, or dipping to 86 %, says nothing more.
        for (const qint64 used : {950, 999, 860, 950})
            alerts.judge(QStringLiteral("Scratch"), disk(used * 1024));
        QCOMPARE(raised.size(), 1);
        // Under 85 % it is armed again, and the next crossing is a new message.
        alerts.judge(QStringLiteral("Scratch"), disk(840 * 1024));
        alerts.judge(QStringLiteral("Scratch"), disk(910 * 1024));
        QCOMPARE(raised.size(), 2);
        // A disk whose use cannot be read raises nothing.
        alerts.judge(QStringLiteral("Scratch"), {0, 0, 16 * GiB, 8 * GiB});
        QCOMPARE(raised.size(), 2);
    }

    void lowMemoryIsOneMessageForAllDisksHoldingData()
    {
        // 1/16 of the memory, between 64 MiB and 512 MiB.
        QCOMPARE(DiskAlerts::memoryMarginKiB(16 * GiB), 512 * 1024);
        QCOMPARE(DiskAlerts::memoryMarginKiB(512 * 1024), 64 * 1024);
        QCOMPARE(DiskAlerts::memoryMarginKiB(4 * GiB), 256 * 1024);

        const auto latch = std::make_shared<DiskAlerts::Latch>();
        DiskAlerts empty(nullptr, latch);
        DiskAlerts first(nullptr, latch);
        DiskAlerts second(nullptr, latch);
        QSignalSpy fromEmpty(&empty, &DiskAlerts::raised);
        QSignalSpy fromFirst(&first, &DiskAlerts::raised);
        QSignalSpy fromSecond(&second, &DiskAlerts::raised);
        const qint64 low = 500 * 1024; // under the 512 MiB margin
        // A disk that holds nothing does not speak of memory.
        empty.judge(QStringLiteral("Empty"), disk(0, low));
        QCOMPARE(fromEmpty.size(), 0);
        first.judge(QStringLiteral("One"), disk(100 * 1024, low));
        second.judge(QStringLiteral("Two"), disk(100 * 1024, low));
        first.judge(QStringLiteral("One"), disk(100 * 1024, 100 * 1024));
        QCOMPARE(fromFirst.size(), 1);
        QCOMPARE(fromSecond.size(), 0);
        QVERIFY(fromFirst.at(0).at(1).toString().contains(QStringLiteral("500 MiB")));
        // Back above the margin but not a quarter above it: still the same crossing.
        second.judge(QStringLiteral("Two"), disk(100 * 1024, 600 * 1024));
        second.judge(QStringLiteral("Two"), disk(100 * 1024, low));
        QCOMPARE(fromFirst.size() + fromSecond.size(), 1);
        // Well above it, then below again: one new message.
        second.judge(QStringLiteral("Two"), disk(100 * 1024, 2 * GiB));
        second.judge(QStringLiteral("Two"), disk(100 * 1024, low));
        first.judge(QStringLiteral("One"), disk(100 * 1024, low));
        QCOMPARE(fromSecond.size(), 1);
        QCOMPARE(fromFirst.size(), 1);
        // Unknown figures raise nothing.
        DiskAlerts unknown(nullptr, std::make_shared<DiskAlerts::Latch>());
        QSignalSpy fromUnknown(&unknown, &DiskAlerts::raised);
        unknown.judge(QStringLiteral("U"), {100, 1000, -1, -1});
        QCOMPARE(fromUnknown.size(), 0);
    }

    void failedSaveIsRaisedUntilASaveSucceeds()
    {
        DiskAlerts alerts(nullptr, std::make_shared<DiskAlerts::Latch>());
        QSignalSpy raised(&alerts, &DiskAlerts::raised);
        const QString folder = QStringLiteral("/home/u/.local/share/vellumar/kept/Cache");
        alerts.saveEnded(false, folder, QStringLiteral("No space left on device"));
        alerts.saveEnded(false, folder, QStringLiteral("No space left on device"));
        QCOMPARE(raised.size(), 1);
        QVERIFY(raised.at(0).at(0).toString().contains(QStringLiteral("Cache")));
        QVERIFY(raised.at(0).at(1).toString().startsWith(QStringLiteral("No space left")));
        QVERIFY(raised.at(0).at(1).toString().contains(folder));
        alerts.saveEnded(true, folder, QString());
        alerts.saveEnded(false, folder, QString());
        QCOMPARE(raised.size(), 2);
    }

    void anotherDiskStartsOver()
    {
        DiskAlerts alerts(nullptr, std::make_shared<DiskAlerts::Latch>());
        QSignalSpy raised(&alerts, &DiskAlerts::raised);
        alerts.saveEnded(false, QStringLiteral("/k/A"), QString());
        // A folder that is no mount has no use to judge; the new path re-arms the save alert.
        alerts.check(QStringLiteral("/nonexistent/disk"), QStringLiteral("B"), 16 * GiB, 8 * GiB);
        alerts.saveEnded(false, QStringLiteral("/k/B"), QString());
        QCOMPARE(raised.size(), 2);
        QCOMPARE(alerts.mountPath(), QStringLiteral("/nonexistent/disk"));
    }
};

QTEST_GUILESS_MAIN(TestDiskAlerts)
#include "TestDiskAlerts.moc"
