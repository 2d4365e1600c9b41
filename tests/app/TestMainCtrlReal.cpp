// Quitting with three real disks mounted and choosing to eject them all. Needs root.
#include "MainCtrl.h"

#include "AlertAnswers.h"
#include "Localization.h"
#include "MountLocation.h"
#include "QVXAlerts.h"
#include "RamDisk.h"
#include "RealDisks.h"
#include "TestEnvironment.h"
#include "UserDefaults.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

} // namespace

class TestMainCtrlReal : public QObject
{
    Q_OBJECT

private slots:
    void ejectAllAtQuitTearsDownEveryDiskAtOnce();
};

void TestMainCtrlReal::ejectAllAtQuitTearsDownEveryDiskAtOnce()
{
    VELLUMAR_REQUIRE_DISKS();
    TestEnvironment env;
    RealDisks::CleanUpGuard guard{env.home()};
    RamDisk::setToolTable(nullptr);
    QVXResetDontShowAgainChoices();
    const int before = anyDiskActive;

    // The disks go in the temporary home, where the guard finds whatever is left.
    UserDefaults::standard().setObject(env.home() + QLatin1Char('/'), MountPath_pref);
    MainCtrl::initialize();
    MainCtrl main;
    int terminations = 0;
    main.setTerminator([&terminations] { ++terminations; });
    main.setMountedDiskSource(
        [] { return QList<DiskInfo>(); }); // other disks on this machine stay out
    main.applicationDidFinishLaunching();
    main.newRamDisk();
    main.newRamDisk();
    const auto windows = main.listOfRamDisks();
    QCOMPARE(windows.size(), 3);

    QStringList devices, mountPaths;
    const QString tick = localizedStringForKey(QStringLiteral("tick"));
    for (const auto &ctrl : windows) {
        ctrl->createWindow()
            ->findChild<QLineEdit *>(QStringLiteral("diskSizeField"))
            ->setText(QStringLiteral("32768"));
        ctrl->createDisk();
        QVERIFY(ctrl->disk());
        QCOMPARE(ctrl->createWindow()->findChild<QLabel *>(QStringLiteral("mountState"))->text(),
                 tick);
        devices << ctrl->disk()->device();
        mountPaths << ctrl->disk()->mountPath();
    }
    QCOMPARE(int(anyDiskActive), before + 3);
    QCOMPARE(RealDisks::mountsUnder(env.home()).size(), 3);
    // One window closed over its mounted disk: eject-all still reaches it.
    windows.at(1)->createWindow()->close();
    QTRY_VERIFY(QVXCurrentAlert());
    QTest::mouseClick(
        QVXCurrentAlert()->findChild<QPushButton *>(QStringLiteral("alternateButton")),
        Qt::LeftButton);
    QTRY_VERIFY(!windows.at(1)->createWindow()->isVisible());

    QList<std::shared_ptr<QSignalSpy>> finished;
    for (const auto &ctrl : windows)
        finished << std::make_shared<QSignalSpy>(ctrl, &CreateWindowCtrl::teardownFinished);
    {
        AlertAnswer answer("otherButton", QStringLiteral("quit-alert.png"));
        QCOMPARE(main.applicationShouldTerminate(), int(MainCtrl::TerminateCancel));
        QVERIFY(answer.shown);
    }
    // All three workers were started before any could report back: they run side by side.
    for (const auto &ctrl : windows)
        QVERIFY(ctrl->isTearingDown());
    for (const auto &spy : finished)
        QTRY_COMPARE_WITH_TIMEOUT(spy->size(), 1, 60000);
    for (const auto &spy : finished)
        QCOMPARE(spy->first().first().toBool(), true);

    QCOMPARE(int(anyDiskActive), before);
    QVERIFY(RealDisks::mountsUnder(env.home()).isEmpty());
    const QStringList left = RealDisks::ourLoopDevices();
    for (const QString &device : devices)
        QVERIFY2(!left.contains(device), qPrintable(device));
    for (const QString &path : mountPaths)
        QVERIFY2(!QFileInfo::exists(path), qPrintable(path));

    // Nothing mounted any more: quitting goes ahead without the alert.
    AlertAnswer none("defaultButton", QStringLiteral("quit-alert.png"));
    QCOMPARE(main.applicationShouldTerminate(), int(MainCtrl::TerminateNow));
    QTest::qWait(10);
    QVERIFY(!none.shown);
    QCOMPARE(terminations, 0);
}

QTEST_MAIN(TestMainCtrlReal)
#include "TestMainCtrlReal.moc"
