// The disk window on the real backend: a 64 MiB disk made, shown and ejected. Needs root.
#include "WindowTestSupport.h"

#include "Localization.h"
#include "MountLocation.h"
#include "RealDisks.h"
#include "TestEnvironment.h"
#include "UserDefaults.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QToolButton>

namespace {

QString fileSystemAt(const QString &path)
{
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    if (!mounts.open(QIODevice::ReadOnly))
        return QString();
    const QStringList lines = QString::fromUtf8(mounts.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QStringList fields = line.split(QLatin1Char(' '));
        if (fields.size() < 3)
            continue;
        QString target = fields.at(1);
        if (target.replace(QStringLiteral("\\040"), QStringLiteral(" ")) == QDir::cleanPath(path))
            return fields.at(2);
    }
    return QString();
}

// Screenshots for the record when VELLUMAR_SCREENS names a folder.
void grabInto(QWidget *widget, const char *name)
{
    const QString folder = qEnvironmentVariable("VELLUMAR_SCREENS");
    if (folder.isEmpty())
        return;
    QTest::qWait(200);
    widget->grab().save(folder + QLatin1Char('/') + QLatin1String(name));
}

} // namespace

class TestCreateWindowReal : public QObject
{
    Q_OBJECT

private slots:
    void createsAndEjectsA64MiBDisk();
};

void TestCreateWindowReal::createsAndEjectsA64MiBDisk()
{
    VELLUMAR_REQUIRE_DISKS();
    TestEnvironment env;
    RealDisks::CleanUpGuard guard{env.home()};
    // The disk goes in the temporary home, where the guard finds whatever is left.
    UserDefaults::standard().setObject(env.home() + QLatin1Char('/'), MountPath_pref);
    RamDisk::setToolTable(nullptr);
    QVXResetDontShowAgainChoices();
    const int before = anyDiskActive;

    const auto ctrl = std::make_shared<CreateWindowCtrl>();
    QMainWindow *window = ctrl->createWindow();
    ctrl->showWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    auto *presets = window->findChild<QComboBox *>(QStringLiteral("formatPopUpButton"));
    presets->setCurrentIndex(presets->findData(64));
    ctrl->setDiskFormat();
    // A block disk: its ext4 and loop device are looked at below.
    auto *kinds = window->findChild<QComboBox *>(QStringLiteral("kindChoice"));
    kinds->setCurrentIndex(kinds->findData(QStringLiteral("block")));
    grabInto(window, "window-create.png");

    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("createButton")),
                      Qt::LeftButton);
    QVERIFY(ctrl->disk());
    const QString tick = localizedStringForKey(QStringLiteral("tick"));
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("finalizeState"))->text(),
             localizedStringForKey(QStringLiteral("notDone"))); // no file manager while testing
    for (const char *mark : {"allocateState", "buildState", "mountState"}) {
        auto *label = window->findChild<QLabel *>(QLatin1String(mark));
        QVERIFY2(label->text() == tick, mark);
        QCOMPARE(label->palette().color(QPalette::WindowText), CreateWindowCtrl::statusColor(1));
    }
    const QString device = ctrl->disk()->device();
    QVERIFY(device.startsWith(QStringLiteral("/dev/loop")));
    QVERIFY(RealDisks::ourLoopDevices().contains(device));
    const QString mountPath = ctrl->disk()->mountPath();
    QVERIFY(mountPath.startsWith(env.home()));
    QCOMPARE(window->findChild<QLabel *>(QStringLiteral("mountResult"))->text(), mountPath);
    QCOMPARE(fileSystemAt(mountPath), QStringLiteral("ext4"));
    const QStorageInfo volume(mountPath);
    // 64 MiB less the file system's own tables and its 4 MiB journal.
    QVERIFY(volume.bytesTotal() > (52ll << 20) && volume.bytesTotal() <= (64ll << 20));
    QCOMPARE(int(anyDiskActive), before + 1);
    grabInto(window, "window-build.png");
    window->findChild<QToolButton *>(QStringLiteral("triangleButton"))->click();
    grabInto(window, "window-memory-open.png");
    window->findChild<QToolButton *>(QStringLiteral("triangleButton"))->click();

    // Closing asks first: the sheet, answered with Cancel.
    QVERIFY(!window->close());
    QTRY_VERIFY(QVXCurrentAlert());
    grabInto(window, "window-close-sheet.png");
    if (!qEnvironmentVariableIsEmpty("VELLUMAR_SCREENS"))
        QVXCurrentAlert()->grab().save(qEnvironmentVariable("VELLUMAR_SCREENS") +
                                       QStringLiteral("/close-sheet.png"));
    QVERIFY(clickAlertButton("defaultButton"));
    QTRY_VERIFY(!QVXCurrentAlert());

    QSignalSpy finished(ctrl.get(), &CreateWindowCtrl::teardownFinished);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("ejectButton")),
                      Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 60000);
    QCOMPARE(finished.first().first().toBool(), true);
    QVERIFY(fileSystemAt(mountPath).isEmpty());
    QVERIFY(!QFileInfo::exists(mountPath));
    QVERIFY(!RealDisks::ourLoopDevices().contains(device));
    QCOMPARE(int(anyDiskActive), before);
    grabInto(window, "window-destroy.png");
}

QTEST_MAIN(TestCreateWindowReal)
#include "TestCreateWindowReal.moc"
