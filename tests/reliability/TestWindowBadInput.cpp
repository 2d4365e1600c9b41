// Odd and hostile input typed into a disk window, on the real backend: each case ends in an
// alert that says what is wrong and no disk, or in a sound disk that ejects cleanly; nothing of
// the user's is deleted or hidden.
#include "CreateWindowCtrl.h"
#include "HostileHome.h"
#include "Localization.h"
#include "MediaLocation.h"
#include "QVXAlerts.h"
#include "RamDisk.h"
#include "RealDisks.h"
#include "ReliabilitySupport.h"
#include "SystemDisks.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Reliability;

namespace {

enum Outcome { Refused, Made };

// The volume label from the ext4 superblock (16 bytes at 1024 + 120).
QString labelOf(const QString &device)
{
    QFile file(device);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(1024 + 120))
        return QStringLiteral("<unreadable>");
    const QByteArray raw = file.read(16);
    return QString::fromUtf8(raw.left(raw.indexOf('\0') < 0 ? 16 : raw.indexOf('\0')));
}

} // namespace

class TestWindowBadInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void typedInput_data();
    void typedInput();

private:
    void verifyUserFilesIntact();

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<MachineGuard> m_guard;
    bool m_hadMedia = true;
    std::unique_ptr<HostileHome> m_hostile;
    QString m_home;
};

void TestWindowBadInput::initTestCase()
{
    VELLUMAR_REQUIRE_ROOT();
    m_env = std::make_unique<TestEnvironment>();
    m_home = m_env->home();
    m_guard = std::make_unique<MachineGuard>(m_home);
    // Disks made with the default folder appear in the media folder; it goes again if made here.
    m_hadMedia = QFileInfo::exists(MediaLocation::folder());
    RamDisk::setToolTable(nullptr);
    QVXResetDontShowAgainChoices();
    m_hostile = std::make_unique<HostileHome>(m_home);
    QVERIFY2(m_hostile->problem().isEmpty(), qPrintable(m_hostile->problem()));
}

void TestWindowBadInput::cleanupTestCase()
{
    RamDisk::setToolTable(nullptr);
    m_hostile.reset();
    m_guard.reset();
    m_env.reset();
    if (!m_hadMedia)
        QDir().rmdir(MediaLocation::folder());
}

void TestWindowBadInput::verifyUserFilesIntact()
{
    const QStringList damage = m_hostile->damage();
    QVERIFY2(damage.isEmpty(), qPrintable(damage.join(QStringLiteral("; "))));
}

void TestWindowBadInput::typedInput_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("label"); // for a disk that is made

    const QString ok = QStringLiteral("8192");
    const QString none;
    // Sizes.
    QTest::newRow("size empty") << none << none << none << int(Refused) << none;
    QTest::newRow("size letters") << QStringLiteral("lots") << none << none << int(Refused) << none;
    QTest::newRow("size 0") << QStringLiteral("0") << none << none << int(Refused) << none;
    QTest::newRow("size negative")
        << QStringLiteral("-1024") << none << none << int(Refused) << none;
    QTest::newRow("size 2^31 KiB")
        << QStringLiteral("2147483648") << none << none << int(Refused) << none;
    QTest::newRow("size 2^64 KiB")
        << QStringLiteral("18446744073709551616") << none << none << int(Refused) << none;
    QTest::newRow("size above memory")
        << QStringLiteral("1073741824") << none << none << int(Refused) << none;
    // Names: a disk whose label is the name cut to 16 bytes at a character boundary.
    QTest::newRow("name empty") << ok << none << none << int(Made) << QStringLiteral("Ram Disk");
    QTest::newRow("name 200 characters") << ok << QString(200, QLatin1Char('n')) << none
                                         << int(Made) << QString(16, QLatin1Char('n'));
    QTest::newRow("name slash") << ok << QStringLiteral("/") << none << int(Made)
                                << QStringLiteral("/");
    QTest::newRow("name leading dash")
        << ok << QStringLiteral("-rf") << none << int(Made) << QStringLiteral("-rf");
    QTest::newRow("name quotes") << ok << QStringLiteral("it's \"q\" `x`") << none << int(Made)
                                 << QStringLiteral("it's \"q\" `x`");
    QTest::newRow("name non-ASCII") << ok << QStringLiteral("Grüße 日本語ディスク") << none
                                    << int(Made) << QStringLiteral("Grüße 日本");
    // Mount paths.
    QTest::newRow("path relative")
        << ok << none << QStringLiteral("relative/disk") << int(Refused) << none;
    QTest::newRow("path tilde") << ok << none << QStringLiteral("~") << int(Refused) << none;
    QTest::newRow("path tilde folder")
        << ok << none << QStringLiteral("~/disk") << int(Made) << QStringLiteral("Ram Disk");
    QTest::newRow("path under a plain file")
        << ok << none << QStringLiteral("$HOME/plain/disk") << int(Refused) << none;
    QTest::newRow("path folder with files")
        << ok << none << QStringLiteral("$HOME/full") << int(Refused) << none;
    QTest::newRow("path mount point")
        << ok << none << QStringLiteral("$HOME/mounted") << int(Refused) << none;
    QTest::newRow("path root") << ok << none << QStringLiteral("/") << int(Refused) << none;
    QTest::newRow("path /etc") << ok << none << QStringLiteral("/etc") << int(Refused) << none;
    QTest::newRow("path /usr/local")
        << ok << none << QStringLiteral("/usr/local") << int(Refused) << none;
}

