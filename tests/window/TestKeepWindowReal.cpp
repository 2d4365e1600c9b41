// Kept contents in the disk window and the application, on real disks: the load after the
// mount, the save before the eject, a failed save that makes the eject ask, disks found
// mounted at start, and the preferences' remembered disks. The real-disk cases need root or
// a user the system lets make disks.
#include "KeepWindowSupport.h"

class TestKeepWindowReal : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void keptDiskLoadsItsFolderAndEjectSavesIt();
    void failedLoadShowsWhyAndNeverSavesOverTheFolder();
    void startFindsTheUsersMountedDisks();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void TestKeepWindowReal::init()
{
    m_env = std::make_unique<TestEnvironment>();
    RamDisk::setToolTable(nullptr);
    QVXResetDontShowAgainChoices();
}

void TestKeepWindowReal::cleanup()
{
    if (QWidget *alert = QVXCurrentAlert())
        alert->close();
    RealDisks::cleanUpUnder(m_env->home());
    m_env.reset();
}

void TestKeepWindowReal::keptDiskLoadsItsFolderAndEjectSavesIt()
{
    VELLUMAR_REQUIRE_DISKS();
    const QString kept = m_env->path(QStringLiteral("kept"));
    QVERIFY(writeFile(kept + QStringLiteral("/notes/a.txt"), "first"));
    QVERIFY(writeFile(kept + QStringLiteral("/gone.txt"), "bye"));
    const QString mountPath = m_env->path(QStringLiteral("Kept disk"));

    WindowUnderTest window;
    fillKeptForm(window, mountPath, kept);
    window.outlet<QCheckBox>("rememberCheck")->setChecked(true);
    QSignalSpy loaded(window.ctrl.get(), &CreateWindowCtrl::keptContentsLoaded);
    window.ctrl->createDisk();
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 1, 30000);
    QCOMPARE(loaded.first().first().toBool(), true);
    QVERIFY(loadedTicked(window));
    QCOMPARE(window.outlet<QProgressBar>("loadProgressBar")->value(), 100);
    QCOMPARE(readFile(mountPath + QStringLiteral("/notes/a.txt")), QByteArray("first"));
    QVERIFY(window.text("keptInfoField").contains(kept));
    if (!qEnvironmentVariableIsEmpty("VELLUMAR_SCREENS"))
        window.ctrl->grab().save(qEnvironmentVariable("VELLUMAR_SCREENS") +
                                 QStringLiteral("/window-build-kept.png"));
    QVERIFY(KeepState::forDisk(mountPath).has_value());
    const QList<RememberedDisk> remembered = RememberedDisks::list();
    QCOMPARE(remembered.size(), 1);
    QCOMPARE(remembered.first().mountPath, mountPath);
    QCOMPARE(remembered.first().keptFolder, kept);
    QCOMPARE(remembered.first().size, QStringLiteral("64M"));

    // Written, changed and deleted on the disk: the folder follows after the eject.
    QVERIFY(writeFile(mountPath + QStringLiteral("/new.txt"), "made on the disk"));
    QVERIFY(writeFile(mountPath + QStringLiteral("/notes/a.txt"), "changed"));
    QVERIFY(QFile::remove(mountPath + QStringLiteral("/gone.txt")));
    QSignalSpy finished(window.ctrl.get(), &CreateWindowCtrl::teardownFinished);
    QTest::mouseClick(window.outlet<QPushButton>("ejectButton"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 60000);
    QCOMPARE(finished.first().first().toBool(), true);
    QCOMPARE(readFile(kept + QStringLiteral("/new.txt")), QByteArray("made on the disk"));
    QCOMPARE(readFile(kept + QStringLiteral("/notes/a.txt")), QByteArray("changed"));
    QVERIFY(!QFile::exists(kept + QStringLiteral("/gone.txt")));
    QVERIFY(!isMounted(mountPath));
    QVERIFY(!KeepState::forDisk(mountPath).has_value());
    QVERIFY(!window.ctrl->keeper());

    // A folder that does not exist yet (the default, the first time) starts empty.
    window.ctrl->continueToCreate();
    const QString fresh = m_env->path(QStringLiteral("fresh/kept"));
    fillKeptForm(window, mountPath, fresh);
    window.outlet<QCheckBox>("rememberCheck")->setChecked(false);
    window.ctrl->createDisk();
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 2, 30000);
    QCOMPARE(loaded.last().first().toBool(), true);
    QVERIFY(writeFile(mountPath + QStringLiteral("/first.txt"), "1"));
    window.ctrl->destroyDisk();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 60000);
    QCOMPARE(readFile(fresh + QStringLiteral("/first.txt")), QByteArray("1"));
}

