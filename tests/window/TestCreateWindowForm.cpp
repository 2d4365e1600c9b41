// The disk window's form, its checks, the phase display and the memory panel, on fake tools.
#include "WindowTestSupport.h"

#include "DiskRules.h"
#include "DiskSize.h"
#include "DiskUsageLine.h"

#include "Localization.h"
#include "MediaLocation.h"
#include "MountLocation.h"
#include "SystemLog.h"
#include "TestEnvironment.h"
#include "UserDefaults.h"
#include "Workspace.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVXLinkTextField.h>

class TestCreateWindowForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void presetsFillSizeAndNameAndAskForSectors_data();
    void presetsFillSizeAndNameAndAskForSectors();
    void typingInTheSizeFieldResetsThePresetAndName();
    void sizeTexts_data();
    void sizeTexts();
    void germanDecimalComma();
    void emptyNameAndPathGetDefaults();
    void tildeIsExpandedForTheDiskOnly();
    void oversizedAndUnsafeRequestsAreRefused_data();
    void oversizedAndUnsafeRequestsAreRefused();
    void sizeAboveWhatTheHelperGrantsIsRefused();
    void kindChoiceHasAHintAndReachesTheDisk();
    void finalizeSaysNoFileManagerWasAsked();
    void phaseReportsShowMarkColourAndResult();
    void failedAllocationStillRunsTheLaterPhases();
    void memoryPanelShowsTheFigures();
    void memoryPanelRefreshesOnTimerActivationAndDisclosure();
    void mountedDiskSaysItsKindAndTheMemoryItHolds();
    void continuingProposesAFreshMountPath();
    void meminfoIsParsed();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void TestCreateWindowForm::init()
{
    m_env = std::make_unique<TestEnvironment>();
    QVXResetDontShowAgainChoices();
    // A machine with 8 GiB of memory, 6 GiB of it available, and 2 GiB of swap.
    CreateWindowCtrl::setMachineMemorySource([] {
        return MachineMemory{8ll << 20, 6ll << 20, 2ll << 20};
    });
}

void TestCreateWindowForm::cleanup()
{
    if (QWidget *alert = QVXCurrentAlert())
        alert->close();
    CreateWindowCtrl::setMachineMemorySource({});
    m_env.reset();
}

void TestCreateWindowForm::presetsFillSizeAndNameAndAskForSectors_data()
{
    QTest::addColumn<int>("megabytes");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("request");
    QTest::newRow("64") << 64 << "64 MiB"
                        << "Ram Disk 64 MiB"
                        << "ram://131072";
    QTest::newRow("128") << 128 << "128 MiB"
                         << "Ram Disk 128 MiB"
                         << "ram://262144";
    QTest::newRow("4 GiB") << 4096 << "4 GiB"
                           << "Ram Disk 4 GiB"
                           << "ram://8388608";
}

void TestCreateWindowForm::presetsFillSizeAndNameAndAskForSectors()
{
    QFETCH(int, megabytes);
    QFETCH(QString, size);
    QFETCH(QString, name);
    QFETCH(QString, request);
    WorkingTools tools;
    WindowUnderTest w;
    auto *presets = w.outlet<QComboBox>("formatPopUpButton");
    QCOMPARE(presets->itemData(0).toInt(), 0);
    const int index = presets->findData(megabytes);
    QVERIFY(index > 0);
    // Walk down with the keyboard as a user would: each step is a choice.
    presets->setFocus();
    for (int i = 0; i < index; ++i)
        QTest::keyClick(presets, Qt::Key_Down);
    QCOMPARE(presets->currentIndex(), index);
    // The preset says what it puts in the field.
    QCOMPARE(presets->currentText(), size);
    QCOMPARE(w.text("diskSizeField"), size);
    QCOMPARE(w.text("diskNameField"), name);

    QTest::mouseClick(w.outlet<QPushButton>("createButton"), Qt::LeftButton);
    QVERIFY(w.ctrl->disk());
    QCOMPARE(w.ctrl->disk()->diskName(), name);
    QCOMPARE(tools.callsOf(QStringLiteral("attach")),
             QStringList{QStringLiteral("attach|attach|") + request});
    QCOMPARE(w.ctrl->selectedTab(), QStringLiteral("BUILD"));
    QCOMPARE(w.text("diskNameBuildField"), name);

    // The free-entry item names the disk "Ram Disk" and keeps the size.
    presets->setCurrentIndex(index);
    QTest::keyClick(presets, Qt::Key_Home);
    QCOMPARE(presets->currentIndex(), 0);
    QCOMPARE(w.text("diskNameField"), QStringLiteral("Ram Disk"));
    QCOMPARE(w.text("diskSizeField"), size);
}

