#pragma once

#include <QString>
#include <functional>

// The desktop around the application: the file manager, activation, and the names of the
// notifications posted on the shared NotificationCenter.
class Workspace
{
public:
    // Posted after a volume has been mounted; user info "NSDevicePath": the mount folder.
    static const QString didMountNotification;
    static const QString devicePathKey;

    static Workspace &shared();

    // Asks the desktop's file manager to show the folder. Does nothing when there is no
    // desktop session, or while tests run (QStandardPaths test mode, or VELLUMAR_NO_DESKTOP
    // set). Returns whether a request was made.
    bool openFolder(const QString &path);
    bool hasDesktopSession() const;

    // Brings the application to the front; the windowed application installs the handler.
    void activateApplication();

    using Handler = std::function<bool(const QString &path)>;
    // The windowed application opens folders through Qt; the default asks xdg-open.
    void setFolderOpener(Handler opener);
    void setActivator(std::function<void()> activator);

private:
    Workspace() = default;
    Handler m_folderOpener;
    std::function<void()> m_activator;
};
