#pragma once

#include <QString>

// Messages shown by the desktop's notification service (org.freedesktop.Notifications on the
// session bus). Where there is no session bus, under VELLUMAR_NO_DESKTOP or in test mode,
// nothing is shown and nothing fails: the windows say the same things.
class DesktopNotifications
{
public:
    // The session's service (silent as above).
    static DesktopNotifications &shared();
    // The service on the bus at `busAddress`, whatever the environment says.
    explicit DesktopNotifications(const QString &busAddress);
    ~DesktopNotifications();
    DesktopNotifications(const DesktopNotifications &) = delete;
    DesktopNotifications &operator=(const DesktopNotifications &) = delete;

    // Sends the notification without waiting for the service; false when there is no bus.
    bool show(const QString &summary, const QString &body);

private:
    explicit DesktopNotifications(bool sessionEnabled);

    QString m_connectionName; // empty: the session bus
    bool m_enabled = false;
};