void TestCreateWindowForm::typingInTheSizeFieldResetsThePresetAndName()
{
    WindowUnderTest w;
    auto *presets = w.outlet<QComboBox>("formatPopUpButton");
    presets->setCurrentIndex(presets->findData(128));
    w.ctrl->setDiskFormat();
    QCOMPARE(w.text("diskNameField"), QStringLiteral("Ram Disk 128 MiB"));
    auto *size = w.outlet<QLineEdit>("diskSizeField");
    size->setFocus();
    size->end(false);
    QTest::keyClick(size, Qt::Key_Backspace);
    QTest::keyClicks(size, QStringLiteral("B"));
    QCOMPARE(presets->currentIndex(), 0);
    QCOMPARE(w.text("diskNameField"), QStringLiteral("Ram Disk"));
    QCOMPARE(w.text("diskSizeField"), QStringLiteral("128 MiB"));
    // Editing the name does not reset it.
    auto *name = w.outlet<QLineEdit>("diskNameField");
    name->clear();
    QTest::keyClicks(name, QStringLiteral("Scratch"));
    QCOMPARE(w.text("diskNameField"), QStringLiteral("Scratch"));
}

void TestCreateWindowForm::sizeTexts_data()
{
    // The machine has 8 GiB (init). Refusals name the alert's title key.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("preview");
    QTest::newRow("KiB") << " 8192 "
                         << "ram://16384"
                         << ""
                         << "= 8 MiB";
    QTest::newRow("unit") << "512M"
                          << "ram://1048576"
                          << ""
                          << "= 512 MiB";
    QTest::newRow("decimal unit") << "1.5 GiB"
                                  << "ram://3145728"
                                  << ""
                                  << "= 1.5 GiB";
    QTest::newRow("decimal unit name") << "1 GB"
                                       << "ram://2097152"
                                       << ""
                                       << "= 1 GiB";
    QTest::newRow("share") << "25%"
                           << "ram://4194304"
                           << ""
                           << "= 2 GiB";
    QTest::newRow("trailing letters") << "12abc"
                                      << ""
                                      << "PlzInsertDiskSize"
                                      << "not a size";
    QTest::newRow("zero") << "0"
                          << ""
                          << "PlzInsertDiskSize"
                          << "not a size";
    QTest::newRow("empty") << ""
                           << ""
                           << "PlzInsertDiskSize"
                           << "";
    QTest::newRow("below the minimum") << "100"
                                       << ""
                                       << "SizeTooSmall"
                                       << "= 100 KiB";
    QTest::newRow("past 2^32 blocks") << "2048G"
                                      << ""
                                      << "SizeDoesNotFit"
                                      << "not a size";
}

void TestCreateWindowForm::sizeTexts()
{
    QFETCH(QString, text);
    QFETCH(QString, request);
    QFETCH(QString, refusal);
    QFETCH(QString, preview);
    WorkingTools tools;
    WindowUnderTest w;
    auto *field = w.outlet<QLineEdit>("diskSizeField");
    QTest::keyClicks(field, text);
    QCOMPARE(w.text("diskSizePreview"), preview);
    w.ctrl->createDisk();
    if (!refusal.isEmpty()) {
        QVERIFY(!w.ctrl->disk());
        QCOMPARE(w.ctrl->selectedTab(), QStringLiteral("CREATE"));
        QTRY_VERIFY(QVXCurrentAlert());
        QCOMPARE(alertTitle(), localizedStringForKey(refusal));
        QVERIFY(clickAlertButton("defaultButton"));
        QCOMPARE(w.text("diskSizeField"), text);
        QVERIFY(tools.tools.calls().isEmpty());
    } else {
        QVERIFY(w.ctrl->disk());
        QCOMPARE(tools.callsOf(QStringLiteral("attach")),
                 QStringList{QStringLiteral("attach|attach|") + request});
        // The BUILD tab and the title say how large the disk is.
        const QString size = preview.mid(2);
        QVERIFY2(w.text("diskSizeBuildField").endsWith(size),
                 qPrintable(w.text("diskSizeBuildField")));
        QVERIFY(w.ctrl->windowTitle().contains(size));
    }
}

