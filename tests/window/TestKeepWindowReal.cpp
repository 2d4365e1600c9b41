// Kept contents in the disk window and the application, on real disks: the load after the
// mount, the save before the eject, a failed save that makes the eject ask, disks found
// mounted at start, and the preferences' remembered disks. The real-disk cases need root or
// a user the system lets make disks.
#include "WindowTestSupport.h"

#include "DiskInventory.h"
#include "DiskKeeper.h"
#include "KeepState.h"
#include "KeptFolder.h"
#include "Localization.h"
#include "MainCtrl.h"
#include "PrefrencesCtrl.h"
#include "RealDisks.h"
#include "RememberedDisks.h"
#include "Settings.h"
#include "TestEnvironment.h"
#include "UserDefaults.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStorageInfo>
#include <QTimer>

namespace {

bool writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool isMounted(const QString &path)
{
    return QStorageInfo(path).rootPath() == QDir::cleanPath(path);
}

int run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// A small file system of our own for a kept folder that fills up; unmounted however the test
// ends.
struct TinyFileSystem
{
    QString path;
    bool mounted = false;
    explicit TinyFileSystem(const QString &where) : path(where)
    {
        QDir().mkpath(path);
        mounted = run(QStringLiteral("mount"),
                      {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                       QStringLiteral("size=1m"), QStringLiteral("vellumar-test"), path}) == 0;
    }
    ~TinyFileSystem()
    {
        if (mounted)
            run(QStringLiteral("umount"), {path});
    }
};

// The window's form filled for a 64 MiB disk that keeps `folder`.
void fillKeptForm(WindowUnderTest &window, const QString &mountPath, const QString &folder)
{
    window.outlet<QLineEdit>("diskSizeField")->setText(QStringLiteral("64M"));
    window.outlet<QLineEdit>("diskNameField")->setText(QStringLiteral("Kept"));
    window.outlet<QLineEdit>("pathField")->setText(mountPath);
    window.outlet<QCheckBox>("keepCheck")->setChecked(true);
    window.outlet<QLineEdit>("keptFolderField")->setText(folder);
}

bool loadedTicked(const WindowUnderTest &window)
{
    return window.text("loadState") == localizedStringForKey(QStringLiteral("tick"));
}

} // namespace

class TestKeepWindowReal : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void keptFolderFollowsTheNameAndTooLargeContentsAreRefused();
    void keptDiskLoadsItsFolderAndEjectSavesIt();
    void failedLoadShowsWhyAndNeverSavesOverTheFolder();
    void failedSaveMakesTheEjectAsk();
    void startFindsTheUsersMountedDisks();
    void onlyTheUsersOwnDisksUnderItsFoldersAreTakenOver();
    void preferencesForgetARememberedDisk();

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

