// The real `vellumar` on a real X display, driven by key presses as a person would, and judged
// by what the process and the machine do afterwards: its exit status, the mounts, the loop
// devices. No part of the program is replaced.
//
// VELLUMAR_E2E_USER names the user the program runs as (default: the user running the test).
#include "DesktopSession.h"
#include "Localization.h"
#include "RealDisks.h"
#include "SystemDisks.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <pwd.h>
#include <unistd.h>

namespace {

constexpr int QuitWithinMs = 5000;
constexpr int MountWithinMs = 15000;

QString currentUser()
{
    const passwd *entry = getpwuid(geteuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString();
}

QString testUser()
{
    const QString chosen = qEnvironmentVariable("VELLUMAR_E2E_USER");
    return chosen.isEmpty() ? currentUser() : chosen;
}

// The device mounted on each folder under `root`.
QMap<QString, QString> devicesUnder(const QString &root)
{
    QMap<QString, QString> found;
    for (const SystemDisks::Mount &mount : SystemDisks::mounts()) {
        if (mount.mountPoint.startsWith(root + QLatin1Char('/')))
            found.insert(mount.mountPoint, mount.source);
    }
    return found;
}

bool waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

// A loop device that held one of our disks is released: no longer ours, or by now holding a
// disk mounted somewhere else (another process may take the free device at once).
bool released(const QString &device, const QString &home)
{
    if (!RealDisks::ourLoopDevices().contains(device))
        return true;
    if (devicesUnder(home).values().contains(device))
        return false;
    return devicesUnder(QString()).values().contains(device);
}

// Whether a process below `program` is a call of the helper, through pkexec or directly.
bool helperCallRunning(qint64 program)
{
    QMap<qint64, qint64> parentOf;
    QList<qint64> helpers;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (entry.toLongLong() <= 0 || !stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold spaces, so split after its ")".
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        const QByteArray name = line.mid(line.indexOf('(') + 1, close - line.indexOf('(') - 1);
        parentOf.insert(entry.toLongLong(), line.mid(close + 2).split(' ').value(1).toLongLong());
        if (name == "pkexec" || name == "vellumar-ramdev")
            helpers << entry.toLongLong();
    }
    for (qint64 process : std::as_const(helpers))
        for (int depth = 0; process > 1 && depth < 16; ++depth, process = parentOf.value(process))
            if (process == program)
                return true;
    return false;
}

// An eject is over, as far as quitting can tell, once the volume, the memory and the folder made
// for it are all gone and the program has no call of the helper under way (the helper removes
// a folder in the media folder at unmount, before the program's last call).
bool ejected(const QString &mount, const QString &device, const QString &home, qint64 program)
{
    if (devicesUnder(home).contains(mount) || !released(device, home) || QFileInfo::exists(mount))
        return false;
    // Twice, a moment apart: between two calls the program has none under way.
    if (helperCallRunning(program))
        return false;
    QThread::msleep(100);
    return !helperCallRunning(program);
}

QString text(const char *key)
{
    return localizedStringForKey(QLatin1String(key));
}

} // namespace

class TestRealProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void quitsWithCtrlQ_data();
    void quitsWithCtrlQ();
    void quitAlertAnswers_data();
    void quitAlertAnswers();
    void rememberedQuitEndsWithoutAsking();
    void closingTheLastWindowAnswersItsSheet_data();
    void closingTheLastWindowAnswersItsSheet();
    void aSecondWindowEjectsItsOwnDisk();
    void sigtermEndsAsAfterQuit();
    void aRefusedSizeMakesNothing();
    void aSecondLaunchOpensAWindowOfTheFirst();
    void aDiskEjectedFromTheCommandLineLeavesNothingToAskAtQuit();
    void newDiskActionOpensAFormBesideMountedDisks();

private:
    // Starts the program and waits for its first window: a new one unless `firstTitle` says
    // which (a disk still mounted from an earlier run has its own).
    void startProgram(const QString &firstTitle = QString());
    // Starts `program` as the test's user, in the test's home and on its display.
    std::unique_ptr<QProcess> launch(const QString &program, const QStringList &arguments = {});
    bool exitsWithin(int timeoutMs);
    // Types a size into the focused field of a new window and presses Enter; the new mount.
    QString createDisk(const QString &size);
    void requireDiskMaker();