void TestCreateWindowForm::germanDecimalComma()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    WorkingTools tools;
    WindowUnderTest w;
    QTest::keyClicks(w.outlet<QLineEdit>("diskSizeField"), QStringLiteral("1,5G"));
    const QString preview = w.text("diskSizePreview");
    w.ctrl->createDisk();
    QLocale::setDefault(before);
    QCOMPARE(preview, QStringLiteral("= 1,5 GiB"));
    QVERIFY(w.ctrl->disk());
    QCOMPARE(tools.callsOf(QStringLiteral("attach")),
             QStringList{QStringLiteral("attach|attach|ram://3145728")});
}

void TestCreateWindowForm::emptyNameAndPathGetDefaults()
{
    WorkingTools tools;
    WindowUnderTest w;
    // The default place: the user's media folder, where the helper makes the disk's folder.
    const QString proposed = w.ctrl->defaultMountPath();
    QCOMPARE(proposed, MediaLocation::folder() + QLatin1Char('/'));
    auto *path = w.outlet<QLineEdit>("pathField");
    QCOMPARE(path->text(), proposed);

    // Refused size: the empty path is filled all the same.
    path->clear();
    w.outlet<QLineEdit>("diskSizeField")->setText(QStringLiteral("0"));
    w.ctrl->createDisk();
    QCOMPARE(path->text(), proposed);
    QVERIFY(clickAlertButton("defaultButton"));

    path->clear();
    w.outlet<QLineEdit>("diskNameField")->clear();
    w.outlet<QLineEdit>("diskSizeField")->setText(QStringLiteral("1024"));
    w.ctrl->createDisk();
    QVERIFY(w.ctrl->disk());
    QCOMPARE(w.ctrl->disk()->diskName(), QStringLiteral("Ram Disk"));
    QCOMPARE(w.ctrl->disk()->mountPath(), QDir::cleanPath(proposed));
    QCOMPARE(w.text("diskNameField"), QString());
    QCOMPARE(path->text(), proposed);
}

void TestCreateWindowForm::tildeIsExpandedForTheDiskOnly()
{
    WorkingTools tools;
    WindowUnderTest w;
    w.outlet<QLineEdit>("pathField")->setText(QStringLiteral("~/scratch disk"));
    w.outlet<QLineEdit>("diskSizeField")->setText(QStringLiteral("2048"));
    w.ctrl->createDisk();
    QVERIFY(w.ctrl->disk());
    const QString expanded = m_env->home() + QStringLiteral("/scratch disk");
    QCOMPARE(w.ctrl->disk()->mountPath(), expanded);
    QCOMPARE(w.text("pathField"), QStringLiteral("~/scratch disk"));
    QCOMPARE(w.text("mountResult"), expanded);
    // The link is a proper file URL of the folder, spaces and all.
    auto *link = w.outlet<QVXLinkTextField>("mountResult");
    QCOMPARE(link->URL(), QUrl::fromLocalFile(expanded));
    QVERIFY(link->usePointHandCursor());
}

void TestCreateWindowForm::oversizedAndUnsafeRequestsAreRefused_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("titleKey");
    QTest::newRow("block count beyond 32 bits") << "2147483648"
                                                << ""
                                                << "SizeDoesNotFit";
    QTest::newRow("beyond memory and swap") << QString::number((10ll << 20) + 1) << ""
                                            << "SizeExceedsMemory";
    QTest::newRow("relative path") << "1024"
                                   << "disks/one"
                                   << "MountPathInvalid";
    QTest::newRow("system folder") << "1024"
                                   << "/usr/local"
                                   << "MountPathInvalid";
}

