// A real memory file system filled past 90 %: the desktop's notification service (a private
// one, on a bus of the test's own) hears of it exactly once. Needs root to mount.
#include "DesktopNotifications.h"
#include "DiskAlerts.h"
#include "Localization.h"
#include "NotificationBus.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class TestDiskAlertsReal : public QObject
{
    Q_OBJECT

    static bool run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

private slots:
    void initTestCase() { Localization::install(QLocale(QLocale::English)); }

    void aFullDiskIsOneNotification()
    {
        if (geteuid() != 0)
            QSKIP("mounting a memory file system needs root");
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString mountPath = folder.path();
        QVERIFY(run(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=2m"), QStringLiteral("vellumar-test"), mountPath}));
        const auto unmount = qScopeGuard([&] { run(QStringLiteral("umount"), {mountPath}); });

        NotificationBus bus;
        if (bus.address().isEmpty())
            QFAIL(qPrintable(bus.whyNot()));
        DesktopNotifications notifications(bus.address());
        DiskAlerts alerts(nullptr, std::make_shared<DiskAlerts::Latch>());
        connect(&alerts, &DiskAlerts::raised, this,
                [&](const QString &summary, const QString &body) {
                    notifications.show(summary, body);
                });

        // Half full: nothing. 95 % full, checked as the window does every refresh: one message.
        QFile file(mountPath + QStringLiteral("/data"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(QByteArray(1024 * 1024, 'v')), 1024 * 1024);
        file.flush();
        alerts.check(mountPath, QStringLiteral("Scratch"), 16 << 20, 8 << 20);
        QCOMPARE(file.write(QByteArray(922 * 1024, 'v')), 922 * 1024);
        file.close();
        for (int i = 0; i < 3; ++i)
            alerts.check(mountPath, QStringLiteral("Scratch"), 16 << 20, 8 << 20);
        QTRY_COMPARE(bus.received().size(), 1);
        QTest::qWait(300);
        QCOMPARE(bus.received().size(), 1);
        QCOMPARE(bus.received().first().summary, QStringLiteral("Scratch is nearly full"));
        QVERIFY2(bus.received().first().body.contains(QStringLiteral("of 2 MiB")),
                 qPrintable(bus.received().first().body));
    }
};

QTEST_GUILESS_MAIN(TestDiskAlertsReal)
#include "TestDiskAlertsReal.moc"