    DesktopSession m_session;
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<QProcess> m_program;
    QString m_user;
    // Where the program puts disks by default: the user's media folder, and what was mounted
    // there before the test (not the test's to touch).
    QString m_disks;
    bool m_hadDisksFolder = true;
    QStringList m_disksBefore;
    QStringList m_arguments; // the program's command line
};

void TestRealProgram::initTestCase()
{
    Localization::install(QLocale(QLocale::English));
    QString whyNot;
    if (!m_session.start(&whyNot))
        QSKIP(qPrintable(whyNot));
    QVERIFY2(m_session.hasWindowManager(), "openbox did not start (make deps installs it)");
    m_user = testUser();
    m_disks = QStringLiteral("/media/") + m_user;
    m_hadDisksFolder = QFileInfo::exists(m_disks);
    if (m_user != currentUser() && !RealDisks::runningAsRoot())
        QSKIP("running the program as another user needs root");
}

void TestRealProgram::requireDiskMaker()
{
    // Root makes disks itself; anyone else through pkexec, when polkit lets them.
    if (m_user == QStringLiteral("root"))
        return;
    const QString helper = QStringLiteral(VELLUMAR_INSTALL_LIBEXEC_DIR "/vellumar-ramdev");
    QProcess check;
    check.setStandardInputFile(QProcess::nullDevice());
    if (m_user == currentUser())
        check.start(QStringLiteral("pkexec"), {helper, QStringLiteral("check")});
    else
        check.start(QStringLiteral("runuser"),
                    {QStringLiteral("-u"), m_user, QStringLiteral("--"), QStringLiteral("pkexec"),
                     helper, QStringLiteral("check")});
    if (!check.waitForFinished(30000) || check.exitCode() != 0)
        QSKIP(qPrintable(QStringLiteral("%1 may not make disks here: %2")
                             .arg(m_user, QString::fromUtf8(check.readAllStandardError()))));
}

void TestRealProgram::cleanupTestCase()
{
    // The media folder the helper made for these tests goes again once it is empty.
    if (!m_hadDisksFolder)
        QDir().rmdir(m_disks);
}

