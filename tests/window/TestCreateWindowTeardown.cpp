// Ejecting a disk from its window, and closing the window, on fake tools.
#include "WindowTestSupport.h"

#include "Localization.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTimer>
#include <QVXLinkTextField.h>

namespace {

struct RecordingDelegate : CreateWindowCtrlDelegate
{
    QList<CreateWindowCtrl *> removed;
    void removeDiskWindow(CreateWindowCtrl *ctrl) override { removed << ctrl; }
};

} // namespace

class TestCreateWindowTeardown : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void ejectShowsTheDetachAnswerAndUncountsTheDisk();
    void unstartableDetachToolShowsErrorOccurred181();
    void ejectWithoutActiveDiskOnlyTurnsTheLinkCursorOff();
    void secondEjectWhileOneRunsIsIgnored();
    void busyDiskStaysActiveAndOffersAnotherTry();
    void workerKeepsTheControllerAliveUntilItEnds();
    void closeSheetAnswers_data();
    void closeSheetAnswers();
    void windowsWithoutActiveDiskCloseAtOnce();
    void aFailedCreationReadsAsOneAndIsNotCalledMounted();

private:
    // A window with a created disk, shown, with the recording delegate.
    void createDisk(WindowUnderTest &w);

    std::unique_ptr<TestEnvironment> m_env;
    RecordingDelegate m_delegate;
};

void TestCreateWindowTeardown::init()
{
    m_env = std::make_unique<TestEnvironment>();
    QVXResetDontShowAgainChoices();
    CreateWindowCtrl::setMachineMemorySource([] { return MachineMemory{8ll << 20, 6ll << 20, 0}; });
    m_delegate.removed.clear();
}

void TestCreateWindowTeardown::cleanup()
{
    if (QWidget *alert = QVXCurrentAlert())
        alert->close();
    CreateWindowCtrl::setMachineMemorySource({});
    m_env.reset();
}

void TestCreateWindowTeardown::createDisk(WindowUnderTest &w)
{
    w.ctrl->setDelegate(&m_delegate);
    w.ctrl->showWindow();
    w.outlet<QLineEdit>("diskSizeField")->setText(QStringLiteral("8192"));
    w.ctrl->createDisk();
    QVERIFY(w.ctrl->disk() && w.ctrl->disk()->isMountedAndActive());
}

void TestCreateWindowTeardown::ejectShowsTheDetachAnswerAndUncountsTheDisk()
{
    const QString answer = QStringLiteral("\"/dev/loop7\" ejected.\r\nsecond line\n");
    WorkingTools tools(answer);
    WindowUnderTest w;
    const int before = anyDiskActive;
    createDisk(w);
    QCOMPARE(int(anyDiskActive), before + 1);
    auto *link = w.outlet<QVXLinkTextField>("mountResult");
    QVERIFY(link->usePointHandCursor());

    QSignalSpy finished(w.ctrl.get(), &CreateWindowCtrl::teardownFinished);
    QTest::mouseClick(w.outlet<QPushButton>("ejectButton"), Qt::LeftButton);
    // While the worker runs: the teardown page, a busy bar, no way on.
    QCOMPARE(w.ctrl->selectedTab(), QStringLiteral("DESTROY"));
    QVERIFY(!link->usePointHandCursor());
    QCOMPARE(w.outlet<QProgressBar>("destroyProgressBar")->maximum(), 0);
    QVERIFY(w.outlet<QPushButton>("continueButton")->isHidden());
    QCOMPARE(w.text("destroyResult"), QString());

    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.first().first().toBool(), true);
    QCOMPARE(w.text("destroyResult"), answer);
    QVERIFY(!w.outlet<QPushButton>("continueButton")->isHidden());
    QVERIFY(w.outlet<QPushButton>("retryEjectButton")->isHidden());
    QVERIFY(w.outlet<QProgressBar>("destroyProgressBar")->maximum() > 0);
    QVERIFY(!w.ctrl->disk()->isMountedAndActive());
    QCOMPARE(int(anyDiskActive), before);
    QCOMPARE(tools.callsOf(QStringLiteral("umount")).size(), 1);
    QCOMPARE(tools.callsOf(QStringLiteral("detach")),
             QStringList{QStringLiteral("detach|detach|/dev/loop7|")});

    QTest::mouseClick(w.outlet<QPushButton>("continueButton"), Qt::LeftButton);
    QCOMPARE(w.ctrl->selectedTab(), QStringLiteral("CREATE"));
}

