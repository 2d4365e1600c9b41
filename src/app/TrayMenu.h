#pragma once

#include "DiskKind.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class CreateWindowCtrl;
class MainCtrl;
class QMenu;
class QSystemTrayIcon;

// The program's icon in the desktop's tray, for as long as the program runs. Its menu lists each
// active disk (name, kind, used of size; choosing it brings the disk's window back, a closed one
// included) with Open and Eject, then New RAM Disk and Quit. With the icon, closing the last
// window over a mounted disk leaves the program running in the tray. Where the desktop has no
// tray there is no icon; the menu is still built, and nothing else changes.
class TrayMenu : public QObject
{
    Q_OBJECT

public:
    explicit TrayMenu(MainCtrl *main, QObject *parent = nullptr);
    ~TrayMenu() override;

    QMenu *menu() const { return m_menu.get(); }
    // Null where the desktop has no tray.
    QSystemTrayIcon *icon() const { return m_icon; }

    // "Scratch (memory, 12 MiB of 64 MiB used)"; without the used part when `usedKiB` < 0.
    static QString diskEntryText(const QString &name, DiskKind kind, qint64 usedKiB,
                                 qint64 sizeKiB);

public slots:
    // Builds the menu from the windows' disks as they are now.
    void refresh();
    // The same on the next pass of the event loop (safe from one of the menu's own actions).
    void scheduleRefresh();

private:
    void addDisk(CreateWindowCtrl *ctrl);
    void addCommands();
    // Asks the file manager for the folder; when none answers, says so and shows the window.
    void openFolder(const QString &path, CreateWindowCtrl *window);

    QPointer<MainCtrl> m_main;
    std::unique_ptr<QMenu> m_menu;
    QSystemTrayIcon *m_icon = nullptr;
    bool m_refreshScheduled = false;
};
