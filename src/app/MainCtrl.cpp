#include "MainCtrl.h"

#include "DiskKeeper.h"
#include "Localization.h"
#include "MediaLocation.h"
#include "Paths.h"
#include "PrefrencesCtrl.h"
#include "QVXAlerts.h"
#include "RamDisk.h"
#include "Settings.h"
#include "SystemDisks.h"
#include "Workspace.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <unistd.h>

MainCtrl::MainCtrl()
{
    // Closing the last window is a quit like any other and goes through the guard.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        QGuiApplication::setQuitOnLastWindowClosed(false);
}

MainCtrl::~MainCtrl()
{
    m_quitting = true;
    const QList<CreateWindowCtrl *> windows = listOfRamDisks();
    m_listOfRamDisks.clear();
    for (CreateWindowCtrl *ctrl : windows) {
        ctrl->setDelegate(nullptr);
        delete ctrl;
    }
}

void MainCtrl::initialize()
{
    Settings::registerDefaults();
}

void MainCtrl::applicationDidFinishLaunching()
{
    Workspace::shared().activateApplication();
    QVXApp::startWithDelegate(this);
}

void MainCtrl::QVXAppCanStartToInitialize()
{
    m_listOfRamDisks.clear();
    adoptMountedDisks();
    if (!m_listOfRamDisks.isEmpty())
        return;
    m_firstCreateWindow = CreateWindowCtrl::sharedCreateWindowCtrl();
    adopt(m_firstCreateWindow);
}

void MainCtrl::adoptMountedDisks()
{
    const QList<DiskInfo> disks = m_mountedDisks ? m_mountedDisks() : adoptableDisks();
    for (const DiskInfo &disk : disks) {
        if (!disk.mountPath.isEmpty())
            windowForMountedDisk(disk);
    }
}

CreateWindowCtrl *MainCtrl::windowForMountedDisk(const DiskInfo &disk)
{
    const QList<CreateWindowCtrl *> listed = listOfRamDisks();
    CreateWindowCtrl *ctrl = listed.isEmpty() ? CreateWindowCtrl::sharedCreateWindowCtrl()
                                              : CreateWindowCtrl::newRamWindow();
    ctrl->adoptMountedDisk(disk);
    adopt(ctrl);
    cascade(ctrl, listed.isEmpty() ? nullptr : listed.last());
    if (!m_firstCreateWindow)
        m_firstCreateWindow = ctrl;
    return ctrl;
}

void MainCtrl::showMountedDisk(const DiskInfo &disk)
{
    if (!m_quitting && !disk.mountPath.isEmpty())
        windowForMountedDisk(disk)->showWindow();
}

namespace {

// Whether `path` is one of `roots` (absolute folders) or lies below one.
bool isUnderAny(const QString &path, const QStringList &roots)
{
    const QString cleaned = QDir::cleanPath(path);
    return std::any_of(roots.cbegin(), roots.cend(), [&cleaned](const QString &root) {
        const QString folder = QDir::cleanPath(root);
        return !root.isEmpty() && QDir::isAbsolutePath(folder) &&
               (cleaned == folder ||
                cleaned.startsWith(folder == QStringLiteral("/") ? folder
                                                                 : folder + QLatin1Char('/')));
    });
}

} // namespace

bool MainCtrl::isAdoptable(const DiskInfo &disk, uint uid, const QStringList &roots)
{
    return !disk.mountPath.isEmpty() && disk.ownerUid == uid && isUnderAny(disk.mountPath, roots);
}

QStringList MainCtrl::adoptionRoots()
{
    return {QDir::homePath(), Paths::expandTilde(Settings::mountLocation()),
            MediaLocation::folder()};
}

QList<DiskInfo> MainCtrl::adoptableDisks()
{
    const QStringList roots = adoptionRoots();
    // The helper's list costs a pkexec call (and may ask for a password): asked only when the
    // mount table shows a memory disk of ours where one would be taken over.
    const QList<SystemDisks::Mount> mounts = SystemDisks::mounts();
    if (std::none_of(mounts.cbegin(), mounts.cend(), [&roots](const SystemDisks::Mount &mount) {
            return isUnderAny(mount.mountPoint, roots) &&
                   SystemDisks::isOurMemoryDevice(mount.source);
        }))
        return {};
    QList<DiskInfo> adoptable;
    const QList<DiskInfo> disks = DiskInventory::disks();
    for (const DiskInfo &disk : disks)
        if (isAdoptable(disk, uint(getuid()), roots))
            adoptable << disk;
    return adoptable;
}