void TestCreateWindowTeardown::unstartableDetachToolShowsErrorOccurred181()
{
    WorkingTools tools(QString(), false, /*detacherMissing=*/true);
    WindowUnderTest w;
    const int before = anyDiskActive;
    createDisk(w);
    QSignalSpy finished(w.ctrl.get(), &CreateWindowCtrl::teardownFinished);
    w.ctrl->destroyDisk();
    QVERIFY(finished.wait(5000));
    QCOMPARE(w.text("destroyResult"), QStringLiteral("Error occurred 181"));
    QCOMPARE(int(anyDiskActive), before);
}

void TestCreateWindowTeardown::ejectWithoutActiveDiskOnlyTurnsTheLinkCursorOff()
{
    WorkingTools tools;
    WindowUnderTest w;
    auto *link = w.outlet<QVXLinkTextField>("mountResult");
    link->setUsePointHandCursor(true);
    w.ctrl->destroyDisk();
    QVERIFY(!link->usePointHandCursor());
    QCOMPARE(w.ctrl->selectedTab(), QStringLiteral("CREATE"));
    QVERIFY(!w.ctrl->isTearingDown());

    // After a finished teardown a further eject does the same and nothing else.
    createDisk(w);
    QSignalSpy finished(w.ctrl.get(), &CreateWindowCtrl::teardownFinished);
    w.ctrl->destroyDisk();
    QVERIFY(finished.wait(5000));
    const QStringList calls = tools.tools.calls();
    link->setUsePointHandCursor(true);
    w.ctrl->destroyDisk();
    w.ctrl->destroyDisk();
    QVERIFY(!link->usePointHandCursor());
    QVERIFY(!w.ctrl->isTearingDown());
    QTest::qWait(50);
    QCOMPARE(tools.tools.calls(), calls);
    QCOMPARE(finished.size(), 1);
}

void TestCreateWindowTeardown::secondEjectWhileOneRunsIsIgnored()
{
    WorkingTools tools(QStringLiteral("detached\n"), false, false, /*umountSeconds=*/1);
    WindowUnderTest w;
    const int before = anyDiskActive;
    createDisk(w);
    QSignalSpy finished(w.ctrl.get(), &CreateWindowCtrl::teardownFinished);
    w.ctrl->destroyDisk();
    QVERIFY(w.ctrl->isTearingDown());
    w.ctrl->destroyDisk(); // as the close sheet's eject or eject-all would
    QVERIFY(finished.wait(8000));
    QTest::qWait(100);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(tools.callsOf(QStringLiteral("umount")).size(), 1);
    QCOMPARE(tools.callsOf(QStringLiteral("detach")).size(), 1);
    QCOMPARE(int(anyDiskActive), before);
}

