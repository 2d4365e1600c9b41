#include "DesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStandardPaths>
#include <QVariantMap>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString ObjectPath = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

DesktopNotifications &DesktopNotifications::shared()
{
    // Tests and sessions without a desktop (as the workspace decides) show nothing.
    static DesktopNotifications session(!QStandardPaths::isTestModeEnabled() &&
                                        !qEnvironmentVariableIsSet("VELLUMAR_NO_DESKTOP") &&
                                        QDBusConnection::sessionBus().isConnected());
    return session;
}

DesktopNotifications::DesktopNotifications(bool sessionEnabled) : m_enabled(sessionEnabled) {}

DesktopNotifications::DesktopNotifications(const QString &busAddress)
    : m_connectionName(QStringLiteral("vellumar-notifications-") + busAddress)
{
    m_enabled = QDBusConnection::connectToBus(busAddress, m_connectionName).isConnected();
}

DesktopNotifications::~DesktopNotifications()
{
    if (!m_connectionName.isEmpty())
        QDBusConnection::disconnectFromBus(m_connectionName);
}

bool DesktopNotifications::show(const QString &summary, const QString &body)
{
    if (!m_enabled)
        return false;
    const QDBusConnection bus = m_connectionName.isEmpty() ? QDBusConnection::sessionBus()
                                                           : QDBusConnection(m_connectionName);
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, ObjectPath, Service, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("vellumar")}};
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout (-1: the
    // service's default).
    call << QStringLiteral("Vellumar") << 0u << QStringLiteral("vellumar") << summary << body
         << QStringList() << hints << -1;
    return bus.send(call);
}
