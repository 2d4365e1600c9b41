// Windows follow the mount table: a disk ejected by another program, and one mounted by another
// program, as the mount table watcher reports them.
#include "DiskFollower.h"
#include "MainCtrl.h"

#include "../window/WindowTestSupport.h"
#include "Localization.h"
#include "QVXAlerts.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <unistd.h>

class TestDiskFollower : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void aDiskEjectedElsewhereIsGoneForEjectCloseAndQuit();
    void ourOwnEjectIsNotEjectedElsewhere();
    void aClosedWindowGoesWithItsDisk();
    void aDiskMountedElsewhereGetsAWindow();

private:
    // A disk made in the first window with the fake tools; its mount path.
    QString makeDisk(const QString &name);
    QString text(CreateWindowCtrl *ctrl, const char *label) const;

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<WorkingTools> m_tools;
    std::unique_ptr<MainCtrl> m_main;
    std::unique_ptr<DiskFollower> m_follower;
    int m_terminations = 0;
    int m_asked = 0;
    QList<DiskInfo> m_helperList;
    int m_savedCount = 0;
};

void TestDiskFollower::init()
{
    m_savedCount = anyDiskActive.exchange(0);
    m_env = std::make_unique<TestEnvironment>();
    QVXResetDontShowAgainChoices();
    CreateWindowCtrl::setMachineMemorySource([] { return MachineMemory{8ll << 20, 6ll << 20, 0}; });
    m_tools = std::make_unique<WorkingTools>();
    MainCtrl::initialize();
    m_main = std::make_unique<MainCtrl>();
    m_terminations = 0;
    m_main->setTerminator([this] { ++m_terminations; });
    m_main->setMountedDiskSource([] { return QList<DiskInfo>(); });
    m_main->applicationDidFinishLaunching();
    m_follower = std::make_unique<DiskFollower>(m_main.get());
    m_asked = 0;
    m_helperList.clear();
    m_follower->setDiskSource([this] {
        ++m_asked;
        return m_helperList;
    });
}

void TestDiskFollower::cleanup()
{
    m_follower.reset();
    m_main.reset();
    QTest::qWait(1);
    m_tools.reset();
    CreateWindowCtrl::setMachineMemorySource({});
    m_env.reset();
    anyDiskActive = m_savedCount;
}

QString TestDiskFollower::makeDisk(const QString &name)
{
    CreateWindowCtrl *window = m_main->firstCreateWindow();
    window->findChild<QLineEdit *>(QStringLiteral("diskSizeField"))->setText(QStringLiteral("4M"));
    window->findChild<QLineEdit *>(QStringLiteral("diskNameField"))->setText(name);
    window->createDisk();
    return window->disk() && window->disk()->isMountedAndActive() ? window->disk()->mountPath()
                                                                  : QString();
}

QString TestDiskFollower::text(CreateWindowCtrl *ctrl, const char *label) const
{
    return ctrl->findChild<QLabel *>(QLatin1String(label))->text();
}

void TestDiskFollower::aDiskEjectedElsewhereIsGoneForEjectCloseAndQuit()
{
    const QString path = makeDisk(QStringLiteral("Scratch"));
    QVERIFY(!path.isEmpty());
    CreateWindowCtrl *window = m_main->firstCreateWindow();
    QCOMPARE(anyDiskActive.load(), 1);

    // Something else unmounted elsewhere changes nothing.
    m_follower->mountGone(QStringLiteral("/somewhere/else"), QStringLiteral("/dev/loop3"));
    QVERIFY(window->disk()->isMountedAndActive());

    // The window's volume goes (reported twice: the counter drops once).
    m_follower->mountGone(path + QLatin1Char('/'), QStringLiteral("/dev/loop7"));
    m_follower->mountGone(path, QStringLiteral("/dev/loop7"));
    QCOMPARE(anyDiskActive.load(), 0);
    QVERIFY(!window->disk()->isMountedAndActive());
    QCOMPARE(window->selectedTab(), QStringLiteral("DESTROY"));
    QCOMPARE(text(window, "destroyTitle"),
             localizedStringForKey(QStringLiteral("EjectedElsewhere")));

    // Eject runs no tool; Ctrl+Q quits at once, nothing asked.
    window->destroyDisk();
    QTest::qWait(50);
    QVERIFY(m_tools->callsOf(QStringLiteral("umount")).isEmpty());
    QCOMPARE(anyDiskActive.load(), 0);
    window->findChild<QAction *>(QStringLiteral("quitAction"))->trigger();
    QVERIFY(!QVXCurrentAlert());
    QCOMPARE(m_terminations, 1);
}

