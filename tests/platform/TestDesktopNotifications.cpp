// Notifications reach the desktop's service on the bus, and nowhere when there is no desktop.
#include "DesktopNotifications.h"
#include "NotificationBus.h"

#include <QTest>

class TestDesktopNotifications : public QObject
{
    Q_OBJECT

private slots:
    void aNotificationReachesTheService()
    {
        NotificationBus bus;
        if (bus.address().isEmpty())
            QFAIL(qPrintable(bus.whyNot()));
        DesktopNotifications notifications(bus.address());
        QVERIFY(notifications.show(QStringLiteral("Scratch is nearly full"),
                                   QStringLiteral("950 MiB of 1000 MiB is used.")));
        QTRY_COMPARE(bus.received().size(), 1);
        const NotificationBus::Notification received = bus.received().first();
        QCOMPARE(received.appName, QStringLiteral("Vellumar"));
        QCOMPARE(received.summary, QStringLiteral("Scratch is nearly full"));
        QCOMPARE(received.body, QStringLiteral("950 MiB of 1000 MiB is used."));
    }

    void noDesktopShowsNothing()
    {
        // The tests run with VELLUMAR_NO_DESKTOP=1, as a session without a desktop would.
        QCOMPARE(qgetenv("VELLUMAR_NO_DESKTOP"), QByteArray("1"));
        QVERIFY(!DesktopNotifications::shared().show(QStringLiteral("x"), QStringLiteral("y")));
        // A bus that is not there is no failure either.
        DesktopNotifications nowhere(QStringLiteral("unix:path=/nonexistent/bus"));
        QVERIFY(!nowhere.show(QStringLiteral("x"), QStringLiteral("y")));
    }
};

QTEST_GUILESS_MAIN(TestDesktopNotifications)
#include "TestDesktopNotifications.moc"