void TestCreateWindowForm::oversizedAndUnsafeRequestsAreRefused()
{
    QFETCH(QString, size);
    QFETCH(QString, path);
    QFETCH(QString, titleKey);
    WorkingTools tools;
    WindowUnderTest w;
    if (!path.isEmpty())
        w.outlet<QLineEdit>("pathField")->setText(path);
    w.outlet<QLineEdit>("diskSizeField")->setText(size);
    const int before = anyDiskActive;
    w.ctrl->createDisk();
    QTRY_VERIFY(QVXCurrentAlert());
    QCOMPARE(alertTitle(), localizedStringForKey(titleKey));
    auto *message = QVXCurrentAlert()->findChild<QLabel *>(QStringLiteral("message"));
    QVERIFY(message && !message->text().isEmpty());
    QVERIFY(clickAlertButton("defaultButton"));
    QVERIFY(!w.ctrl->disk());
    QCOMPARE(w.ctrl->selectedTab(), QStringLiteral("CREATE"));
    QCOMPARE(int(anyDiskActive), before);
    QVERIFY(tools.tools.calls().isEmpty());
}

void TestCreateWindowForm::sizeAboveWhatTheHelperGrantsIsRefused()
{
    WorkingTools tools;
    WindowUnderTest w;
    // 7 GiB: above the 5.5 GiB the helper grants (6 GiB available less 512 MiB kept free).
    w.outlet<QLineEdit>("diskSizeField")->setText(QString::number(7ll << 20));
    w.ctrl->createDisk();
    QTRY_VERIFY(QVXCurrentAlert());
    QCOMPARE(alertTitle(), localizedStringForKey(QStringLiteral("SizeExceedsMemory")));
    auto *message = QVXCurrentAlert()->findChild<QLabel *>(QStringLiteral("message"));
    QCOMPARE(message->text(),
             DiskRules::memory(7ll << 20, CreateWindowCtrl::machineMemory()).sentence);
    // No "Create anyway": the helper would refuse it.
    QVERIFY(!QVXCurrentAlert()->findChild<QPushButton *>(QStringLiteral("alternateButton")) ||
            !QVXCurrentAlert()
                 ->findChild<QPushButton *>(QStringLiteral("alternateButton"))
                 ->isVisible());
    QVERIFY(clickAlertButton("defaultButton"));
    QVERIFY(!w.ctrl->disk());
    QVERIFY(tools.tools.calls().isEmpty());
}

void TestCreateWindowForm::kindChoiceHasAHintAndReachesTheDisk()
{
    WorkingTools tools;
    WindowUnderTest w;
    auto *kinds = w.outlet<QComboBox>("kindChoice");
    QCOMPARE(kinds->count(), 3);
    QCOMPARE(kinds->currentData().toString(), QStringLiteral("memory"));
    QCOMPARE(w.text("kindHint"), QStringLiteral("Fastest: the kernel's own memory file system"));
    kinds->setCurrentIndex(kinds->findData(QStringLiteral("compressed")));
    QCOMPARE(w.text("kindHint"),
             QStringLiteral("Holds more in less memory when the data compresses: source trees, "
                            "logs, caches"));
    kinds->setCurrentIndex(kinds->findData(QStringLiteral("block")));
    QCOMPARE(w.text("kindHint"),
             QStringLiteral("A real block device (ext4), for programs that need one"));
    w.outlet<QLineEdit>("diskSizeField")->setText(QStringLiteral("4096"));
    w.ctrl->createDisk();
    QVERIFY(w.ctrl->disk());
    QCOMPARE(w.ctrl->disk()->kind(), DiskKind::Block);
    w.ctrl->destroyDisk();
    QTRY_VERIFY(!w.ctrl->isTearingDown());

    // The default kind for a new disk is memory.
    WindowUnderTest fresh;
    fresh.outlet<QLineEdit>("diskSizeField")->setText(QStringLiteral("4096"));
    fresh.ctrl->createDisk();
    QVERIFY(fresh.ctrl->disk());
    QCOMPARE(fresh.ctrl->disk()->kind(), DiskKind::Memory);
    fresh.ctrl->destroyDisk();
    QTRY_VERIFY(!fresh.ctrl->isTearingDown());
}