void TestRealProgram::init()
{
    m_home = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/vellumar-e2e-XXXXXX"));
    QVERIFY(m_home->isValid());
    m_disksBefore = devicesUnder(m_disks).keys();
    QFile::setPermissions(m_home->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                              QFileDevice::ExeOther);
    QVERIFY(QDir(m_home->path()).mkdir(QStringLiteral("run")));
    QFile::setPermissions(m_home->path() + QStringLiteral("/run"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (m_user != currentUser()) {
        const passwd *entry = getpwnam(m_user.toLocal8Bit().constData());
        QVERIFY2(entry, qPrintable(QStringLiteral("no user ") + m_user));
        for (const QString &path : {m_home->path(), m_home->path() + QStringLiteral("/run")})
            QVERIFY(::chown(QFile::encodeName(path).constData(), entry->pw_uid, entry->pw_gid) ==
                    0);
    }
}

void TestRealProgram::cleanup()
{
    if (m_program && m_program->state() != QProcess::NotRunning) {
        m_program->kill();
        m_program->waitForFinished(5000);
    }
    m_program.reset();
    // Whatever a failed test left: only the disks under this test's own home, and those it made
    // in the media folder.
    if (m_home)
        RealDisks::cleanUpUnder(m_home->path());
    for (const QString &mount : devicesUnder(m_disks).keys())
        if (!m_disksBefore.contains(mount))
            RealDisks::cleanUpUnder(mount);
    m_home.reset();
}

std::unique_ptr<QProcess> TestRealProgram::launch(const QString &program,
                                                  const QStringList &arguments)
{
    const QString home = m_home->path();
    const QStringList environment = {
        QStringLiteral("DISPLAY=") + m_session.display(),
        QStringLiteral("HOME=") + home,
        QStringLiteral("XDG_CONFIG_HOME=") + home + QStringLiteral("/.config"),
        QStringLiteral("XDG_RUNTIME_DIR=") + home + QStringLiteral("/run"),
        QStringLiteral("PATH=/usr/sbin:/usr/bin:/sbin:/bin"),
        QStringLiteral("LANG=C.UTF-8"),
        QStringLiteral("LC_ALL=C.UTF-8"),
        QStringLiteral("QT_QPA_PLATFORM=xcb"),
        // No file manager on this display: showing the folder is skipped.
        QStringLiteral("VELLUMAR_NO_DESKTOP=1"),
        // The sanitizer build reports leaks at exit; the system's D-Bus library has its own.
        QStringLiteral("LSAN_OPTIONS=suppressions=" VELLUMAR_E2E_LSAN_SUPPRESSIONS),
    };
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    if (m_user == currentUser()) {
        QProcessEnvironment env;
        for (const QString &entry : environment)
            env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
        process->setProcessEnvironment(env);
        process->start(program, arguments);
    } else {
        process->start(QStringLiteral("runuser"),
                       QStringList{QStringLiteral("-u"), m_user, QStringLiteral("--"),
                                   QStringLiteral("env"), QStringLiteral("-i")} +
                           environment + QStringList{program} + arguments);
    }
    return process;
}

void TestRealProgram::startProgram(const QString &firstTitle)
{
    m_program = launch(QStringLiteral(VELLUMAR_BUILD_BIN_DIR "/vellumar"), m_arguments);
    QVERIFY(m_program->waitForStarted(5000));
    QVERIFY2(m_session.waitForActiveWindow(
                 firstTitle.isEmpty() ? text("WindowTitleNew") : firstTitle, 10000),
             qPrintable(m_session.activeWindowName()));
    QThread::msleep(150); // the window manager hands over the keyboard focus
}

bool TestRealProgram::exitsWithin(int timeoutMs)
{
    return m_program->waitForFinished(timeoutMs);
}

QString TestRealProgram::createDisk(const QString &size)
{
    const QStringList before = devicesUnder(m_disks).keys();
    m_session.type(size);
    m_session.key(QStringLiteral("Return"));
    QString made;
    waitFor(
        [&] {
            for (const QString &path : devicesUnder(m_disks).keys())
                if (!before.contains(path))
                    made = path;
            return !made.isEmpty();
        },
        MountWithinMs);
    if (made.isEmpty()) {
        const QString shot = QDir::temp().filePath(
            QStringLiteral("vellumar-e2e-%1.png").arg(QLatin1String(QTest::currentDataTag())));
        m_session.screenshot(shot);
        qWarning("no disk was mounted; the screen is in %s", qPrintable(shot));
    }
    return made;
}

void TestRealProgram::quitsWithCtrlQ_data()
{
    QTest::addColumn<QString>("keys");
    QTest::newRow("Ctrl+Q") << "ctrl+q";
    QTest::newRow("Ctrl+W on the last window") << "ctrl+w";
    QTest::newRow("the window manager's close") << "alt+F4";
}

void TestRealProgram::quitsWithCtrlQ()
{
    QFETCH(QString, keys);
    startProgram();
    m_session.key(keys);
    QVERIFY2(exitsWithin(QuitWithinMs), "the program did not end");
    QCOMPARE(m_program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_program->exitCode(), 0);
}

void TestRealProgram::quitAlertAnswers_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("Cancel") << "Escape";
    QTest::newRow("Quit") << "alt+q";
    QTest::newRow("Eject All") << "alt+e";
}

void TestRealProgram::quitAlertAnswers()
{
    requireDiskMaker();
    QFETCH(QString, answer);
    startProgram();
    const QString mount = createDisk(QStringLiteral("8M"));
    QVERIFY2(!mount.isEmpty(), "no disk was mounted");
    // By default the disk appears where the desktop shows volumes, under its name.
    QCOMPARE(mount, m_disks + QStringLiteral("/Ram Disk"));
    // File managers list no memory file system as a volume: the folder is among the places.
    const QString place =
        QStringLiteral("file://") + m_disks + QStringLiteral("/Ram%20Disk Ram Disk");
    const auto places = [this] {
        QFile file(m_home->path() + QStringLiteral("/.config/gtk-3.0/bookmarks"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    // (Put there just after the mount.)
    QVERIFY2(waitFor([&] { return places() == place + QLatin1Char('\n'); }, MountWithinMs),
             qPrintable(places()));
    const QString device = devicesUnder(m_disks).value(mount);
    QVERIFY(m_session.waitForActiveWindow(QStringLiteral("Ram Disk (8 MiB)")));

    m_session.key(QStringLiteral("ctrl+q"));
    QVERIFY(m_session.waitForActiveWindow(text("WarningSomeDiskActive")));
    m_session.key(answer);

    if (answer == QStringLiteral("alt+q")) {
        // Quit: the process ends at once and the disk stays mounted.
        QVERIFY2(exitsWithin(QuitWithinMs), "Quit did not end the program");
        QCOMPARE(m_program->exitCode(), 0);
        QCOMPARE(devicesUnder(m_disks).value(mount), device);
        // The window makes a memory disk unless told otherwise.
        QVERIFY2(device.startsWith(SystemDisks::memoryDiskPrefix()), qPrintable(device));
        QVERIFY(SystemDisks::isOurMemoryDevice(device));
        return;
    }
    if (answer == QStringLiteral("alt+e")) {
        // Eject All: the disk goes, the program stays.
        QVERIFY2(waitFor([&] { return devicesUnder(m_disks).isEmpty(); }, MountWithinMs),
                 "the disk was not ejected");
        QVERIFY(waitFor([&] { return released(device, m_disks); }, MountWithinMs));
        QVERIFY(waitFor([&] { return !QFileInfo::exists(mount); }, MountWithinMs));
        QVERIFY(waitFor([&] { return places().isEmpty(); }, MountWithinMs));
    } else {
        // Cancel: nothing changes.
        QVERIFY(m_session.waitForActiveWindow(QStringLiteral("Ram Disk (8 MiB)")));
        QCOMPARE(devicesUnder(m_disks).value(mount), device);
    }
    QVERIFY(!m_program->waitForFinished(500));
    // Both leave a program that can still be quit; with no disk left, without the alert.
    if (answer == QStringLiteral("Escape")) {
        m_session.key(QStringLiteral("ctrl+e"));
        QVERIFY(waitFor([&] { return ejected(mount, device, m_disks, m_program->processId()); },
                        MountWithinMs));
    }
    QVERIFY(m_session.waitForActiveWindow(QStringLiteral("Ram Disk")));
    m_session.key(QStringLiteral("ctrl+q"));
    QVERIFY2(exitsWithin(QuitWithinMs), qPrintable(m_session.activeWindowName()));
    QCOMPARE(m_program->exitCode(), 0);
}

void TestRealProgram::rememberedQuitEndsWithoutAsking()
{
    requireDiskMaker();
    startProgram();
    QVERIFY(!createDisk(QStringLiteral("4M")).isEmpty());
    m_session.key(QStringLiteral("ctrl+q"));
    QVERIFY(m_session.waitForActiveWindow(text("WarningSomeDiskActive")));
    m_session.key(QStringLiteral("alt+d")); // "Don't show this again"
    m_session.key(QStringLiteral("alt+q"));
    QVERIFY2(exitsWithin(QuitWithinMs), "Quit did not end the program");
    QCOMPARE(m_program->exitCode(), 0);

    // The next run shows the disk still mounted, and remembers "Quit": it ends at once, the
    // disks left mounted.
    startProgram(text("WindowTitleDisk").arg(QStringLiteral("Ram Disk"), QStringLiteral("4 MiB")));
    m_session.key(QStringLiteral("ctrl+n"));
    QVERIFY(m_session.waitForActiveWindow(text("WindowTitleNew")));
    QThread::msleep(150); // the window manager hands over the keyboard focus
    QVERIFY(!createDisk(QStringLiteral("4M")).isEmpty());
    m_session.key(QStringLiteral("ctrl+q"));
    QVERIFY2(exitsWithin(QuitWithinMs), qPrintable(m_session.activeWindowName()));
    QCOMPARE(m_program->exitCode(), 0);
    QCOMPARE(devicesUnder(m_disks).size(), 2);
}

void TestRealProgram::closingTheLastWindowAnswersItsSheet_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("Cancel") << "Escape";
    QTest::newRow("Close") << "alt+c";
    QTest::newRow("Eject Now") << "alt+e";
}

void TestRealProgram::closingTheLastWindowAnswersItsSheet()
{
    requireDiskMaker();
    QFETCH(QString, answer);
    startProgram();
    const QString mount = createDisk(QStringLiteral("8M"));
    QVERIFY(!mount.isEmpty());
    const QString device = devicesUnder(m_disks).value(mount);

    m_session.key(QStringLiteral("alt+F4")); // the window manager's close
    QVERIFY(m_session.waitForActiveWindow(text("ThisDiskIsActive")));
    m_session.key(answer);
    if (answer == QStringLiteral("alt+c")) {
        // The disk stays mounted; with no window left the program ends, asking nothing more.
        QVERIFY2(exitsWithin(QuitWithinMs), qPrintable(m_session.activeWindowName()));
        QCOMPARE(m_program->exitCode(), 0);
        QCOMPARE(devicesUnder(m_disks).value(mount), device);
        return;
    }
    if (answer == QStringLiteral("alt+e")) {
        QVERIFY(waitFor([&] { return ejected(mount, device, m_disks, m_program->processId()); },
                        MountWithinMs));
    } else {
        QVERIFY(!m_program->waitForFinished(500));
        QCOMPARE(devicesUnder(m_disks).value(mount), device);
        m_session.key(QStringLiteral("ctrl+e"));
        QVERIFY(waitFor([&] { return ejected(mount, device, m_disks, m_program->processId()); },
                        MountWithinMs));
    }
    QVERIFY(m_program->state() == QProcess::Running);
    // No disk left: closing the last window ends the program.
    QVERIFY(m_session.waitForActiveWindow(QStringLiteral("Ram Disk")));
    m_session.key(QStringLiteral("ctrl+w"));
    QVERIFY2(exitsWithin(QuitWithinMs), qPrintable(m_session.activeWindowName()));
    QCOMPARE(m_program->exitCode(), 0);
}

void TestRealProgram::aSecondWindowEjectsItsOwnDisk()
{
    requireDiskMaker();
    startProgram();
    const QString first = createDisk(QStringLiteral("8M"));
    QVERIFY(!first.isEmpty());
    m_session.key(QStringLiteral("ctrl+n"));
    QVERIFY(m_session.waitForActiveWindow(text("WindowTitleNew")));
    const QString second = createDisk(QStringLiteral("16 MiB"));
    QVERIFY(!second.isEmpty());
    const QString secondDevice = devicesUnder(m_disks).value(second);
    // Cascaded windows tell their disks apart by their titles.
    const QStringList titles = m_session.visibleWindowNames();
    QVERIFY2(titles.contains(QStringLiteral("Ram Disk (8 MiB) – Vellumar")) &&
                 titles.contains(QStringLiteral("Ram Disk (16 MiB) – Vellumar")),
             qPrintable(titles.join(QLatin1Char('|'))));

    QVERIFY(m_session.waitForActiveWindow(QStringLiteral("Ram Disk (16 MiB)")));
    m_session.key(QStringLiteral("ctrl+e"));
    QVERIFY(waitFor([&] { return ejected(second, secondDevice, m_disks, m_program->processId()); },
                    MountWithinMs));
    QCOMPARE(devicesUnder(m_disks).keys(), QStringList{first});
    const QString firstDevice = devicesUnder(m_disks).value(first);

    // The first disk is still there: quitting asks, "Eject All" takes it, then Ctrl+Q ends.
    m_session.key(QStringLiteral("ctrl+q"));
    QVERIFY(m_session.waitForActiveWindow(text("WarningSomeDiskActive")));
    m_session.key(QStringLiteral("alt+e"));
    QVERIFY(waitFor([&] { return ejected(first, firstDevice, m_disks, m_program->processId()); },
                    MountWithinMs));
    QVERIFY(m_session.waitForActiveWindow(QStringLiteral("Ram Disk")));
    m_session.key(QStringLiteral("ctrl+q"));
    QVERIFY2(exitsWithin(QuitWithinMs), qPrintable(m_session.activeWindowName()));
    QCOMPARE(m_program->exitCode(), 0);
}

void TestRealProgram::sigtermEndsAsAfterQuit()
{
    requireDiskMaker();
    startProgram();
    const QString mount = createDisk(QStringLiteral("8M"));
    QVERIFY(!mount.isEmpty());
    // The session ends: no alert can be answered, the program ends leaving the disk mounted.
    // Run as another user, the program is runuser's child: the signal goes to the program.
    pid_t program = pid_t(m_program->processId());
    if (m_user != currentUser()) {
        QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(program));
        QVERIFY(children.open(QIODevice::ReadOnly));
        program = pid_t(children.readAll().trimmed().split(' ').value(0).toInt());
        QVERIFY(program > 0);
    }
    QVERIFY(::kill(program, SIGTERM) == 0);
    QVERIFY2(exitsWithin(QuitWithinMs), "SIGTERM did not end the program");
    QCOMPARE(m_program->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_program->exitCode(), 0);
    QVERIFY(devicesUnder(m_disks).contains(mount));
}

void TestRealProgram::aRefusedSizeMakesNothing()
{
    startProgram();
    const QStringList ours = RealDisks::ourLoopDevices();
    m_session.type(QStringLiteral("512abc"));
    m_session.key(QStringLiteral("Return"));
    QVERIFY(m_session.waitForActiveWindow(text("PlzInsertDiskSize")));
    m_session.key(QStringLiteral("Return"));
    QVERIFY(m_session.waitForActiveWindow(text("WindowTitleNew")));
    QVERIFY(devicesUnder(m_disks).isEmpty());
    m_session.key(QStringLiteral("ctrl+q"));
    QVERIFY(exitsWithin(QuitWithinMs));
    QCOMPARE(m_program->exitCode(), 0);
}

void TestRealProgram::aSecondLaunchOpensAWindowOfTheFirst()
{
    startProgram();
    const std::unique_ptr<QProcess> second =
        launch(QStringLiteral(VELLUMAR_BUILD_BIN_DIR "/vellumar"));
    QVERIFY2(second->waitForFinished(QuitWithinMs), "the second launch did not end");
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    // One process, two windows; the new one in front.
    QVERIFY(m_program->state() == QProcess::Running);
    QVERIFY(
        waitFor([&] { return m_session.visibleWindowNames().count(text("WindowTitleNew")) == 2; },
                QuitWithinMs));
    QVERIFY(m_session.waitForActiveWindow(text("WindowTitleNew")));
    m_session.key(QStringLiteral("ctrl+q"));
    QVERIFY2(exitsWithin(QuitWithinMs), qPrintable(m_session.activeWindowName()));
    QCOMPARE(m_program->exitCode(), 0);
}

void TestRealProgram::aDiskEjectedFromTheCommandLineLeavesNothingToAskAtQuit()
{
    requireDiskMaker();
    startProgram();
    const QString mount = createDisk(QStringLiteral("8M"));
    QVERIFY(!mount.isEmpty());
    const QString device = devicesUnder(m_disks).value(mount);
    const std::unique_ptr<QProcess> eject = launch(
        QStringLiteral(VELLUMAR_BUILD_BIN_DIR "/vellumarctl"), {QStringLiteral("eject"), mount});
    QVERIFY(eject->waitForFinished(MountWithinMs));
    QCOMPARE(eject->exitCode(), 0);
    QVERIFY(waitFor([&] { return ejected(mount, device, m_disks, m_program->processId()); },
                    MountWithinMs));

    // The window knows the disk is gone: Ctrl+Q ends the program without the quit alert.
    QVERIFY(m_session.waitForActiveWindow(QStringLiteral("Ram Disk (8 MiB)")));
    QThread::msleep(200); // the mount table's news reaches the program
    m_session.key(QStringLiteral("ctrl+q"));
    QVERIFY2(exitsWithin(QuitWithinMs), qPrintable(m_session.activeWindowName()));
    QCOMPARE(m_program->exitCode(), 0);
}

// The desktop entry's "New RAM Disk" runs `vellumar --new-disk`: with a disk still mounted, its
// window comes back and a form for a new disk opens beside it, in front.
void TestRealProgram::newDiskActionOpensAFormBesideMountedDisks()
{
    requireDiskMaker();
    startProgram();
    const QString mount = createDisk(QStringLiteral("8M"));
    QVERIFY(!mount.isEmpty());
    QVERIFY(m_session.waitForActiveWindow(QStringLiteral("Ram Disk (8 MiB)")));
    m_session.key(QStringLiteral("ctrl+q"));
    QVERIFY(m_session.waitForActiveWindow(text("WarningSomeDiskActive")));
    m_session.key(QStringLiteral("alt+q"));
    QVERIFY2(exitsWithin(QuitWithinMs), "Quit did not end the program");

    m_arguments = {QStringLiteral("--new-disk")};
    startProgram();
    m_arguments.clear();
    const QStringList titles = m_session.visibleWindowNames();
    QVERIFY2(titles.contains(QStringLiteral("Ram Disk (8 MiB) – Vellumar")) &&
                 titles.filter(text("WindowTitleNew")).size() == 1,
             qPrintable(titles.join(QLatin1Char('|'))));
    // The form makes a second disk; the first one is still there.
    const QString second = createDisk(QStringLiteral("16M"));
    QVERIFY(!second.isEmpty());
    QCOMPARE(devicesUnder(m_disks).size(), 2);
}

QTEST_GUILESS_MAIN(TestRealProgram)
#include "TestRealProgram.moc"