void TestKeepWindowReal::failedLoadShowsWhyAndNeverSavesOverTheFolder()
{
    VELLUMAR_REQUIRE_DISKS();
    const QString kept = m_env->path(QStringLiteral("kept"));
    QVERIFY(writeFile(kept + QStringLiteral("/a.txt"), "only copy"));
    const QString mountPath = m_env->path(QStringLiteral("Half"));
    // An rsync that fails as a full disk would, found first on the PATH.
    const QString fakeBin = m_env->path(QStringLiteral("bin"));
    QVERIFY(writeScript(fakeBin + QStringLiteral("/rsync"),
                        "#!/bin/sh\necho 'rsync: write failed: No space left on device (28)' >&2\n"
                        "exit 11\n"));
    PathFirst path(fakeBin);

    WindowUnderTest window;
    fillKeptForm(window, mountPath, kept);
    window.outlet<QCheckBox>("rememberCheck")->setChecked(true);
    QSignalSpy loaded(window.ctrl.get(), &CreateWindowCtrl::keptContentsLoaded);
    QSignalSpy finished(window.ctrl.get(), &CreateWindowCtrl::teardownFinished);
    window.ctrl->createDisk();
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 1, 30000);
    qputenv("PATH", path.saved);
    QCOMPARE(loaded.first().first().toBool(), false);
    QCOMPARE(window.text("loadState"), localizedStringForKey(QStringLiteral("cross")));
    const QString shown = window.text("loadResult");
    QVERIFY2(
        shown.startsWith(localizedStringForKey(QStringLiteral("KeepLoadFailedWindow")).arg(kept)) &&
            shown.contains(QStringLiteral("No space left on device")),
        qPrintable(shown));
    QVERIFY(!window.ctrl->keeper());
    QVERIFY(!KeepState::forDisk(mountPath).has_value());

    // The disk goes again by itself, without a save: the folder keeps what it had, the eject
    // page says why, and the disk is not made at login.
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 60000);
    QCOMPARE(finished.first().first().toBool(), true);
    QVERIFY(!window.ctrl->disk()->isMountedAndActive());
    QVERIFY(!isMounted(mountPath));
    QCOMPARE(window.ctrl->selectedTab(), QStringLiteral("DESTROY"));
    QVERIFY2(window.text("destroyResult").contains(QStringLiteral("No space left on device")),
             qPrintable(window.text("destroyResult")));
    QVERIFY(RememberedDisks::list().isEmpty());
    QVERIFY(!QVXCurrentAlert());
    QCOMPARE(readFile(kept + QStringLiteral("/a.txt")), QByteArray("only copy"));
}

void TestKeepWindowReal::startFindsTheUsersMountedDisks()
{
    VELLUMAR_REQUIRE_DISKS();
    const QString ctl = QCoreApplication::applicationDirPath() + QStringLiteral("/vellumarctl");
    const QString kept = m_env->path(QStringLiteral("kept"));
    QVERIFY(writeFile(kept + QStringLiteral("/a.txt"), "loaded"));
    const QString keptMount = m_env->path(QStringLiteral("one"));
    const QString plainMount = m_env->path(QStringLiteral("two"));
    QCOMPARE(run(ctl, {QStringLiteral("create"), QStringLiteral("--size"), QStringLiteral("32M"),
                       QStringLiteral("--name"), QStringLiteral("One"), QStringLiteral("--mount"),
                       keptMount, QStringLiteral("--keep"), kept}),
             0);
    QCOMPARE(run(ctl, {QStringLiteral("create"), QStringLiteral("--size"), QStringLiteral("32M"),
                       QStringLiteral("--name"), QStringLiteral("Two"), QStringLiteral("--mount"),
                       plainMount}),
             0);

    // The start takes over the user's disks under the home folder (this test's, so no other
    // disk on this machine).
    MainCtrl::initialize();
    MainCtrl main;
    main.setTerminator([] {});
    const int before = anyDiskActive;
    main.applicationDidFinishLaunching();
    QTRY_COMPARE(main.listOfRamDisks().size(), 2);
    QCOMPARE(int(anyDiskActive), before + 2);
    CreateWindowCtrl *keptWindow = nullptr;
    for (CreateWindowCtrl *ctrl : main.listOfRamDisks()) {
        QCOMPARE(ctrl->selectedTab(), QStringLiteral("BUILD"));
        QVERIFY(ctrl->isVisible());
        if (ctrl->disk()->mountPath() == keptMount)
            keptWindow = ctrl;
    }
    QVERIFY(keptWindow);
    QVERIFY(keptWindow->keeper());
    QTimer *saveTimer = keptWindow->keeper()->saveTimer();
    QVERIFY(saveTimer->isActive());
    QCOMPARE(saveTimer->interval(), Settings::DefaultSaveEveryMinutes * 60 * 1000);
    // A new interval in the preferences reaches the disk already saving.
    main.preferences()->update();
    main.preferences()->saveEveryMinutesField()->setValue(0);
    QVERIFY(!saveTimer->isActive());
    main.preferences()->saveEveryMinutesField()->setValue(7);
    QVERIFY(saveTimer->isActive());
    QCOMPARE(saveTimer->interval(), 7 * 60 * 1000);

    // Quitting (as on SIGTERM) saves the kept disk and leaves both disks mounted.
    QVERIFY(writeFile(keptMount + QStringLiteral("/at-quit.txt"), "saved at quit"));
    main.quitLeavingDisks();
    QCOMPARE(readFile(kept + QStringLiteral("/at-quit.txt")), QByteArray("saved at quit"));
    QVERIFY(isMounted(keptMount) && isMounted(plainMount));
    const auto *info = keptWindow->findChild<QLabel *>(QStringLiteral("keptInfoField"));
    QVERIFY(info->text().contains(kept));
    QVERIFY2(!info->text().contains(localizedStringForKey(QStringLiteral("KeptNotSavedYet"))),
             qPrintable(info->text())); // the time of that save

    QVERIFY(writeFile(keptMount + QStringLiteral("/b.txt"), "written later"));
    QSignalSpy finished(keptWindow, &CreateWindowCtrl::teardownFinished);
    keptWindow->destroyDisk();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 60000);
    QCOMPARE(finished.first().first().toBool(), true);
    QCOMPARE(readFile(kept + QStringLiteral("/b.txt")), QByteArray("written later"));
    QVERIFY(!isMounted(keptMount));
    QVERIFY(isMounted(plainMount)); // the other disk is left alone
}

QTEST_MAIN(TestKeepWindowReal)
#include "TestKeepWindowReal.moc"
