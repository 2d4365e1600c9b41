#pragma once

#include <QList>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// A private session bus (a dbus-daemon of the test's own) with a notification service on it
// that records what it is sent, for code that talks to the desktop's notification service.
class NotificationBus : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Notification
    {
        QString appName;
        QString summary;
        QString body;
    };

    NotificationBus();
    ~NotificationBus() override;

    // The bus's address; empty when it could not be started (whyNot() says why).
    QString address() const { return m_address; }
    QString whyNot() const { return m_whyNot; }
    QList<Notification> received() const { return m_received; }

public slots:
    // The service's method, as the desktop's own services offer it.
    uint Notify(const QString &appName, uint replacesId, const QString &appIcon,
                const QString &summary, const QString &body, const QStringList &actions,
                const QVariantMap &hints, int expireTimeout);

private:
    QProcess m_daemon;
    QString m_address;
    QString m_whyNot;
    QList<Notification> m_received;
};
