// A failed save makes the eject ask: the kept folder is a small file system the test mounts,
// so only root runs it, apart from the cases a user runs too.
#include "KeepWindowSupport.h"

class TestKeepWindowRoot : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void failedSaveMakesTheEjectAsk();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void TestKeepWindowRoot::init()
{
    m_env = std::make_unique<TestEnvironment>();
    RamDisk::setToolTable(nullptr);
    QVXResetDontShowAgainChoices();
}

void TestKeepWindowRoot::cleanup()
{
    if (QWidget *alert = QVXCurrentAlert())
        alert->close();
    RealDisks::cleanUpUnder(m_env->home());
    m_env.reset();
}

void TestKeepWindowRoot::failedSaveMakesTheEjectAsk()
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

QTEST_MAIN(TestKeepWindowRoot)
#include "TestKeepWindowRoot.moc"
