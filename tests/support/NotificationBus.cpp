#include "NotificationBus.h"

#include <QDBusConnection>
#include <QDBusError>

namespace {
const QString ConnectionName = QStringLiteral("test-notification-service");
}

NotificationBus::NotificationBus()
{
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"),
                    QStringLiteral("--print-address")});
    if (!m_daemon.waitForStarted(5000)) {
        m_whyNot = QStringLiteral("dbus-daemon cannot be started: ") + m_daemon.errorString();
        return;
    }
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
    }
    const QString address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    QDBusConnection bus = QDBusConnection::connectToBus(address, ConnectionName);
    if (address.isEmpty() || !bus.isConnected()) {
        m_whyNot = QStringLiteral("the private bus did not answer: ") +
                   QString::fromUtf8(m_daemon.readAllStandardError());
        return;
    }
    if (!bus.registerService(QStringLiteral("org.freedesktop.Notifications")) ||
        !bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                            QDBusConnection::ExportAllSlots)) {
        m_whyNot = QStringLiteral("the notification service cannot be registered: ") +
                   bus.lastError().message();
        return;
    }
    m_address = address;
}

NotificationBus::~NotificationBus()
{
    QDBusConnection::disconnectFromBus(ConnectionName);
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(5000))
        m_daemon.kill();
    m_daemon.waitForFinished(5000);
}

uint NotificationBus::Notify(const QString &appName, uint replacesId, const QString &appIcon,
                             const QString &summary, const QString &body,
                             const QStringList &actions, const QVariantMap &hints,
                             int expireTimeout)
{
    Q_UNUSED(replacesId);
    Q_UNUSED(appIcon);
    Q_UNUSED(actions);
    Q_UNUSED(hints);
    Q_UNUSED(expireTimeout);
    m_received.append({appName, summary, body});
    return uint(m_received.size());
}