void TestKeepWindowReal::keptFolderFollowsTheNameAndTooLargeContentsAreRefused()
{
    WindowUnderTest window;
    auto *name = window.outlet<QLineEdit>("diskNameField");
    auto *folder = window.outlet<QLineEdit>("keptFolderField");
    QVERIFY(!folder->isEnabled()); // nothing is kept until asked for
    window.outlet<QCheckBox>("keepCheck")->setChecked(true);
    QTest::keyClicks(name, QStringLiteral("Work"));
    QCOMPARE(folder->text(), KeptFolder::defaultFolder(QStringLiteral("Work")));
    auto *presets = window.outlet<QComboBox>("formatPopUpButton");
    presets->setCurrentIndex(presets->findData(64));
    window.ctrl->setDiskFormat(); // a preset names the disk: the folder follows
    QCOMPARE(folder->text(), KeptFolder::defaultFolder(name->text()));
    // Once the user typed a folder, the name no longer moves it.
    folder->clear();
    QTest::keyClicks(folder, m_env->path(QStringLiteral("mine")));
    QTest::keyClicks(name, QStringLiteral("2"));
    QCOMPARE(folder->text(), m_env->path(QStringLiteral("mine")));

    // 20 MiB kept for a 16 MiB disk: refused before anything is made, both sizes named.
    const QString big = m_env->path(QStringLiteral("big"));
    QVERIFY(writeFile(big + QStringLiteral("/blob"), QByteArray(20 << 20, 'x')));
    window.outlet<QLineEdit>("diskSizeField")->setText(QStringLiteral("16M"));
    window.outlet<QCheckBox>("keepCheck")->setChecked(true);
    folder->setText(big);
    const int before = anyDiskActive;
    window.ctrl->createDisk();
    QTRY_VERIFY(QVXCurrentAlert());
    const QString told = QVXCurrentAlert()->findChild<QLabel *>(QStringLiteral("message"))->text();
    QVERIFY2(told.contains(QStringLiteral("20")) && told.contains(QStringLiteral("16")),
             qPrintable(told));
    QVERIFY(clickAlertButton("defaultButton"));
    QVERIFY(!window.ctrl->disk());
    QCOMPARE(int(anyDiskActive), before);
    QCOMPARE(window.ctrl->selectedTab(), QStringLiteral("CREATE"));

    // A folder that is not a full path is refused too.
    folder->setText(QStringLiteral("relative/folder"));
    window.ctrl->createDisk();
    QVERIFY(clickAlertButton("defaultButton"));
    QVERIFY(!window.ctrl->disk());
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
    QVERIFY(writeFile(fakeBin + QStringLiteral("/rsync"),
                      "#!/bin/sh\necho 'rsync: write failed: No space left on device (28)' >&2\n"
                      "exit 11\n"));
    QFile::setPermissions(fakeBin + QStringLiteral("/rsync"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    struct PathGuard
    {
        QByteArray saved = qgetenv("PATH");
        ~PathGuard() { qputenv("PATH", saved); }
    } path;
    qputenv("PATH", fakeBin.toLocal8Bit() + ':' + path.saved);

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

void TestKeepWindowReal::failedSaveMakesTheEjectAsk()
{
    VELLUMAR_REQUIRE_DISKS();
    VELLUMAR_REQUIRE_ROOT(); // the small file system is mounted by the test
    TinyFileSystem tiny(m_env->path(QStringLiteral("tiny")));
    QVERIFY(tiny.mounted);
    const QString kept = tiny.path + QStringLiteral("/kept");
    QVERIFY(writeFile(kept + QStringLiteral("/old.txt"), "previous copy"));
    const QString mountPath = m_env->path(QStringLiteral("Full"));

    WindowUnderTest window;
    fillKeptForm(window, mountPath, kept);
    QSignalSpy loaded(window.ctrl.get(), &CreateWindowCtrl::keptContentsLoaded);
    window.ctrl->createDisk();
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 1, 30000);
    QVERIFY(loadedTicked(window));

    // 4 MiB cannot go into a 1 MiB folder: the save fails and the eject stops and asks.
    QVERIFY(writeFile(mountPath + QStringLiteral("/large.bin"), QByteArray(4 << 20, 'z')));
    QVERIFY(writeFile(mountPath + QStringLiteral("/old.txt"), "newer copy"));
    QSignalSpy finished(window.ctrl.get(), &CreateWindowCtrl::teardownFinished);
    window.ctrl->destroyDisk();
    QTRY_VERIFY_WITH_TIMEOUT(QVXCurrentAlert(), 60000);
    QCOMPARE(alertTitle(), localizedStringForKey(QStringLiteral("KeepSaveFailedTitle")));
    QVERIFY(clickAlertButton("defaultButton")); // Cancel
    QTRY_VERIFY(!QVXCurrentAlert());
    QVERIFY(finished.isEmpty());
    QVERIFY(isMounted(mountPath));
    QVERIFY(window.ctrl->disk()->isMountedAndActive());
    QCOMPARE(window.ctrl->selectedTab(), QStringLiteral("BUILD"));
    QVERIFY(window.ctrl->keeper()->lastSaveFailed());
    QVERIFY(window.text("keptInfoField")
                .contains(localizedStringForKey(QStringLiteral("KeepSaveFailedWindow"))));
    // The previous copy is whole, and nothing half-written was left under the real name.
    QCOMPARE(readFile(kept + QStringLiteral("/old.txt")), QByteArray("previous copy"));
    QVERIFY(!QFile::exists(kept + QStringLiteral("/large.bin")));

    // Asked again; "Eject anyway" gives the memory back without the save.
    window.ctrl->destroyDisk();
    QTRY_VERIFY_WITH_TIMEOUT(QVXCurrentAlert(), 60000);
    QVERIFY(clickAlertButton("alternateButton"));
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 60000);
    QCOMPARE(finished.first().first().toBool(), true);
    QVERIFY(!isMounted(mountPath));
    QCOMPARE(readFile(kept + QStringLiteral("/old.txt")), QByteArray("previous copy"));
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

void TestKeepWindowReal::onlyTheUsersOwnDisksUnderItsFoldersAreTakenOver()
{
    const QStringList roots{QStringLiteral("/home/ann"), QStringLiteral("/media/ann/")};
    DiskInfo disk;
    disk.ownerUid = 1000;
    disk.mountPath = QStringLiteral("/home/ann/Disk");
    QVERIFY(MainCtrl::isAdoptable(disk, 1000, roots));
    QVERIFY(!MainCtrl::isAdoptable(disk, 1001, roots)); // another user's
    disk.mountPath = QStringLiteral("/media/ann/x");
    QVERIFY(MainCtrl::isAdoptable(disk, 1000, roots));
    for (const char *elsewhere : {"/home/anne/Disk", "/tmp/Disk", "/home", ""}) {
        disk.mountPath = QLatin1String(elsewhere);
        QVERIFY2(!MainCtrl::isAdoptable(disk, 1000, roots), elsewhere);
    }
    disk.mountPath = QStringLiteral("/home/ann/Disk");
    QVERIFY(!MainCtrl::isAdoptable(disk, 1000, {QString(), QStringLiteral("relative")}));
}

void TestKeepWindowReal::preferencesForgetARememberedDisk()
{
    RememberedDisks::remember(
        {QStringLiteral("64M"), QStringLiteral("A"), m_env->path(QStringLiteral("a")), QString(), QString()});
    RememberedDisks::remember({QStringLiteral("1G"), QStringLiteral("B"),
                               m_env->path(QStringLiteral("b")), m_env->path(QStringLiteral("k")), QString()});
    PrefrencesCtrl prefs;
    prefs.update();
    QListWidget *list = prefs.rememberedList();
    QCOMPARE(list->count(), 2);
    auto *forget =
        prefs.preferencesWindow()->findChild<QPushButton *>(QStringLiteral("forgetButton"));
    QVERIFY(!forget->isEnabled()); // nothing chosen yet
    list->setCurrentRow(1);
    QVERIFY(list->item(1)->text().contains(m_env->path(QStringLiteral("k"))));
    QTest::mouseClick(forget, Qt::LeftButton);
    QCOMPARE(list->count(), 1);
    QCOMPARE(RememberedDisks::list().size(), 1);
    QCOMPARE(RememberedDisks::list().first().name, QStringLiteral("A"));

    // The interval: shown as stored, 0 kept as "only on eject".
    QCOMPARE(prefs.saveEveryMinutesField()->value(), Settings::DefaultSaveEveryMinutes);
    prefs.saveEveryMinutesField()->setValue(0);
    QCOMPARE(Settings::saveEveryMinutes(), 0);
    DiskKeeper keeper(m_env->path(QStringLiteral("a")), m_env->path(QStringLiteral("k")));
    keeper.startSaving();
    QVERIFY(!keeper.saveTimer()->isActive());
}

QTEST_MAIN(TestKeepWindowReal)
#include "TestKeepWindowReal.moc"
