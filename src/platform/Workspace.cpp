#include "Workspace.h"

#include <QProcess>
#include <QStandardPaths>

const QString Workspace::didMountNotification = QStringLiteral("NSWorkspaceDidMountNotification");
const QString Workspace::devicePathKey = QStringLiteral("NSDevicePath");

Workspace &Workspace::shared()
{
    static Workspace workspace;
    return workspace;
}

bool Workspace::hasDesktopSession() const
{
    if (QStandardPaths::isTestModeEnabled() || qEnvironmentVariableIsSet("VELLUMAR_NO_DESKTOP"))
        return false;
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

bool Workspace::openFolder(const QString &path)
{
    if (!hasDesktopSession())
        return false;
    if (m_folderOpener)
        return m_folderOpener(path);
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty())
        return false;
    return QProcess::startDetached(opener, {path});
}

void Workspace::activateApplication()
{
    if (m_activator)
        m_activator();
}

void Workspace::setFolderOpener(Handler opener)
{
    m_folderOpener = std::move(opener);
}

void Workspace::setActivator(std::function<void()> activator)
{
    m_activator = std::move(activator);
}
