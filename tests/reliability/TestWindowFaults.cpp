// Tool faults as the disk window shows them: a missing tool, a tool failing with a message, and
// tools that hang, which must hold the window no longer than the time limit (creation, on the
// main thread) or not at all (eject, on a worker).
#include "CreateWindowCtrl.h"
#include "FakeTools.h"
#include "Localization.h"
#include "QVXAlerts.h"
#include "RamDisk.h"
#include "Settings.h"
#include "TestEnvironment.h"
#include "ToolTable.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class TestWindowFaults : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void toolFaultsShowTheirMessage_data();
    void toolFaultsShowTheirMessage();
    void hangingCreationToolHoldsTheWindowOnlyForItsLimit();
    void hangingEjectNeverHoldsTheWindow();

private:
    struct Tools
    {
        QString attach, mkfs, mount, umount, detach;
    };
    Tools working();
    void install(const Tools &tools);
    std::shared_ptr<CreateWindowCtrl> openWindow(const QString &size);
    QString text(const char *name) const
    {
        return m_ctrl->createWindow()->findChild<QLabel *>(QLatin1String(name))->text();
    }

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<FakeTools> m_fake;
    std::shared_ptr<CreateWindowCtrl> m_ctrl;
};

void TestWindowFaults::init()
{
    m_env = std::make_unique<TestEnvironment>();
    // Disks of fake tools get folders in the temporary home, not in the media folder.
    Settings::setMountLocation(m_env->home());
    m_fake = std::make_unique<FakeTools>();
    QVXResetDontShowAgainChoices();
    anyDiskActive = 0;
}

void TestWindowFaults::cleanup()
{
    if (m_ctrl && m_ctrl->disk() && m_ctrl->disk()->isMountedAndActive())
        m_ctrl->disk()->tearDown();
    m_ctrl.reset();
    RamDisk::setToolTable(nullptr);
    RamDisk::setCommandTimeLimitMs(120000);
    m_fake.reset();
    m_env.reset();
}

TestWindowFaults::Tools TestWindowFaults::working()
{
    return {m_fake->write(QStringLiteral("attach"), {QStringLiteral("/dev/loop7\n"), 0, {}, 0}),
            m_fake->write(QStringLiteral("mkfs"), {}), m_fake->write(QStringLiteral("mount"), {}),
            m_fake->write(QStringLiteral("umount"), {}),
            m_fake->write(QStringLiteral("detach"),
                          {QStringLiteral("\"/dev/loop7\" ejected.\n"), 0, {}, 0})};
}

void TestWindowFaults::install(const Tools &t)
{
    RamDisk::setToolTable(std::make_shared<ToolTable>(
        ToolTable::linuxTableWith(t.attach, t.mkfs, t.mount, t.umount, t.detach, QString())));
}

std::shared_ptr<CreateWindowCtrl> TestWindowFaults::openWindow(const QString &size)
{
    m_ctrl = std::make_shared<CreateWindowCtrl>();
    m_ctrl->showWindow();
    m_ctrl->createWindow()->findChild<QLineEdit *>(QStringLiteral("diskSizeField"))->setText(size);
    return m_ctrl;
}

void TestWindowFaults::toolFaultsShowTheirMessage_data()
{
    QTest::addColumn<QString>("broken"); // which tool
    QTest::addColumn<bool>("missing");   // missing, else failing with a message
    QTest::addColumn<QString>("resultField");
    QTest::addColumn<QString>("stateField");
    QTest::newRow("memory tool missing") << "attach" << true << "allocateResult"
                                         << "allocateState";
    QTest::newRow("memory tool fails") << "attach" << false << "allocateResult"
                                       << "allocateState";
    QTest::newRow("file-system tool missing") << "mkfs" << true << "buildResult"
                                              << "buildState";
    QTest::newRow("file-system tool fails") << "mkfs" << false << "buildResult"
                                            << "buildState";
    QTest::newRow("mount tool fails") << "mount" << false << "mountResult"
                                      << "mountState";
}

