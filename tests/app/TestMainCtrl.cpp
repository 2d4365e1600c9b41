// The application controller: start-up, the cascade, the window list and the quit guard.
#include "MainCtrl.h"

#include "../window/WindowTestSupport.h"
#include "AlertAnswers.h"
#include "FakeTools.h"
#include "Localization.h"
#include "MountLocation.h"
#include "PrefrencesCtrl.h"
#include "QVXAlerts.h"
#include "QVXLinkTextField.h"
#include "RamDisk.h"
#include "TestEnvironment.h"
#include "ToolTable.h"
#include "UserDefaults.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

// Sets the active disk counter for one test and puts it back.
struct CounterAt
{
    int saved;
    explicit CounterAt(int value) : saved(anyDiskActive.exchange(value)) {}
    ~CounterAt() { anyDiskActive = saved; }
};

QVXLinkTextField *linkOf(CreateWindowCtrl *ctrl)
{
    return ctrl->createWindow()->findChild<QVXLinkTextField *>(QStringLiteral("mountResult"));
}

} // namespace

class TestMainCtrl : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startUpRegistersTheDefaultAndShowsTheFirstWindow();
    void menusCarryTheCommands();
    void newWindowsCascade();
    void anEmptyListCentresTheNewWindow();
    void removeDiskWindowRemovesOnlyThatController();
    void quitGuard_data();
    void quitGuard();
    void ejectAllReachesEveryListedWindowAndCancels();
    void quitCommandGoesThroughTheGuard();
    void closingTheLastVisibleWindowGoesThroughTheGuard();
    void aQuitAttemptAsksOnceAndEndsOnce();
    void germanMenusAndTheAboutBox();
    void closingTheLastWindowOverItsDiskAsksTheSheetOnly();

private:
    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<MainCtrl> m_main;
    int m_terminations = 0;
};

void TestMainCtrl::init()
{
    m_env = std::make_unique<TestEnvironment>();
    QVXResetDontShowAgainChoices();
    MainCtrl::initialize();
    m_main = std::make_unique<MainCtrl>();
    m_terminations = 0;
    m_main->setTerminator([this] { ++m_terminations; });
    m_main->setMountedDiskSource([] { return QList<DiskInfo>(); }); // no disks of this machine
    m_main->applicationDidFinishLaunching();
}

void TestMainCtrl::cleanup()
{
    m_main.reset();
    QTest::qWait(1); // windows let go by the list go on the next pass
    m_env.reset();
}

void TestMainCtrl::startUpRegistersTheDefaultAndShowsTheFirstWindow()
{
    QVERIFY(!QGuiApplication::quitOnLastWindowClosed());
    QCOMPARE(UserDefaults::standard().stringForKey(MountPath_pref), DefaultMountPathLocation);
    QCOMPARE(m_main->listOfRamDisks().size(), 1);
    const auto first = m_main->listOfRamDisks().first();
    QCOMPARE(first, m_main->firstCreateWindow());
    QCOMPARE(first, CreateWindowCtrl::sharedCreateWindowCtrl());
    QCOMPARE(first->delegate(), static_cast<CreateWindowCtrlDelegate *>(m_main.get()));
    QVERIFY(first->createWindow()->isVisible());
    QCOMPARE(first->selectedTab(), QStringLiteral("CREATE"));
    // The first window is centred on the screen.
    const QPoint screenCentre = first->createWindow()->screen()->availableGeometry().center();
    QVERIFY((first->createWindow()->frameGeometry().center() - screenCentre).manhattanLength() <=
            4);
}

