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

    // What became of a request to show a folder.
    struct Shown
    {
        bool asked = false;    // a file manager (or the desktop's opener) was asked
        bool accepted = false; // and took the request
        QString how;           // why none was asked, or why it failed; empty when shown
    };

    // Asks the desktop's file manager to show `path` (org.freedesktop.FileManager1.ShowItems
    // on the session bus), falling back to opening the folder. Nothing is asked when there is
    // no desktop session, or while tests run (QStandardPaths test mode, or VELLUMAR_NO_DESKTOP
    // set).
    Shown showFolder(const QString &path);
    // Opens the folder itself (a link's click). Returns whether a request was made.
    bool openFolder(const QString &path);
    bool hasDesktopSession() const;

    // Brings the application to the front; the windowed application installs the handler.
    void activateApplication();

    using Handler = std::function<bool(const QString &path)>;
    // The windowed application opens folders through Qt; the default asks xdg-open.
    void setFolderOpener(Handler opener);
    // Replaces the file manager's bus call (tests): answers whether the request was taken, with
    // the error's words in `error` when not. While one is installed, showFolder() asks it (and
    // the folder opener) even where no desktop session is seen.
    using Asker = std::function<bool(const QString &path, QString *error)>;
    void setFileManagerAsker(Asker asker);
    void setActivator(std::function<void()> activator);

private:
    Workspace() = default;
    bool askFileManager(const QString &path, QString *error) const;
    Handler m_folderOpener;
    Asker m_asker;
    std::function<void()> m_activator;
};