void TestCreateWindowForm::finalizeSaysNoFileManagerWasAsked()
{
    WorkingTools tools;
    WindowUnderTest w;
    w.outlet<QLineEdit>("diskSizeField")->setText(QStringLiteral("4096"));
    w.ctrl->createDisk();
    QVERIFY(w.ctrl->disk());
    // Tests ask no file manager: the step says so, with no tick.
    QVERIFY(w.text("finalizeState") != localizedStringForKey(QStringLiteral("tick")));
    QVERIFY(w.text("finalizeState") != localizedStringForKey(QStringLiteral("cross")));
    QVERIFY2(w.text("finalizeResult").contains(QStringLiteral("No file manager was asked")),
             qPrintable(w.text("finalizeResult")));
    w.ctrl->destroyDisk();
    QTRY_VERIFY(!w.ctrl->isTearingDown());

    // A file manager that takes the request: ticked. None that does: crossed, and why.
    bool taken = true;
    Workspace::shared().setFileManagerAsker([&taken](const QString &, QString *error) {
        *error = QStringLiteral("no file manager on the bus");
        return taken;
    });
    Workspace::shared().setFolderOpener([](const QString &) { return false; });
    for (const bool take : {true, false}) {
        taken = take;
        w.ctrl->continueToCreate();
        w.outlet<QLineEdit>("diskSizeField")->setText(QStringLiteral("4096"));
        w.ctrl->createDisk();
        QCOMPARE(w.text("finalizeState"),
                 localizedStringForKey(take ? QStringLiteral("tick") : QStringLiteral("cross")));
        QCOMPARE(w.text("finalizeResult").contains(QStringLiteral("no file manager on the bus")),
                 !take);
        w.ctrl->destroyDisk();
        QTRY_VERIFY(!w.ctrl->isTearingDown());
    }
    Workspace::shared().setFileManagerAsker({});
    Workspace::shared().setFolderOpener({});
}

void TestCreateWindowForm::phaseReportsShowMarkColourAndResult()
{
    WindowUnderTest w;
    const auto mark = [&w](const char *field) { return w.text(field); };
    const auto colour = [&w](const char *field) {
        return w.outlet<QLabel>(field)->palette().color(QPalette::WindowText);
    };
    const QString tick = localizedStringForKey(QStringLiteral("tick"));
    const QString cross = localizedStringForKey(QStringLiteral("cross"));
    const QString dot = localizedStringForKey(QStringLiteral("dot"));
    QVERIFY(tick != cross && cross != dot);

    w.ctrl->fase(0, true, QStringLiteral("/dev/loop3"));
    QCOMPARE(mark("allocateState"), tick);
    QCOMPARE(colour("allocateState"), CreateWindowCtrl::statusColor(1));
    QVERIFY(colour("allocateState").green() > colour("allocateState").red());
    QCOMPARE(w.text("allocateResult"), QStringLiteral("/dev/loop3"));

    // A failure: one sentence saying what failed, then the tool's own words.
    w.ctrl->fase(1, false, QStringLiteral("mkfs.ext4: Device size reported to be zero.\n"));
    QCOMPARE(mark("buildState"), cross);
    QVERIFY(colour("buildState").red() > colour("buildState").green());
    QCOMPARE(w.text("buildResult"),
             localizedStringForKey(QStringLiteral("BuildFailed")) +
                 QStringLiteral("\nmkfs.ext4: Device size reported to be zero."));

    auto *link = w.outlet<QVXLinkTextField>("mountResult");
    w.ctrl->fase(2, true, QStringLiteral("/tmp/My Disks/ramdisk1.1"));
    QCOMPARE(mark("mountState"), tick);
    QCOMPARE(link->text(), QStringLiteral("/tmp/My Disks/ramdisk1.1"));
    QCOMPARE(link->URL().toEncoded(), QByteArray("file:///tmp/My%20Disks/ramdisk1.1"));

    // A failure text is shown as plain text and makes no link.
    w.ctrl->fase(2, false, QStringLiteral("impossible to create mount directory"));
    QCOMPARE(mark("mountState"), cross);
    QCOMPARE(link->text(), localizedStringForKey(QStringLiteral("MountFailed")) +
                               QStringLiteral("\nimpossible to create mount directory"));
    QCOMPARE(link->textFormat(), Qt::PlainText);
    QVERIFY(link->URL().isEmpty());

    // Phase 3 touches only its mark; other numbers touch nothing.
    const char *fields[] = {"allocateState", "allocateResult", "buildState",   "buildResult",
                            "mountState",    "mountResult",    "finalizeState"};
    const auto snapshot = [&] {
        QStringList texts;
        for (const char *field : fields)
            texts << w.text(field);
        return texts;
    };
    QStringList before = snapshot();
    w.ctrl->fase(3, true, QStringLiteral("ignored"));
    QStringList after = snapshot();
    QCOMPARE(after.last(), tick);
    after.removeLast();
    before.removeLast();
    QCOMPARE(after, before);
    before = snapshot();
    w.ctrl->fase(4, false, QStringLiteral("x"));
    w.ctrl->fase(-1, false, QStringLiteral("x"));
    QCOMPARE(snapshot(), before);

    w.ctrl->setStatusValue(2, w.outlet<QLabel>("finalizeState"));
    QCOMPARE(mark("finalizeState"), dot);
    QCOMPARE(colour("finalizeState"), CreateWindowCtrl::statusColor(-1));
}