void TestCreateWindowTeardown::busyDiskStaysActiveAndOffersAnotherTry()
{
    auto busy = std::make_shared<std::atomic<bool>>(true);
    WorkingTools tools(busy);
    WindowUnderTest w;
    const int before = anyDiskActive;
    createDisk(w);
    QSignalSpy finished(w.ctrl.get(), &CreateWindowCtrl::teardownFinished);
    w.ctrl->destroyDisk();
    QVERIFY(finished.wait(5000));
    QCOMPARE(finished.first().first().toBool(), false);
    // Nothing is lost: the disk is still owed, the user is told why and can try again.
    QVERIFY(w.ctrl->disk()->isMountedAndActive());
    QCOMPARE(int(anyDiskActive), before + 1);
    QVERIFY(w.text("destroyResult").contains(w.ctrl->disk()->mountPath()));
    QCOMPARE(w.text("destroyTitle"), localizedStringForKey(QStringLiteral("DiskNotEjected")));
    QVERIFY(w.outlet<QPushButton>("continueButton")->isHidden());
    QVERIFY(!w.outlet<QPushButton>("retryEjectButton")->isHidden());
    QVERIFY(tools.callsOf(QStringLiteral("detach")).isEmpty());
    QVERIFY(!w.ctrl->createWindow()->close());
    QVERIFY(clickAlertButton("defaultButton"));

    busy->store(false);
    QTest::mouseClick(w.outlet<QPushButton>("retryEjectButton"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 5000);
    QCOMPARE(finished.last().first().toBool(), true);
    QCOMPARE(int(anyDiskActive), before);
    QCOMPARE(w.text("destroyTitle"), localizedStringForKey(QStringLiteral("DiskEjected")));
    QVERIFY(!w.outlet<QPushButton>("continueButton")->isHidden());
}

void TestCreateWindowTeardown::workerKeepsTheControllerAliveUntilItEnds()
{
    // The window goes while its eject runs: the worker keeps the disk, finishes the teardown,
    // and the outcome reaches nobody.
    WorkingTools tools(QStringLiteral("detached\n"), false, false, /*umountSeconds=*/1);
    std::weak_ptr<RamDisk> disk;
    const int before = anyDiskActive;
    {
        WindowUnderTest w;
        createDisk(w);
        disk = w.ctrl->disk();
        w.ctrl->destroyDisk();
        QVERIFY(w.ctrl->isTearingDown());
    } // the window is deleted while the worker runs
    QVERIFY(!disk.expired());
    QTRY_VERIFY_WITH_TIMEOUT(disk.expired(), 8000);
    QCOMPARE(int(anyDiskActive), before);
    QCOMPARE(tools.callsOf(QStringLiteral("detach")).size(), 1);
}

void TestCreateWindowTeardown::closeSheetAnswers_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Cancel") << "defaultButton";
    QTest::newRow("close") << "alternateButton";
    QTest::newRow("ejectNow") << "otherButton";
}

void TestCreateWindowTeardown::closeSheetAnswers()
{
    QFETCH(QString, button);
    WorkingTools tools;
    WindowUnderTest w;
    const int before = anyDiskActive;
    createDisk(w);
    QMainWindow *window = w.ctrl->createWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    QVERIFY(!window->close()); // the sheet decides
    QVERIFY(window->isVisible());
    QTRY_VERIFY(QVXCurrentAlert());
    QCOMPARE(alertTitle(), localizedStringForKey(QStringLiteral("ThisDiskIsActive")));
    QWidget *sheet = QVXCurrentAlert();
    const auto shown = [sheet](const QString &button) {
        return sheet->findChild<QPushButton *>(button)->text().remove(QLatin1Char('&'));
    };
    QCOMPARE(shown(QStringLiteral("alternateButton")),
             localizedStringForKey(QStringLiteral("close")));
    QCOMPARE(shown(QStringLiteral("otherButton")),
             localizedStringForKey(QStringLiteral("ejectNow")));
    QSignalSpy finished(w.ctrl.get(), &CreateWindowCtrl::teardownFinished);
    QVERIFY(clickAlertButton(button.toLatin1().constData()));
    QTRY_VERIFY(!QVXCurrentAlert());
    QTest::qWait(20);

    if (button == QLatin1String("defaultButton")) {
        QVERIFY(window->isVisible());
        QCOMPARE(w.ctrl->selectedTab(), QStringLiteral("BUILD"));
        QVERIFY(w.ctrl->disk()->isMountedAndActive());
        QVERIFY(w.ctrl->memoryUpdated()->isActive());
    } else if (button == QLatin1String("alternateButton")) {
        QVERIFY(!window->isVisible());
        QVERIFY(w.ctrl->disk()->isMountedAndActive());
        QCOMPARE(int(anyDiskActive), before + 1);
        QVERIFY(!w.ctrl->memoryUpdated()->isActive());
        // Still reachable: an eject (as at quitting) tears the disk down.
        w.ctrl->destroyDisk();
        QVERIFY(finished.wait(5000));
    } else {
        QVERIFY(window->isVisible());
        QCOMPARE(w.ctrl->selectedTab(), QStringLiteral("DESTROY"));
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 5000);
    }
    QVERIFY(m_delegate.removed.isEmpty());
    if (button == QLatin1String("defaultButton")) {
        w.ctrl->destroyDisk();
        QVERIFY(finished.wait(5000));
    }
    QCOMPARE(int(anyDiskActive), before);
}

