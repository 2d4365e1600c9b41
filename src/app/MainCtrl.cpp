#include "MainCtrl.h"

#include "Localization.h"
#include "MountLocation.h"
#include "PrefrencesCtrl.h"
#include "QVXAlerts.h"
#include "RamDisk.h"
#include "UserDefaults.h"
#include "Workspace.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>

MainCtrl::MainCtrl()
{
    // Linux keeps no menu on screen once the last window is gone: closing it asks the quit
    // guard instead of ending the application behind the user's back.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        QGuiApplication::setQuitOnLastWindowClosed(false);
}

MainCtrl::~MainCtrl()
{
    for (const auto &ctrl : std::as_const(m_listOfRamDisks))
        ctrl->setDelegate(nullptr);
    if (m_firstCreateWindow)
        m_firstCreateWindow->setDelegate(nullptr);
}

void MainCtrl::initialize()
{
    UserDefaults::standard().registerDefaults({{MountPath_pref, DefaultMountPathLocation}});
}

void MainCtrl::applicationDidFinishLaunching()
{
    Workspace::shared().activateApplication();
    QVXApp::startWithDelegate(this);
}

void MainCtrl::QVXAppCanStartToInitialize()
{
    m_listOfRamDisks.clear();
    m_firstCreateWindow = CreateWindowCtrl::sharedCreateWindowCtrl();
    adopt(m_firstCreateWindow);
}

void MainCtrl::QVXAppEndedToInitialize()
{
    if (m_firstCreateWindow)
        m_firstCreateWindow->showWindow();
}

void MainCtrl::QVXAppIsRunningForTheFirstTime() {}

void MainCtrl::adopt(const std::shared_ptr<CreateWindowCtrl> &ctrl)
{
    ctrl->setDelegate(this);
    m_listOfRamDisks.append(ctrl);
    installMenuBar(ctrl.get());
    ctrl->adjustWindowSize();
    ctrl->centerWindow();
}

void MainCtrl::newRamDisk()
{
    const std::shared_ptr<CreateWindowCtrl> ctrl = CreateWindowCtrl::newRamWindow();
    // The most recently opened controller still listed, even if its window is hidden.
    const std::shared_ptr<CreateWindowCtrl> last =
        m_listOfRamDisks.isEmpty() ? nullptr : m_listOfRamDisks.last();
    adopt(ctrl);
    if (last) {
        // Left edge 32 to the right and top edge 32 lower than the previous window's,
        // whatever the two heights; not fitted to the screen.
        const QRect previous = last->createWindow()->frameGeometry();
        ctrl->createWindow()->move(previous.topLeft() + QPoint(CascadeOffset, CascadeOffset));
    }
    ctrl->showWindow();
}

void MainCtrl::removeDiskWindow(CreateWindowCtrl *ctrl)
{
    const qsizetype count = m_listOfRamDisks.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (m_listOfRamDisks.at(i).get() == ctrl) {
            // The window is still closing inside its own code: let go of it afterwards.
            std::shared_ptr<CreateWindowCtrl> leaving = m_listOfRamDisks.takeAt(i);
            QTimer::singleShot(0, this, [leaving] {});
            return;
        }
    }
}

int MainCtrl::visibleWindowCount() const
{
    int visible = 0;
    for (const auto &ctrl : m_listOfRamDisks)
        if (ctrl->createWindow() && ctrl->createWindow()->isVisible())
            ++visible;
    return visible;
}

bool MainCtrl::diskWindowMayClose(CreateWindowCtrl *ctrl)
{
    const bool listed = std::any_of(m_listOfRamDisks.cbegin(), m_listOfRamDisks.cend(),
                                    [ctrl](const auto &item) { return item.get() == ctrl; });
    QMainWindow *window = ctrl->createWindow();
    if (!listed || !window || !window->isVisible() || visibleWindowCount() > 1)
        return true;
    // The last window on screen: closing it ends the application, so the guard decides.
    if (applicationShouldTerminate() == TerminateNow)
        QTimer::singleShot(0, this, &MainCtrl::finishTermination);
    return false;
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
        const QList<std::shared_ptr<CreateWindowCtrl>> windows = m_listOfRamDisks;
        const qsizetype count = windows.size();
        for (qsizetype i = 0; i < count; ++i)
            windows.at(i)->destroyDisk();
        return TerminateCancel;
    }
    default:
        return TerminateNow;
    }
}

void MainCtrl::terminate()
{
    if (applicationShouldTerminate() == TerminateNow)
        finishTermination();
}

void MainCtrl::finishTermination()
{
    // A teardown that already uncounted its disk may still be handing its result over: let it
    // finish rather than end the process under a running worker.
    const auto running = [this] {
        return std::any_of(m_listOfRamDisks.cbegin(), m_listOfRamDisks.cend(),
                           [](const auto &ctrl) { return ctrl->isTearingDown(); });
    };
    const QDeadlineTimer deadline(TeardownGraceMs);
    while (running() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (m_terminator)
        m_terminator();
    else
        QCoreApplication::quit();
}

PrefrencesCtrl *MainCtrl::preferences()
{
    if (!m_preferences)
        m_preferences = std::make_unique<PrefrencesCtrl>();
    return m_preferences.get();
}

void MainCtrl::showPreferences()
{
    preferences()->showWindow();
}

void MainCtrl::showAbout()
{
    QMessageBox::about(QApplication::activeWindow(),
                       localizedStringForKey(QStringLiteral("AboutTitle")),
                       localizedStringForKey(QStringLiteral("AboutText"))
                           .arg(QCoreApplication::applicationVersion()));
}

void MainCtrl::installMenuBar(CreateWindowCtrl *ctrl)
{
    QMainWindow *window = ctrl->createWindow();
    QMenuBar *bar = window->menuBar();
    bar->clear();

    QMenu *appMenu = bar->addMenu(localizedStringForKey(QStringLiteral("MenuApp")));
    appMenu->setObjectName(QStringLiteral("appMenu"));
    QAction *about = appMenu->addAction(localizedStringForKey(QStringLiteral("MenuAbout")), this,
                                        &MainCtrl::showAbout);
    about->setObjectName(QStringLiteral("aboutAction"));
    about->setMenuRole(QAction::AboutRole);
    QAction *prefs = appMenu->addAction(localizedStringForKey(QStringLiteral("MenuPreferences")),
                                        this, &MainCtrl::showPreferences);
    prefs->setObjectName(QStringLiteral("preferencesAction"));
    prefs->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    prefs->setMenuRole(QAction::PreferencesRole);
    appMenu->addSeparator();
    QAction *quit = appMenu->addAction(localizedStringForKey(QStringLiteral("MenuQuit")), this,
                                       &MainCtrl::terminate);
    quit->setObjectName(QStringLiteral("quitAction"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);

    QMenu *fileMenu = bar->addMenu(localizedStringForKey(QStringLiteral("MenuFile")));
    fileMenu->setObjectName(QStringLiteral("fileMenu"));
    QAction *newDisk = fileMenu->addAction(localizedStringForKey(QStringLiteral("MenuNew")), this,
                                           &MainCtrl::newRamDisk);
    newDisk->setObjectName(QStringLiteral("newAction"));
    newDisk->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    QAction *close = fileMenu->addAction(localizedStringForKey(QStringLiteral("MenuClose")), window,
                                         &QWidget::close);
    close->setObjectName(QStringLiteral("closeAction"));
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
}
