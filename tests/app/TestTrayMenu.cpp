// The tray icon's menu: each disk with Open and Eject, New RAM Disk, and windows brought back.
#include "TrayMenu.h"

#include "../window/WindowTestSupport.h"
#include "Localization.h"
#include "MainCtrl.h"
#include "QVXAlerts.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

namespace {

QList<QAction *> actionsNamed(const QMenu *menu, const QString &name)
{
    QList<QAction *> found;
    const QList<QAction *> all = menu->actions();
    for (QAction *action : all)
        if (action->objectName() == name)
            found << action;
    return found;
}

} // namespace

class TestTrayMenu : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void aDiskIsListedAndItsEjectEjectsIt();
    void choosingADiskBringsItsClosedWindowBack();
    void withATrayTheLastWindowClosesIntoIt();
    void newRamDiskOpensAWindow();
    void theEntrySaysNameKindAndUse();

private:
    CreateWindowCtrl *makeDisk(const QString &name);

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<WorkingTools> m_tools;
    std::unique_ptr<MainCtrl> m_main;
    std::unique_ptr<TrayMenu> m_tray;
    int m_savedCount = 0;
};

void TestTrayMenu::init()
{
    m_savedCount = anyDiskActive.exchange(0);
    m_env = std::make_unique<TestEnvironment>();
    QVXResetDontShowAgainChoices();
    CreateWindowCtrl::setMachineMemorySource([] { return MachineMemory{8ll << 20, 6ll << 20, 0}; });
    m_tools = std::make_unique<WorkingTools>();
    MainCtrl::initialize();
    m_main = std::make_unique<MainCtrl>();
    m_main->setTerminator([] {});
    m_main->setMountedDiskSource([] { return QList<DiskInfo>(); });
    m_main->applicationDidFinishLaunching();
    m_tray = std::make_unique<TrayMenu>(m_main.get());
}

void TestTrayMenu::cleanup()
{
    m_tray.reset();
    m_main.reset();
    QTest::qWait(1);
    m_tools.reset();
    CreateWindowCtrl::setMachineMemorySource({});
    m_env.reset();
    anyDiskActive = m_savedCount;
}

CreateWindowCtrl *TestTrayMenu::makeDisk(const QString &name)
{
    CreateWindowCtrl *window = m_main->listOfRamDisks().last();
    window->findChild<QLineEdit *>(QStringLiteral("diskSizeField"))->setText(QStringLiteral("4M"));
    window->findChild<QLineEdit *>(QStringLiteral("diskNameField"))->setText(name);
    window->createDisk();
    return window->disk() && window->disk()->isMountedAndActive() ? window : nullptr;
}

void TestTrayMenu::aDiskIsListedAndItsEjectEjectsIt()
{
    // No tray on this platform: no icon, and the menu works all the same.
    QCOMPARE(m_tray->icon() != nullptr, QSystemTrayIcon::isSystemTrayAvailable());
    QMenu *menu = m_tray->menu();
    QCOMPARE(actionsNamed(menu, QStringLiteral("trayNoDisks")).size(), 1);

    CreateWindowCtrl *window = makeDisk(QStringLiteral("Scratch & Co"));
    QVERIFY(window);
    emit menu->aboutToShow();
    QVERIFY(actionsNamed(menu, QStringLiteral("trayNoDisks")).isEmpty());
    const QList<QAction *> disks = actionsNamed(menu, QStringLiteral("trayDisk"));
    QCOMPARE(disks.size(), 1);
    QVERIFY2(disks.first()->text().startsWith(QStringLiteral("Scratch && Co (")),
             qPrintable(disks.first()->text()));
    QVERIFY2(disks.first()->text().contains(QStringLiteral("4 MiB")),
             qPrintable(disks.first()->text()));

    actionsNamed(menu, QStringLiteral("trayEject")).first()->trigger();
    QTRY_VERIFY(!window->disk()->isMountedAndActive());
    QTRY_COMPARE(m_tools->callsOf(QStringLiteral("umount")).size(), 1);
    QCOMPARE(m_tools->callsOf(QStringLiteral("detach")).size(), 1);
    QVERIFY(window->isVisible()); // the window shows how the eject went
    // The menu follows by itself once the eject is done.
    QTRY_COMPARE(actionsNamed(menu, QStringLiteral("trayNoDisks")).size(), 1);
    QVERIFY(actionsNamed(menu, QStringLiteral("trayDisk")).isEmpty());
}

void TestTrayMenu::choosingADiskBringsItsClosedWindowBack()
{
    m_main->newRamDisk();
    CreateWindowCtrl *window = makeDisk(QStringLiteral("Hidden"));
    QVERIFY(window);
    // Closed over its mounted disk with another window left: hidden, still listed.
    QVERIFY(!window->close());
    QVERIFY(clickAlertButton("alternateButton"));
    QTRY_VERIFY(!window->isVisible());
    QVERIFY(m_main->listOfRamDisks().contains(window));

    m_tray->refresh();
    const QList<QAction *> disks = actionsNamed(m_tray->menu(), QStringLiteral("trayDisk"));
    QCOMPARE(disks.size(), 1);
    disks.first()->trigger();
    QVERIFY(window->isVisible());
    QCOMPARE(window->selectedTab(), QStringLiteral("BUILD"));
}

void TestTrayMenu::withATrayTheLastWindowClosesIntoIt()
{
    int terminations = 0;
    m_main->setTerminator([&terminations] { ++terminations; });
    m_main->setStaysInTray(true);
    CreateWindowCtrl *window = makeDisk(QStringLiteral("Only"));
    QVERIFY(window);
    QVERIFY(!window->close());
    QVERIFY(clickAlertButton("alternateButton"));
    QTRY_VERIFY(!window->isVisible());
    QCOMPARE(terminations, 0);

    m_tray->refresh();
    actionsNamed(m_tray->menu(), QStringLiteral("trayDisk")).first()->trigger();
    QVERIFY(window->isVisible());
    // Quit from the tray still asks about the disk.
    QTimer::singleShot(0, [] { clickAlertButton("defaultButton"); });
    actionsNamed(m_tray->menu(), QStringLiteral("trayQuit")).first()->trigger();
    QCOMPARE(terminations, 0);
    m_main->setTerminator([] {});
}

void TestTrayMenu::newRamDiskOpensAWindow()
{
    const qsizetype before = m_main->listOfRamDisks().size();
    actionsNamed(m_tray->menu(), QStringLiteral("trayNewDisk")).first()->trigger();
    QCOMPARE(m_main->listOfRamDisks().size(), before + 1);
    QVERIFY(m_main->listOfRamDisks().last()->isVisible());
}

void TestTrayMenu::theEntrySaysNameKindAndUse()
{
    QCOMPARE(
        TrayMenu::diskEntryText(QStringLiteral("Scratch"), DiskKind::Memory, 12 * 1024, 64 * 1024),
        QStringLiteral("Scratch (memory, 12 MiB of 64 MiB used)"));
    QCOMPARE(TrayMenu::diskEntryText(QStringLiteral("Z"), DiskKind::Compressed, -1, 1024 * 1024),
             QStringLiteral("Z (compressed, 1 GiB)"));
    Localization::install(QLocale(QLocale::German));
    const QString german = TrayMenu::diskEntryText(QStringLiteral("Z"), DiskKind::Block, 512, 1024);
    Localization::install(QLocale(QLocale::English));
    QCOMPARE(german, QStringLiteral("Z (Blockgerät, 512 KiB von 1 MiB belegt)"));
}

QTEST_MAIN(TestTrayMenu)
#include "TestTrayMenu.moc"