void TestCreateWindowForm::failedAllocationStillRunsTheLaterPhases()
{
    WorkingTools tools(QStringLiteral("detached\n"), /*allocatorMissing=*/true);
    WindowUnderTest w;
    SystemLog::Capture log;
    const int before = anyDiskActive;
    w.outlet<QLineEdit>("diskSizeField")->setText(QStringLiteral("4096"));
    w.ctrl->createDisk();
    QVERIFY(w.ctrl->disk());
    const QString cross = localizedStringForKey(QStringLiteral("cross"));
    QCOMPARE(w.text("allocateState"), cross);
    QVERIFY(w.text("allocateResult").endsWith(ERROR));
    // Each later phase reported its own outcome: none is left pending.
    const QString dot = localizedStringForKey(QStringLiteral("dot"));
    for (const char *field : {"buildState", "mountState", "finalizeState"})
        QVERIFY2(w.text(field) != dot && !w.text(field).isEmpty(), field);
    // Nothing was mounted, so no folder is shown and the last step is no success either.
    QCOMPARE(w.text("finalizeState"), cross);
    QVERIFY(log.lines().contains(QStringLiteral("error allocateRAM")));
    QVERIFY(w.ctrl->disk()->isMountedAndActive());
    QCOMPARE(int(anyDiskActive), before + 1);

    // The owed teardown brings the counter back.
    w.ctrl->destroyDisk();
    QTRY_VERIFY(!w.ctrl->isTearingDown());
    QCOMPARE(int(anyDiskActive), before);
}

