#include "Workspace.h"

#include "Localization.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

const QString Workspace::didMountNotification = QStringLiteral("NSWorkspaceDidMountNotification");
const QString Workspace::devicePathKey = QStringLiteral("NSDevicePath");

namespace {

constexpr int FileManagerTimeoutMs = 5000;

bool testsRun()
{
    return QStandardPaths::isTestModeEnabled() || qEnvironmentVariableIsSet("VELLUMAR_NO_DESKTOP");
}

} // namespace

Workspace &Workspace::shared()
{
    static Workspace workspace;
    return workspace;
}

bool Workspace::hasDesktopSession() const
{
    if (testsRun())
        return false;
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

bool Workspace::askFileManager(const QString &path, QString *error) const
{
    if (m_asker)
        return m_asker(path, error);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        *error = bus.lastError().message();
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, FileManagerTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    *error = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
    return false;
}

Workspace::Shown Workspace::showFolder(const QString &path)
{
    Shown shown;
    // An installed asker stands for the desktop's file manager, wherever the program runs.
    if (testsRun() && !m_asker) {
        shown.how = localizedStringForKey(QStringLiteral("NoFileManagerAskedInTests"));
        return shown;
    }
    if (!hasDesktopSession() && !m_asker) {
        shown.how = localizedStringForKey(QStringLiteral("NoFileManagerNoDesktop"));
        return shown;
    }
    shown.asked = true;
    QString busError;
    if (askFileManager(path, &busError)) {
        shown.accepted = true;
        return shown;
    }
    // No file manager on the bus: the desktop's opener gets the folder itself.
    if (openFolder(path)) {
        shown.accepted = true;
        return shown;
    }
    shown.how = localizedStringForKey(QStringLiteral("NothingShowsTheFolder")).arg(path, busError);
    return shown;
}

bool Workspace::openFolder(const QString &path)
{
    if (m_folderOpener && (m_asker || hasDesktopSession()))
        return m_folderOpener(path);
    if (!hasDesktopSession())
        return false;
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

void Workspace::setFileManagerAsker(Asker asker)
{
    m_asker = std::move(asker);
}

void Workspace::setActivator(std::function<void()> activator)
{
    m_activator = std::move(activator);
}