void TestDiskFollower::ourOwnEjectIsNotEjectedElsewhere()
{
    m_tools.reset(); // its end puts the real tools back
    m_tools =
        std::make_unique<WorkingTools>(QStringLiteral("/dev/loop7 detached\n"), false, false, 1);
    const QString path = makeDisk(QStringLiteral("Scratch"));
    QVERIFY(!path.isEmpty());
    CreateWindowCtrl *window = m_main->firstCreateWindow();
    QSignalSpy finished(window, &CreateWindowCtrl::teardownFinished);
    window->destroyDisk();
    // The unmount takes a second; the mount table shows the volume gone meanwhile.
    m_follower->mountGone(path, QStringLiteral("/dev/loop7"));
    QCOMPARE(anyDiskActive.load(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QCOMPARE(finished.first().first().toBool(), true);
    QCOMPARE(anyDiskActive.load(), 0);
    QCOMPARE(text(window, "destroyTitle"), localizedStringForKey(QStringLiteral("DiskEjected")));
}

void TestDiskFollower::aClosedWindowGoesWithItsDisk()
{
    m_main->newRamDisk();
    CreateWindowCtrl *window = m_main->listOfRamDisks().last();
    window->findChild<QLineEdit *>(QStringLiteral("diskSizeField"))->setText(QStringLiteral("4M"));
    window->createDisk();
    QVERIFY(window->disk() && window->disk()->isMountedAndActive());
    QVERIFY(!window->close());
    QVERIFY(clickAlertButton("alternateButton")); // Close: hidden, the disk stays
    QTRY_VERIFY(!window->isVisible());
    QPointer<CreateWindowCtrl> closed(window);

    m_follower->mountGone(window->disk()->mountPath(), QStringLiteral("/dev/loop7"));
    QTRY_VERIFY(!closed);
    QCOMPARE(m_main->listOfRamDisks().size(), 1);
    QCOMPARE(anyDiskActive.load(), 0);
    QCOMPARE(m_terminations, 0);
}

void TestDiskFollower::aDiskMountedElsewhereGetsAWindow()
{
    const QString own = makeDisk(QStringLiteral("Own"));
    QVERIFY(!own.isEmpty());
    DiskInfo made;
    made.device = QStringLiteral("/dev/loop9");
    made.ownerUid = uint(::getuid());
    made.mountPath = QDir::homePath() + QStringLiteral("/Made Elsewhere");
    made.sizeKiB = 8192;
    made.name = QStringLiteral("Elsewhere");
    DiskInfo someoneElses = made;
    someoneElses.ownerUid = made.ownerUid + 1;
    someoneElses.mountPath = QDir::homePath() + QStringLiteral("/Not Mine");
    m_helperList = {made, someoneElses};

    // Our own new disk, and a mount outside the home and mount location, ask the helper nothing.
    m_follower->diskMountAppeared(own, QStringLiteral("/dev/loop7"));
    m_follower->diskMountAppeared(QStringLiteral("/mnt/other"), QStringLiteral("tmpfs"));
    QTest::qWait(50);
    QCOMPARE(m_asked, 0);

    m_follower->diskMountAppeared(made.mountPath, made.device);
    QTRY_COMPARE(m_main->listOfRamDisks().size(), 2);
    QCOMPARE(m_asked, 1);
    CreateWindowCtrl *window = m_main->listOfRamDisks().last();
    QVERIFY(window->isVisible());
    QCOMPARE(window->selectedTab(), QStringLiteral("BUILD"));
    QCOMPARE(window->disk()->mountPath(), made.mountPath);
    QCOMPARE(anyDiskActive.load(), 2);

    // Shown already: the same disk again is no second window.
    m_follower->diskMountAppeared(someoneElses.mountPath, QStringLiteral("/dev/loop10"));
    QTRY_COMPARE(m_asked, 2);
    QTest::qWait(50);
    QCOMPARE(m_main->listOfRamDisks().size(), 2);
}

QTEST_MAIN(TestDiskFollower)
#include "TestDiskFollower.moc"