void TestCreateWindowForm::memoryPanelShowsTheFigures()
{
    WindowUnderTest w;
    // 2 GiB in all, 824.1 MiB free and 200 MiB inactive: 1023.9 MiB used shows as 1023.
    w.memory->counters.pageSize = 1;
    w.memory->counters.freeCount = quint64(824.1 * 1024 * 1024);
    w.memory->counters.wireCount = 300ull << 20;
    w.memory->counters.inactiveCount = 200ull << 20;
    w.memory->counters.pageins = 3000000000ull; // beyond 31 bits: still positive
    w.memory->counters.pageouts = 7;
    w.memory->counters.hits = 5000000000ull;
    w.memory->counters.faults = 42;
    w.memory->total = 2048ull << 20;
    // The total is read once when the statistics start: make a fresh window.
    auto fed = std::make_unique<FedMemStatsSource>(*w.memory);
    WindowUnderTest fresh;
    fresh.ctrl =
        std::make_shared<CreateWindowCtrl>(std::make_unique<MenuMeterMemStats>(std::move(fed)));

    QCOMPARE(fresh.text("totalMemNextBarField"), QStringLiteral("2 GiB"));
    QCOMPARE(fresh.text("totalMemoryField"), QStringLiteral("2 GiB"));
    QCOMPARE(fresh.text("usedMemNextBarField"), QStringLiteral("1023 MiB"));
    QCOMPARE(fresh.text("usedMemoryField"), QStringLiteral("1023 MiB"));
    QCOMPARE(fresh.text("wiredMemoryField"), QStringLiteral("300 MiB"));
    QCOMPARE(fresh.text("inactiveMemoryField"), QStringLiteral("200 MiB"));
    QCOMPARE(fresh.text("freeMemoryField"), QStringLiteral("1 GiB"));
    QCOMPARE(fresh.text("freePageField"), QStringLiteral("824 MiB"));
    QCOMPARE(fresh.text("pageinsField"), QStringLiteral("3000000000"));
    QCOMPARE(fresh.text("pageoutsField"), QStringLiteral("7"));
    QCOMPARE(fresh.text("hitsField"), QStringLiteral("5000000000"));
    QCOMPARE(fresh.text("faultsField"), QStringLiteral("42"));
    auto *bar = fresh.outlet<QProgressBar>("memoryProgressBar");
    QCOMPARE(bar->maximum(), 2048);
    QCOMPARE(bar->value(), 1023);

    // No statistics: every figure reads 0 and the bar is empty.
    w.memory->failing = true;
    w.ctrl->updateMemory();
    for (const char *field :
         {"totalMemNextBarField", "usedMemNextBarField", "totalMemoryField", "usedMemoryField",
          "wiredMemoryField", "inactiveMemoryField", "freeMemoryField", "freePageField"})
        QCOMPARE(w.text(field), QStringLiteral("0 KiB"));
    for (const char *field : {"pageinsField", "pageoutsField", "hitsField", "faultsField"})
        QCOMPARE(w.text(field), QStringLiteral("0"));
    bar = w.outlet<QProgressBar>("memoryProgressBar");
    QCOMPARE(bar->maximum(), 0);
    QCOMPARE(bar->value(), 0);
}

void TestCreateWindowForm::memoryPanelRefreshesOnTimerActivationAndDisclosure()
{
    WindowUnderTest w;
    QTimer *timer = w.ctrl->memoryUpdated();
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 15000);
    QVERIFY(!timer->isSingleShot());

    int readings = w.memory->readings;
    timer->setInterval(5);
    QTRY_VERIFY(w.memory->readings > readings);
    timer->setInterval(15000);

    w.ctrl->showWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.ctrl->createWindow()));
    readings = w.memory->readings;
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(w.ctrl->createWindow(), &activate);
    QApplication::sendEvent(w.ctrl->createWindow(), &activate);
    QCOMPARE(w.memory->readings, readings + 2);

    // Opening the details refreshes and grows the window; closing does neither.
    auto *triangle = w.outlet<QToolButton>("triangleButton");
    auto *details = w.outlet<QWidget>("memoryDetails");
    const int closedHeight = w.ctrl->createWindow()->height();
    readings = w.memory->readings;
    QTest::mouseClick(triangle, Qt::LeftButton);
    QCOMPARE(w.memory->readings, readings + 1);
    QTRY_VERIFY(details->isVisible());
    QVERIFY(w.ctrl->createWindow()->height() > closedHeight);
    readings = w.memory->readings;
    QTest::mouseClick(triangle, Qt::LeftButton);
    QCOMPARE(w.memory->readings, readings);
    QCOMPARE(w.ctrl->createWindow()->height(), closedHeight);

    // A closed window stops its timer.
    w.ctrl->createWindow()->close();
    QVERIFY(!timer->isActive());
}