void TestMainCtrl::menusCarryTheCommands()
{
    QMainWindow *window = m_main->listOfRamDisks().first()->createWindow();
    const auto action = [window](const char *name) {
        return window->findChild<QAction *>(QLatin1String(name));
    };
    QCOMPARE(action("newAction")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    QCOMPARE(action("closeAction")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_W));
    QCOMPARE(action("quitAction")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    QCOMPARE(action("preferencesAction")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    QVERIFY(action("aboutAction"));
    QVERIFY(!window->menuBar()->actions().isEmpty());
    // The menu bar does not eat into the window's content.
    QVERIFY(window->centralWidget()->height() >= window->centralWidget()->minimumHeight());

    action("newAction")->trigger();
    QCOMPARE(m_main->listOfRamDisks().size(), 2);
    QVERIFY(m_main->listOfRamDisks().last()->createWindow()->isVisible());

    action("preferencesAction")->trigger();
    QVERIFY(m_main->preferences()->preferencesWindow()->isVisible());
    m_main->preferences()->preferencesWindow()->close();
}

void TestMainCtrl::newWindowsCascade()
{
    const auto frameOf = [](CreateWindowCtrl *ctrl) {
        return ctrl->createWindow()->frameGeometry();
    };
    const auto first = m_main->listOfRamDisks().first();
    m_main->newRamDisk();
    const auto second = m_main->listOfRamDisks().last();
    QCOMPARE(frameOf(second).topLeft(), frameOf(first).topLeft() + QPoint(32, 32));

    // A shorter previous window: the new one's top edge is still 32 below the previous top.
    second->createWindow()->setFixedHeight(second->createWindow()->height() - 60);
    m_main->newRamDisk();
    const auto third = m_main->listOfRamDisks().last();
    QVERIFY(frameOf(third).height() > frameOf(second).height());
    QCOMPARE(frameOf(third).topLeft(), frameOf(second).topLeft() + QPoint(32, 32));
    QVERIFY(frameOf(third).bottom() > frameOf(second).bottom() + 32);

    // A hidden window that is still listed still anchors the next one.
    third->createWindow()->hide();
    m_main->newRamDisk();
    const auto fourth = m_main->listOfRamDisks().last();
    QCOMPARE(frameOf(fourth).topLeft(), frameOf(third).topLeft() + QPoint(32, 32));
    QCOMPARE(m_main->listOfRamDisks().size(), 4);
}

void TestMainCtrl::anEmptyListCentresTheNewWindow()
{
    const auto first = m_main->listOfRamDisks().first();
    first->createWindow()->move(10, 10);
    m_main->removeDiskWindow(first);
    delete first; // no longer listed, so no longer the controller's to delete
    QVERIFY(m_main->listOfRamDisks().isEmpty());
    m_main->newRamDisk();
    const auto fresh = m_main->listOfRamDisks().first();
    const QPoint screenCentre = fresh->createWindow()->screen()->availableGeometry().center();
    QVERIFY((fresh->createWindow()->frameGeometry().center() - screenCentre).manhattanLength() <=
            4);
}

void TestMainCtrl::removeDiskWindowRemovesOnlyThatController()
{
    m_main->newRamDisk();
    m_main->newRamDisk();
    const auto listed = m_main->listOfRamDisks();
    CreateWindowCtrl stranger;
    m_main->removeDiskWindow(&stranger);
    QCOMPARE(m_main->listOfRamDisks(), listed);
    m_main->removeDiskWindow(listed.at(1));
    QCOMPARE(m_main->listOfRamDisks(), (QList{listed.at(0), listed.at(2)}));
    delete listed.at(1);
}

void TestMainCtrl::quitGuard_data()
{
    QTest::addColumn<int>("counter");
    QTest::addColumn<QString>("button"); // empty: no alert expected
    QTest::addColumn<int>("reply");
    QTest::newRow("no disk") << 0 << "" << 1;
    QTest::newRow("counter below zero") << -1 << "" << 1;
    QTest::newRow("Cancel") << 2 << "defaultButton" << 0;
    QTest::newRow("Quit") << 2 << "alternateButton" << 1;
    QTest::newRow("EjectAll") << 1 << "otherButton" << 0;
}

void TestMainCtrl::quitGuard()
{
    QFETCH(int, counter);
    QFETCH(QString, button);
    QFETCH(int, reply);
    CounterAt active(counter);
    AlertAnswer answer(button.isEmpty() ? QByteArray("defaultButton") : button.toLatin1());
    QCOMPARE(m_main->applicationShouldTerminate(), reply);
    QCOMPARE(answer.shown, !button.isEmpty());
    if (answer.shown)
        QCOMPARE(answer.title, localizedStringForKey(QStringLiteral("WarningSomeDiskActive")));
    QCOMPARE(int(anyDiskActive), counter); // the guard never changes the counter
    QTest::qWait(1);
}

void TestMainCtrl::ejectAllReachesEveryListedWindowAndCancels()
{
    m_main->newRamDisk();
    m_main->newRamDisk();
    const auto windows = m_main->listOfRamDisks();
    windows.at(1)->createWindow()->hide(); // closed, still listed
    for (const auto &ctrl : windows)
        linkOf(ctrl)->setUsePointHandCursor(true);
    CounterAt active(1);
    AlertAnswer answer("otherButton");
    QCOMPARE(m_main->applicationShouldTerminate(), int(MainCtrl::TerminateCancel));
    QVERIFY(answer.shown);
    // destroyDisk reached each one: with no active disk it only turns the link cursor off.
    for (const auto &ctrl : windows)
        QVERIFY(!linkOf(ctrl)->usePointHandCursor());
    QCOMPARE(m_main->listOfRamDisks().size(), 3);
}

void TestMainCtrl::quitCommandGoesThroughTheGuard()
{
    QMainWindow *window = m_main->listOfRamDisks().first()->createWindow();
    QAction *quit = window->findChild<QAction *>(QStringLiteral("quitAction"));
    {
        CounterAt active(1);
        AlertAnswer answer("defaultButton");
        quit->trigger();
        QVERIFY(answer.shown);
        QCOMPARE(m_terminations, 0);
    }
    {
        CounterAt active(1);
        AlertAnswer answer("alternateButton");
        quit->trigger();
        QVERIFY(answer.shown);
        QCOMPARE(m_terminations, 1);
    }
}

void TestMainCtrl::closingTheLastVisibleWindowGoesThroughTheGuard()
{
    m_main->newRamDisk();
    QPointer<CreateWindowCtrl> first = m_main->listOfRamDisks().at(0);
    QPointer<CreateWindowCtrl> second = m_main->listOfRamDisks().at(1);
    // Another window is still on screen: this one simply closes, and Qt deletes it.
    QVERIFY(second->close());
    QCOMPARE(m_main->listOfRamDisks().size(), 1);
    QTRY_VERIFY(!second);
    QCOMPARE(m_terminations, 0);

    // The last one asks; cancelling keeps it open.
    {
        CounterAt active(1);
        AlertAnswer answer("defaultButton");
        QVERIFY(!first->close());
        QVERIFY(answer.shown);
        QVERIFY(first->isVisible());
        QCOMPARE(m_terminations, 0);
    }
    // With nothing mounted it ends the application without asking.
    CounterAt active(0);
    QVERIFY(!first->close());
    QCOMPARE(m_terminations, 1);
}

void TestMainCtrl::aQuitAttemptAsksOnceAndEndsOnce()
{
    QAction *quit = m_main->firstCreateWindow()->findChild<QAction *>(QStringLiteral("quitAction"));
    CounterAt active(1);
    int alerts = 0;
    // While the alert is up, the user presses Ctrl+Q again and clicks the close box: the same
    // attempt, no second alert. Then "Quit".
    QTimer::singleShot(0, qApp, [&] {
        if (!QVXCurrentAlert())
            return;
        ++alerts;
        m_main->terminate();
        m_main->firstCreateWindow()->close();
        QTest::mouseClick(
            QVXCurrentAlert()->findChild<QPushButton *>(QStringLiteral("alternateButton")),
            Qt::LeftButton);
    });
    quit->trigger();
    QCOMPARE(alerts, 1);
    QCOMPARE(m_terminations, 1);
    QVERIFY(m_main->isQuitting());
    // Ending: nothing asks again, and a window closes without the guard.
    quit->trigger();
    QCOMPARE(m_terminations, 1);
    QVERIFY(m_main->firstCreateWindow()->close());
    QVERIFY(!QVXCurrentAlert());
}

void TestMainCtrl::closingTheLastWindowOverItsDiskAsksTheSheetOnly()
{
    WorkingTools tools;
    CreateWindowCtrl *window = m_main->firstCreateWindow();
    window->findChild<QLineEdit *>(QStringLiteral("diskSizeField"))
        ->setText(QStringLiteral("4096"));
    window->createDisk();
    QVERIFY(window->disk() && window->disk()->isMountedAndActive());

    QVERIFY(!window->close());
    QTRY_VERIFY(QVXCurrentAlert());
    QCOMPARE(QVXCurrentAlert()->findChild<QLabel *>(QStringLiteral("title"))->text(),
             localizedStringForKey(QStringLiteral("ThisDiskIsActive")));
    QTest::mouseClick(
        QVXCurrentAlert()->findChild<QPushButton *>(QStringLiteral("alternateButton")),
        Qt::LeftButton);
    // "close" on the last window: the application ends, the disk stays mounted, nothing more
    // is asked.
    QTRY_COMPARE(m_terminations, 1);
    QVERIFY(!QVXCurrentAlert());
    QVERIFY(window->disk()->isMountedAndActive());
    window->disk()->tearDown();
}

void TestMainCtrl::germanMenusAndTheAboutBox()
{
    Localization::install(QLocale(QLocale::German));
    m_main->newRamDisk();
    CreateWindowCtrl *window = m_main->listOfRamDisks().last();
    const auto titles = [window] {
        QStringList shown;
        for (const QAction *menu : window->menuBar()->actions())
            shown << menu->text();
        return shown;
    };
    const QStringList german = titles();
    Localization::install(QLocale(QLocale::English));
    QCOMPARE(german, (QStringList{QStringLiteral("&Datei"), QStringLiteral("&Hilfe")}));

    // About: the icon and the licence.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/vellumar.svg")));
    QString licence;
    bool hasIcon = false;
    QTimer::singleShot(0, qApp, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        licence = box->informativeText();
        hasIcon = !box->iconPixmap().isNull();
        box->accept();
    });
    window->findChild<QAction *>(QStringLiteral("aboutAction"))->trigger();
    QCOMPARE(licence, localizedStringForKey(QStringLiteral("AboutLicence")));
    QVERIFY(licence.contains(QStringLiteral("GNU General Public License")));
    QVERIFY(hasIcon);
}

QTEST_MAIN(TestMainCtrl)
#include "TestMainCtrl.moc"