void TestWindowFaults::toolFaultsShowTheirMessage()
{
    QFETCH(QString, broken);
    QFETCH(bool, missing);
    QFETCH(QString, resultField);
    QFETCH(QString, stateField);
    Tools tools = working();
    const QString message = QStringLiteral("%1: something went wrong on purpose").arg(broken);
    const QString path =
        missing ? m_fake->missing(broken) : m_fake->write(broken, {QString(), 3, message, 0});
    if (broken == QStringLiteral("attach"))
        tools.attach = path;
    else if (broken == QStringLiteral("mkfs"))
        tools.mkfs = path;
    else
        tools.mount = path;
    install(tools);

    const auto ctrl = openWindow(QStringLiteral("4096"));
    ctrl->createDisk();
    QVERIFY(ctrl->disk());
    QCOMPARE(text(stateField.toLatin1().constData()),
             localizedStringForKey(QStringLiteral("cross")));
    const auto *field = ctrl->createWindow()->findChild<QWidget *>(resultField);
    const QString shown = field->property("text").toString();
    QVERIFY2(shown.contains(missing ? ERROR : message), qPrintable(shown));
    QCOMPARE(anyDiskActive.load(), 1);

    // The eject still gives back what was made and uncounts the disk.
    QSignalSpy finished(ctrl.get(), &CreateWindowCtrl::teardownFinished);
    ctrl->destroyDisk();
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().first().toBool(), true);
    QCOMPARE(anyDiskActive.load(), 0);
    QVERIFY(!QFileInfo::exists(ctrl->disk()->mountPath()));
}

void TestWindowFaults::hangingCreationToolHoldsTheWindowOnlyForItsLimit()
{
    Tools tools = working();
    tools.mkfs = m_fake->write(QStringLiteral("mkfs"), {QString(), 0, QString(), 62});
    install(tools);
    RamDisk::setCommandTimeLimitMs(800);
    const auto ctrl = openWindow(QStringLiteral("4096"));

    QElapsedTimer held;
    held.start();
    ctrl->createDisk(); // the creation runs on the main thread, as designed
    const qint64 elapsed = held.elapsed();
    QVERIFY2(elapsed < 800 + 2000, qPrintable(QStringLiteral("held for %1 ms").arg(elapsed)));
    QCOMPARE(text("buildState"), localizedStringForKey(QStringLiteral("cross")));
    QVERIFY2(text("buildResult").contains(QStringLiteral("mkfs")), qPrintable(text("buildResult")));
    QCOMPARE(text("allocateState"), localizedStringForKey(QStringLiteral("tick")));
}

void TestWindowFaults::hangingEjectNeverHoldsTheWindow()
{
    Tools tools = working();
    install(tools);
    RamDisk::setCommandTimeLimitMs(1500);
    const auto ctrl = openWindow(QStringLiteral("4096"));
    ctrl->createDisk();
    QCOMPARE(anyDiskActive.load(), 1);
    m_fake->write(QStringLiteral("umount"), {QString(), 0, QString(), 63});

    // A timer on the main thread keeps ticking while the eject's tool hangs on the worker.
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, &ticker, [&ticks] { ++ticks; });
    ticker.start(20);
    QSignalSpy finished(ctrl.get(), &CreateWindowCtrl::teardownFinished);
    QElapsedTimer held;
    held.start();
    ctrl->destroyDisk();
    QVERIFY2(held.elapsed() < 300, qPrintable(QString::number(held.elapsed())));
    QVERIFY(finished.wait(10000));
    QVERIFY2(ticks >= 30, qPrintable(QStringLiteral("%1 ticks").arg(ticks)));
    QVERIFY(held.elapsed() >= 1400 && held.elapsed() < 1500 + 3000);
    // An unmount stopped at its limit did not succeed: the memory stays, the disk stays owed.
    QCOMPARE(anyDiskActive.load(), 1);
    // Once the unmount works, the next eject goes through.
    m_fake->write(QStringLiteral("umount"), {QString(), 0, QString(), 0});
    QSignalSpy again(ctrl.get(), &CreateWindowCtrl::teardownFinished);
    ctrl->destroyDisk();
    QVERIFY(again.wait(10000));
    QCOMPARE(anyDiskActive.load(), 0);
}

QTEST_MAIN(TestWindowFaults)
#include "TestWindowFaults.moc"
