#include "TrayMenu.h"

#include "DiskSize.h"
#include "DiskUsageText.h"
#include "Localization.h"
#include "MainCtrl.h"
#include "SystemDisks.h"
#include "Workspace.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QMenu>
#include <QStorageInfo>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

// What the volume mounted on `path` holds, in KiB; -1 when nothing of ours is mounted there.
qint64 usedKiB(const QString &path)
{
    const QStorageInfo volume(path);
    if (path.isEmpty() || !volume.isValid() || !volume.isReady() ||
        QDir::cleanPath(volume.rootPath()) != QDir::cleanPath(path))
        return -1;
    return (volume.bytesTotal() - volume.bytesFree()) / 1024;
}

// What the volume on `path` is made of, as the mount table shows it; `recorded` when nothing is
// mounted there.
DiskKind mountedKind(const QString &path, DiskKind recorded)
{
    const QList<SystemDisks::Mount> mounts = SystemDisks::mounts();
    for (auto it = mounts.crbegin(); it != mounts.crend(); ++it) {
        if (it->mountPoint != QDir::cleanPath(path))
            continue;
        if (it->fsType == QStringLiteral("tmpfs"))
            return DiskKind::Memory;
        return it->source.startsWith(QStringLiteral("/dev/zram")) ? DiskKind::Compressed
                                                                  : DiskKind::Block;
    }
    return recorded;
}

} // namespace

TrayMenu::TrayMenu(MainCtrl *main, QObject *parent)
    : QObject(parent), m_main(main), m_menu(std::make_unique<QMenu>())
{
    m_menu->setObjectName(QStringLiteral("trayMenu"));
    // Figures as they are when the menu opens.
    connect(m_menu.get(), &QMenu::aboutToShow, this, &TrayMenu::refresh);
    refresh();
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_icon = new QSystemTrayIcon(QApplication::windowIcon(), this);
    m_icon->setObjectName(QStringLiteral("trayIcon"));
    m_icon->setContextMenu(m_menu.get());
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == QSystemTrayIcon::Trigger)
                    m_menu->popup(QCursor::pos());
            });
    refresh();
    m_icon->show();
    m_main->setStaysInTray(true);
}

TrayMenu::~TrayMenu()
{
    if (m_icon && m_main)
        m_main->setStaysInTray(false);
    // The icon goes before the menu it shows.
    delete m_icon;
}

QString TrayMenu::diskEntryText(const QString &name, DiskKind kind, qint64 usedKiB, qint64 sizeKiB)
{
    if (usedKiB < 0)
        return localizedStringForKey(QStringLiteral("TrayDiskEntrySize"))
            .arg(name, DiskUsageText::kindWord(kind), DiskSize::describe(sizeKiB));
    return localizedStringForKey(QStringLiteral("TrayDiskEntry"))
        .arg(name, DiskUsageText::kindWord(kind), DiskSize::describe(usedKiB),
             DiskSize::describe(sizeKiB));
}

void TrayMenu::scheduleRefresh()
{
    if (m_refreshScheduled)
        return;
    m_refreshScheduled = true;
    QTimer::singleShot(0, this, &TrayMenu::refresh);
}

void TrayMenu::refresh()
{
    m_refreshScheduled = false;
    m_menu->clear();
    int disks = 0;
    const QList<CreateWindowCtrl *> windows =
        m_main ? m_main->listOfRamDisks() : QList<CreateWindowCtrl *>();
    for (CreateWindowCtrl *ctrl : windows) {
        if (ctrl->disk() && ctrl->disk()->isMountedAndActive()) {
            addDisk(ctrl);
            ++disks;
        }
    }
    if (disks == 0) {
        QAction *none = m_menu->addAction(localizedStringForKey(QStringLiteral("TrayNoDisks")));
        none->setObjectName(QStringLiteral("trayNoDisks"));
        none->setEnabled(false);
        m_menu->addSeparator();
    }
    addCommands();
    if (m_icon)
        m_icon->setToolTip(localizedStringForKey(QStringLiteral("TrayToolTip")).arg(disks));
}

void TrayMenu::addDisk(CreateWindowCtrl *ctrl)
{
    const std::shared_ptr<RamDisk> disk = ctrl->disk();
    const QString path = disk->mountPath();
    QPointer<CreateWindowCtrl> window(ctrl);

    // A "&" in the name is shown, not taken for a shortcut mark.
    QString name = disk->diskName();
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction *entry = m_menu->addAction(diskEntryText(name, mountedKind(path, disk->kind()),
                                                     usedKiB(path), disk->diskBlockSize() / 2));
    entry->setObjectName(QStringLiteral("trayDisk"));
    QFont title = entry->font();
    title.setBold(true);
    entry->setFont(title);
    connect(entry, &QAction::triggered, this, [window] {
        if (window)
            window->showWindow();
    });
    QAction *open = m_menu->addAction(localizedStringForKey(QStringLiteral("TrayOpen")));
    open->setObjectName(QStringLiteral("trayOpen"));
    connect(open, &QAction::triggered, this, [this, path, window] { openFolder(path, window); });
    QAction *eject = m_menu->addAction(localizedStringForKey(QStringLiteral("TrayEject")));
    eject->setObjectName(QStringLiteral("trayEject"));
    eject->setEnabled(!ctrl->isTearingDown());
    // The window shows how the eject goes, and why when it cannot.
    connect(eject, &QAction::triggered, this, [this, window] {
        if (!window)
            return;
        window->showWindow();
        window->destroyDisk();
        connect(window, &CreateWindowCtrl::teardownFinished, this, &TrayMenu::scheduleRefresh,
                Qt::UniqueConnection);
    });
    m_menu->addSeparator();
}

void TrayMenu::openFolder(const QString &path, CreateWindowCtrl *window)
{
    Workspace &workspace = Workspace::shared();
    if (!workspace.hasDesktopSession() || workspace.openFolder(path))
        return;
    // Nothing could show the folder: the disk's window has its path as a link.
    if (window)
        window->showWindow();
    if (m_icon)
        m_icon->showMessage(localizedStringForKey(QStringLiteral("TrayOpenFailedTitle")),
                            localizedStringForKey(QStringLiteral("TrayOpenFailed")).arg(path),
                            QSystemTrayIcon::Warning);
}

void TrayMenu::addCommands()
{
    if (!m_main)
        return;
    QAction *create = m_menu->addAction(localizedStringForKey(QStringLiteral("TrayNewDisk")),
                                        m_main, &MainCtrl::newRamDisk);
    create->setObjectName(QStringLiteral("trayNewDisk"));
    m_menu->addSeparator();
    QAction *quit = m_menu->addAction(localizedStringForKey(QStringLiteral("TrayQuit")), m_main,
                                      &MainCtrl::terminate);
    quit->setObjectName(QStringLiteral("trayQuit"));
}