void MainCtrl::QVXAppEndedToInitialize()
{
    const QList<CreateWindowCtrl *> windows = listOfRamDisks();
    for (CreateWindowCtrl *ctrl : windows)
        if (ctrl != m_firstCreateWindow)
            ctrl->showWindow();
    if (m_firstCreateWindow)
        m_firstCreateWindow->showWindow(); // in front
}

void MainCtrl::QVXAppIsRunningForTheFirstTime() {}

QList<CreateWindowCtrl *> MainCtrl::listOfRamDisks() const
{
    QList<CreateWindowCtrl *> windows;
    for (const QPointer<CreateWindowCtrl> &ctrl : m_listOfRamDisks)
        if (ctrl)
            windows.append(ctrl);
    return windows;
}

void MainCtrl::adopt(CreateWindowCtrl *ctrl)
{
    // Qt deletes a window once it has closed for good; one closed over a mounted disk is only
    // hidden and stays listed.
    ctrl->setAttribute(Qt::WA_DeleteOnClose);
    ctrl->setDelegate(this);
    m_listOfRamDisks.append(ctrl);
    installMenuBar(ctrl);
    ctrl->adjustWindowSize();
    ctrl->centerWindow();
}

void MainCtrl::newRamDisk()
{
    CreateWindowCtrl *ctrl = CreateWindowCtrl::newRamWindow();
    // The most recently opened controller still listed, even if its window is hidden.
    const QList<CreateWindowCtrl *> listed = listOfRamDisks();
    CreateWindowCtrl *last = listed.isEmpty() ? nullptr : listed.last();
    adopt(ctrl);
    cascade(ctrl, last);
    ctrl->showWindow();
}

void MainCtrl::cascade(CreateWindowCtrl *ctrl, CreateWindowCtrl *last)
{
    if (!last)
        return;
    // Left edge 32 to the right and top edge 32 lower than the previous window's, whatever the
    // two heights; not fitted to the screen.
    const QRect previous = last->frameGeometry();
    ctrl->move(previous.topLeft() + QPoint(CascadeOffset, CascadeOffset));
}

void MainCtrl::removeDiskWindow(CreateWindowCtrl *ctrl)
{
    for (qsizetype i = 0; i < m_listOfRamDisks.size(); ++i) {
        if (m_listOfRamDisks.at(i) == ctrl) {
            m_listOfRamDisks.removeAt(i);
            return;
        }
    }
}

int MainCtrl::visibleWindowCount() const
{
    const QList<CreateWindowCtrl *> windows = listOfRamDisks();
    return int(std::count_if(windows.cbegin(), windows.cend(),
                             [](const CreateWindowCtrl *ctrl) { return ctrl->isVisible(); }));
}

bool MainCtrl::diskWindowMayClose(CreateWindowCtrl *ctrl)
{
    if (m_quitting || !m_listOfRamDisks.contains(ctrl) || !ctrl->isVisible() ||
        visibleWindowCount() > 1)
        return true;
    // The last window on screen. With its own disk mounted, its close sheet asks (and "close"
    // then ends the application); otherwise closing it is quitting.
    if (ctrl->disk() && ctrl->disk()->isMountedAndActive())
        return true;
    terminate();
    return false;
}

void MainCtrl::diskWindowClosedLeavingDisk(CreateWindowCtrl *ctrl)
{
    Q_UNUSED(ctrl);
    // The user has just said the disk may stay mounted: with no window left, nothing is asked
    // again. With a tray icon the program stays there, the disk's window a click away.
    if (visibleWindowCount() == 0 && !m_staysInTray)
        finishTermination();
}

int MainCtrl::applicationShouldTerminate()
{
    if (anyDiskActive.load() <= 0)
        return TerminateNow;
    const int answer = QVXRunAlertPanelWithDontShowAgain(
        QStringLiteral("warningQuit"),
        localizedStringForKey(QStringLiteral("WarningSomeDiskActive")),
        localizedStringForKey(QStringLiteral("YouWillHaveToUnmountTheDiskByYourSelf")),
        localizedStringForKey(QStringLiteral("Cancel")),
        localizedStringForKey(QStringLiteral("Quit")),
        localizedStringForKey(QStringLiteral("EjectAll")));
    switch (answer) {
    case QVXAlertDefaultReturn:
        return TerminateCancel;
    case QVXAlertAlternateReturn:
        return TerminateNow;
    case QVXAlertOtherReturn: {
        // Every listed window, closed ones included; the count is read once.
        const QList<CreateWindowCtrl *> windows = listOfRamDisks();
        for (CreateWindowCtrl *ctrl : windows)
            ctrl->destroyDisk();
        return TerminateCancel;
    }
    default:
        return TerminateNow;
    }
}

