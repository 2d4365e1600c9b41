// Kept contents in the disk window without real disks: the kept folder follows the name,
// contents too large are refused before anything is made, only the user's own disks are taken
// over, and the preferences forget a remembered disk.
#include "KeepWindowSupport.h"

class TestKeepWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void keptFolderFollowsTheNameAndTooLargeContentsAreRefused();
    void onlyTheUsersOwnDisksUnderItsFoldersAreTakenOver();
    void preferencesForgetARememberedDisk();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void TestKeepWindow::init()
{
    m_env = std::make_unique<TestEnvironment>();
    RamDisk::setToolTable(nullptr);
    QVXResetDontShowAgainChoices();
}

void TestKeepWindow::cleanup()
{
    if (QWidget *alert = QVXCurrentAlert())
        alert->close();
    RealDisks::cleanUpUnder(m_env->home());
    m_env.reset();
}

void TestKeepWindow::keptFolderFollowsTheNameAndTooLargeContentsAreRefused()
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

void TestKeepWindow::onlyTheUsersOwnDisksUnderItsFoldersAreTakenOver()
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

void TestKeepWindow::preferencesForgetARememberedDisk()
{
    RememberedDisks::remember({QStringLiteral("64M"), QStringLiteral("A"),
                               m_env->path(QStringLiteral("a")), QString(), QString()});
    RememberedDisks::remember({QStringLiteral("1G"), QStringLiteral("B"),
                               m_env->path(QStringLiteral("b")), m_env->path(QStringLiteral("k")),
                               QString()});
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

QTEST_MAIN(TestKeepWindow)
#include "TestKeepWindow.moc"