void TestCreateWindowForm::mountedDiskSaysItsKindAndTheMemoryItHolds()
{
    WorkingTools tools;
    WindowUnderTest w;
    DiskMemoryUse figures;
    figures.heldKiB = 65536;
    figures.dataKiB = 180224;
    QStringList asked;
    DiskUsageLine::setSource([&](DiskKind kind, const QString &device, const QString &path) {
        asked << DiskKinds::name(kind) + QLatin1Char(' ') + device + QLatin1Char(' ') + path;
        return figures;
    });
    const auto kernelAgain = qScopeGuard([] { DiskUsageLine::setSource({}); });
    auto *line = w.outlet<QLabel>("diskUsageField");
    QWidget *window = w.ctrl->createWindow();
    QVERIFY(!line->isVisibleTo(window));

    // A compressed disk found mounted: its figures at once, read for its own device and folder.
    DiskInfo found;
    found.device = QStringLiteral("/dev/zram3");
    found.mountPath = m_env->path(QStringLiteral("Logs"));
    found.kind = DiskKind::Compressed;
    found.sizeKiB = 256 * 1024;
    found.name = QStringLiteral("Logs");
    w.ctrl->adoptMountedDisk(found);
    QCOMPARE(w.text("diskUsageField"),
             QStringLiteral("Kind: compressed. Holds 64 MiB of memory for "
                            "176 MiB of data (2.75×)"));
    QVERIFY(line->isVisibleTo(window));
    QCOMPARE(asked.last(), QStringLiteral("compressed /dev/zram3 ") + found.mountPath);

    // The window's refresh reads the figures again.
    figures.heldKiB = 128 * 1024;
    figures.dataKiB = -1;
    QTimer *timer = w.ctrl->memoryUpdated();
    timer->setInterval(5);
    QTRY_COMPARE(w.text("diskUsageField"),
                 QStringLiteral("Kind: compressed. Holds 128 MiB of memory"));
    timer->setInterval(15000);
    // Figures that cannot be read leave only the kind.
    figures = DiskMemoryUse();
    w.ctrl->updateMemory();
    QCOMPARE(w.text("diskUsageField"), QStringLiteral("Kind: compressed"));

    // Gone elsewhere: the line goes with it, and nothing more is read.
    w.ctrl->markEjectedElsewhere();
    const qsizetype reads = asked.size();
    w.ctrl->updateMemory();
    QVERIFY(!line->isVisibleTo(window));
    QCOMPARE(asked.size(), reads);

    // A disk made here shows its line once mounted, and loses it with the eject.
    figures.heldKiB = 512;
    w.ctrl->continueToCreate();
    w.outlet<QLineEdit>("diskSizeField")->setText(QStringLiteral("4096"));
    w.ctrl->createDisk();
    QCOMPARE(w.text("diskUsageField"), QStringLiteral("Kind: memory. Holds 512 KiB of memory"));
    QVERIFY(asked.last().startsWith(QStringLiteral("memory /dev/loop7 ")));
    w.ctrl->destroyDisk();
    QTRY_VERIFY(!w.ctrl->isTearingDown());
    QVERIFY(!line->isVisibleTo(window));
}

void TestCreateWindowForm::continuingProposesAFreshMountPath()
{
    // Under a location of the user's own every proposal is a new folder.
    UserDefaults::standard().setObject(m_env->path(QStringLiteral("disks/")), MountPath_pref);
    const auto restore =
        qScopeGuard([] { UserDefaults::standard().removeObjectForKey(MountPath_pref); });
    WindowUnderTest w;
    const QString first = w.ctrl->defaultMountPath();
    w.ctrl->continueToCreate();
    const QString second = w.ctrl->defaultMountPath();
    QTest::mouseClick(w.outlet<QPushButton>("automaticPathButton"), Qt::LeftButton);
    const QString third = w.ctrl->defaultMountPath();
    QVERIFY(first != second && second != third && first != third);
    QCOMPARE(w.text("pathField"), third);
    QCOMPARE(w.ctrl->selectedTab(), QStringLiteral("CREATE"));
}

void TestCreateWindowForm::meminfoIsParsed()
{
    const MachineMemory memory = MachineMemory::parse(QStringLiteral(
        "MemTotal:       16318632 kB\nMemFree:  1000 kB\nMemAvailable:   12000000 kB\n"
        "SwapTotal:             0 kB\n"));
    QCOMPARE(memory.totalKiB, 16318632);
    QCOMPARE(memory.availableKiB, 12000000);
    QCOMPARE(memory.swapKiB, 0);
    QCOMPARE(MachineMemory::parse(QString()).totalKiB, -1);
}

QTEST_MAIN(TestCreateWindowForm)
#include "TestCreateWindowForm.moc"