void TestCreateWindowTeardown::windowsWithoutActiveDiskCloseAtOnce()
{
    WorkingTools tools;
    {
        WindowUnderTest w;
        w.ctrl->setDelegate(&m_delegate);
        w.ctrl->showWindow();
        QVERIFY(w.ctrl->createWindow()->close());
        QVERIFY(!QVXCurrentAlert());
        QCOMPARE(m_delegate.removed, QList<CreateWindowCtrl *>{w.ctrl.get()});
        QVERIFY(!w.ctrl->memoryUpdated()->isActive());
    }
    m_delegate.removed.clear();
    WindowUnderTest w;
    createDisk(w);
    QSignalSpy finished(w.ctrl.get(), &CreateWindowCtrl::teardownFinished);
    w.ctrl->destroyDisk();
    QVERIFY(finished.wait(5000));
    QVERIFY(w.ctrl->createWindow()->close());
    QCOMPARE(m_delegate.removed, QList<CreateWindowCtrl *>{w.ctrl.get()});
}

void TestCreateWindowTeardown::aFailedCreationReadsAsOneAndIsNotCalledMounted()
{
    WorkingTools tools(QStringLiteral("detached\n"), /*allocatorMissing=*/true);
    WindowUnderTest w;
    w.outlet<QLineEdit>("diskSizeField")->setText(QStringLiteral("8M"));
    w.ctrl->createDisk();
    QVERIFY(w.ctrl->disk() && w.ctrl->disk()->isMountedAndActive()); // counted, as allocated
    auto *link = w.outlet<QVXLinkTextField>("mountResult");
    QVERIFY(!link->usePointHandCursor());

    // A long error wraps inside the window, whole.
    const QString words = QStringLiteral("mount: /home/someone/Library/Application Support/"
                                         "Vellumar/ramdisk4242.1: wrong fs type, bad option, bad "
                                         "superblock on /dev/loop12, missing codepage or helper "
                                         "program, or other error. dmesg(1) may have more.");
    w.ctrl->fase(2, false, words);
    w.ctrl->createWindow()->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.ctrl->createWindow()));
    auto *tabs = w.outlet<QWidget>("mainTabView");
    const QRect shown(link->mapTo(tabs, QPoint()), link->size());
    QVERIFY2(tabs->rect().contains(shown), qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6")
                                                          .arg(shown.x())
                                                          .arg(shown.y())
                                                          .arg(shown.width())
                                                          .arg(shown.height())
                                                          .arg(tabs->width())
                                                          .arg(tabs->height())));
    QVERIFY(link->heightForWidth(link->width()) <= link->height());
    QVERIFY(w.ctrl->createWindow()->rect().contains(tabs->geometry()));

    // Closing: the sheet does not claim a mounted disk.
    QVERIFY(!w.ctrl->createWindow()->close());
    QTRY_VERIFY(QVXCurrentAlert());
    QCOMPARE(alertTitle(), localizedStringForKey(QStringLiteral("ThisDiskIsIncomplete")));
    QVERIFY(clickAlertButton("otherButton")); // eject what was made
    QTRY_VERIFY_WITH_TIMEOUT(!w.ctrl->disk()->isMountedAndActive(), 5000);
}

QTEST_MAIN(TestCreateWindowTeardown)
#include "TestCreateWindowTeardown.moc"