void TestWindowBadInput::typedInput()
{
    VELLUMAR_REQUIRE_ROOT();
    QFETCH(QString, size);
    QFETCH(QString, name);
    QFETCH(QString, path);
    QFETCH(int, outcome);
    QFETCH(QString, label);
    path.replace(QStringLiteral("$HOME"), m_home);
    const QStringList devicesBefore = RealDisks::ourLoopDevices();
    const int countBefore = anyDiskActive.load();

    const auto ctrl = std::make_shared<CreateWindowCtrl>();
    QMainWindow *window = ctrl->createWindow();
    ctrl->showWindow();
    window->findChild<QLineEdit *>(QStringLiteral("diskSizeField"))->setText(size);
    window->findChild<QLineEdit *>(QStringLiteral("diskNameField"))->setText(name);
    // Labels are read back from the file system's own record: a block disk's ext4.
    auto *kinds = window->findChild<QComboBox *>(QStringLiteral("kindChoice"));
    kinds->setCurrentIndex(kinds->findData(QStringLiteral("block")));
    if (!path.isEmpty())
        window->findChild<QLineEdit *>(QStringLiteral("pathField"))->setText(path);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("createButton")),
                      Qt::LeftButton);

    if (outcome == Refused) {
        QTRY_VERIFY(QVXCurrentAlert());
        const auto *message = QVXCurrentAlert()->findChild<QLabel *>(QStringLiteral("message"));
        QVERIFY(message && message->text().size() > 20);
        QTest::mouseClick(
            QVXCurrentAlert()->findChild<QPushButton *>(QStringLiteral("defaultButton")),
            Qt::LeftButton);
        QTRY_VERIFY(!QVXCurrentAlert());
        QVERIFY(!ctrl->disk());
        QCOMPARE(ctrl->selectedTab(), QStringLiteral("CREATE"));
        QCOMPARE(anyDiskActive.load(), countBefore);
        QCOMPARE(strayDevices(devicesBefore), QStringList());
    } else {
        QVERIFY(!QVXCurrentAlert());
        QVERIFY(ctrl->disk());
        const QString tick = localizedStringForKey(QStringLiteral("tick"));
        for (const char *mark : {"allocateState", "buildState", "mountState"})
            QVERIFY2(window->findChild<QLabel *>(QLatin1String(mark))->text() == tick, mark);
        // Tests ask no file manager: the last step says so instead of a tick.
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("finalizeState"))->text(),
                 localizedStringForKey(QStringLiteral("notDone")));
        const QString device = ctrl->disk()->device();
        const QString mountPath = ctrl->disk()->mountPath();
        m_guard->keep(device);
        QVERIFY(SystemDisks::isMountPoint(mountPath));
        QCOMPARE(labelOf(device), label);
        QVERIFY(writePattern(mountPath + QStringLiteral("/f"), 100000, 2));
        QVERIFY(checkPattern(mountPath + QStringLiteral("/f"), 100000, 2));

        QSignalSpy finished(ctrl.get(), &CreateWindowCtrl::teardownFinished);
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("ejectButton")),
                          Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 30000);
        QCOMPARE(finished.first().first().toBool(), true);
        QVERIFY(!SystemDisks::isMountPoint(mountPath));
        // The window made the folder, so it goes with the disk.
        QVERIFY(!QFileInfo::exists(mountPath));
        QCOMPARE(anyDiskActive.load(), countBefore);
    }
    window->close();
    verifyUserFilesIntact();
}

QTEST_MAIN(TestWindowBadInput)
#include "TestWindowBadInput.moc"