void MainCtrl::terminate()
{
    // A quit asked for while the guard's alert is up (another shortcut, the last window's close
    // box) is the same attempt: it gets no second alert.
    if (m_asking || m_quitting)
        return;
    m_asking = true;
    const int reply = applicationShouldTerminate();
    m_asking = false;
    if (reply == TerminateNow)
        finishTermination();
}

void MainCtrl::quitLeavingDisks()
{
    finishTermination();
}

void MainCtrl::finishTermination()
{
    if (m_quitting)
        return;
    m_quitting = true;
    saveKeptDisks();
    // Leaving the event loop ends the process: the windows are not asked to close again. A
    // running eject finishes first, since the application waits for its thread pool on exit.
    if (m_terminator)
        m_terminator();
    else
        QCoreApplication::exit(0);
}

void MainCtrl::saveKeptDisks()
{
    // All saves start together; then each is waited for within what is left of the limit. A
    // disk being ejected saves in its eject's worker, which the exit waits for.
    QList<DiskKeeper *> keepers;
    const QList<CreateWindowCtrl *> windows = listOfRamDisks();
    for (CreateWindowCtrl *ctrl : windows) {
        if (ctrl->keeper() && !ctrl->isTearingDown()) {
            ctrl->keeper()->startSave();
            keepers << ctrl->keeper();
        }
    }
    QElapsedTimer elapsed;
    elapsed.start();
    for (DiskKeeper *keeper : std::as_const(keepers))
        keeper->saveForQuit(int(std::max<qint64>(0, QuitSaveLimitMs - elapsed.elapsed())));
}

PrefrencesCtrl *MainCtrl::preferences()
{
    if (!m_preferences) {
        m_preferences = std::make_unique<PrefrencesCtrl>();
        // Disks already saving follow a new interval at once.
        connect(m_preferences.get(), &PrefrencesCtrl::saveEveryMinutesChanged, this, [this] {
            const QList<CreateWindowCtrl *> windows = listOfRamDisks();
            for (CreateWindowCtrl *ctrl : windows)
                if (ctrl->keeper() && !ctrl->isTearingDown())
                    ctrl->keeper()->startSaving();
        });
    }
    return m_preferences.get();
}

void MainCtrl::showPreferences()
{
    preferences()->showWindow();
}

void MainCtrl::showAbout()
{
    QMessageBox box(QApplication::activeWindow());
    box.setObjectName(QStringLiteral("aboutBox"));
    box.setWindowTitle(localizedStringForKey(QStringLiteral("AboutTitle")));
    box.setIconPixmap(QApplication::windowIcon().pixmap(64, 64));
    box.setText(localizedStringForKey(QStringLiteral("AboutText"))
                    .arg(QCoreApplication::applicationVersion()));
    box.setInformativeText(localizedStringForKey(QStringLiteral("AboutLicence")));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

void MainCtrl::installMenuBar(CreateWindowCtrl *ctrl)
{
    QMenuBar *bar = ctrl->menuBar();
    bar->clear();
    const auto add = [this](QMenu *menu, const char *key, const char *name, auto slot) {
        QAction *action = menu->addAction(localizedStringForKey(QLatin1String(key)), this, slot);
        action->setObjectName(QLatin1String(name));
        return action;
    };

    QMenu *fileMenu = bar->addMenu(localizedStringForKey(QStringLiteral("MenuFile")));
    fileMenu->setObjectName(QStringLiteral("fileMenu"));
    add(fileMenu, "MenuNew", "newAction", &MainCtrl::newRamDisk)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    QAction *close = fileMenu->addAction(localizedStringForKey(QStringLiteral("MenuClose")), ctrl,
                                         &QWidget::close);
    close->setObjectName(QStringLiteral("closeAction"));
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    QAction *eject = fileMenu->addAction(localizedStringForKey(QStringLiteral("MenuEject")), ctrl,
                                         &CreateWindowCtrl::destroyDisk);
    eject->setObjectName(QStringLiteral("ejectAction"));
    eject->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    fileMenu->addSeparator();
    QAction *prefs =
        add(fileMenu, "MenuPreferences", "preferencesAction", &MainCtrl::showPreferences);
    prefs->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    prefs->setMenuRole(QAction::PreferencesRole);
    fileMenu->addSeparator();
    QAction *quit = add(fileMenu, "MenuQuit", "quitAction", &MainCtrl::terminate);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);

    QMenu *helpMenu = bar->addMenu(localizedStringForKey(QStringLiteral("MenuHelp")));
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    add(helpMenu, "MenuAbout", "aboutAction", &MainCtrl::showAbout)
        ->setMenuRole(QAction::AboutRole);
}
