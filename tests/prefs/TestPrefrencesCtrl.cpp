// The mount location preferences, with the folder chooser answered by the test.
#include "PrefrencesCtrl.h"

#include "MediaLocation.h"
#include "MountLocation.h"
#include "QVXAlerts.h"
#include "TestEnvironment.h"
#include "UserDefaults.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

// The default shows where the disks appear: the user's media folder on Linux.
QString shownDefault()
{
#ifdef Q_OS_MACOS
    return DefaultMountPathLocation;
#else
    return MediaLocation::folder() + QLatin1Char('/');
#endif
}

} // namespace

class TestPrefrencesCtrl : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void updateSelectsByExactComparison_data();
    void updateSelectsByExactComparison();
    void defaultCellStoresTheDefault();
    void choosingAFolderStoresItsPath();
    void cancellingGoesBackToTheDefault();
    void theChosenCellOpensTheChooserEveryTime();
    void openPanelDidEndWithoutTheDialog();
    void otherControlsOfTheWindow();
    void escapeAndCtrlWClose_data();
    void escapeAndCtrlWClose();

private:
    QString stored() const { return UserDefaults::standard().stringForKey(MountPath_pref); }
    void click(int id);
    QFileDialog *waitForPanel();

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<PrefrencesCtrl> m_prefs;
};

void TestPrefrencesCtrl::init()
{
    m_env = std::make_unique<TestEnvironment>();
    UserDefaults::standard().registerDefaults({{MountPath_pref, DefaultMountPathLocation}});
    m_prefs = std::make_unique<PrefrencesCtrl>();
    m_prefs->showWindow();
}

void TestPrefrencesCtrl::cleanup()
{
    m_prefs.reset();
    m_env.reset();
}

void TestPrefrencesCtrl::click(int id)
{
    // On the indicator: a stretched radio button only takes clicks on its indicator and text.
    QAbstractButton *cell = m_prefs->locationMatrix()->button(id);
    QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(6, cell->height() / 2));
}

QFileDialog *TestPrefrencesCtrl::waitForPanel()
{
    if (!QTest::qWaitFor(
            [this] { return m_prefs->openPanel() && m_prefs->openPanel()->isVisible(); }, 3000))
        return nullptr;
    return m_prefs->openPanel();
}

void TestPrefrencesCtrl::updateSelectsByExactComparison_data()
{
    QTest::addColumn<QString>("value"); // empty: nothing stored
    QTest::addColumn<int>("cell");
    QTest::newRow("registered default") << "" << 0;
    QTest::newRow("default stored") << DefaultMountPathLocation << 0;
    QTest::newRow("the first releases' default") << "~/Library/Application Support/Vellumar/" << 0;
    QTest::newRow("without the slash") << "~/Library/Application Support/Vellumar" << 1;
    QTest::newRow("tilde expanded")
        << QDir::homePath() + QStringLiteral("/Library/Application Support/Vellumar/") << 1;
    QTest::newRow("another folder") << "/srv/disks" << 1;
}

void TestPrefrencesCtrl::updateSelectsByExactComparison()
{
    QFETCH(QString, value);
    QFETCH(int, cell);
    if (!value.isEmpty())
        UserDefaults::standard().setObject(value, MountPath_pref);
    m_prefs->update();
    QCOMPARE(m_prefs->locationMatrix()->checkedId(), cell);
    QCOMPARE(m_prefs->locationField()->text(), cell == 0 ? shownDefault() : value);
    QVERIFY(!m_prefs->openPanel()); // refreshing never opens the chooser
}

void TestPrefrencesCtrl::defaultCellStoresTheDefault()
{
    UserDefaults::standard().setObject(QStringLiteral("/srv/disks"), MountPath_pref);
    m_prefs->update();
    click(PrefrencesCtrl::DefaultLocation);
    QCOMPARE(stored(), DefaultMountPathLocation);
    QCOMPARE(m_prefs->locationField()->text(), shownDefault());
    // Clicking it again stores the same again and opens nothing.
    click(PrefrencesCtrl::DefaultLocation);
    QCOMPARE(stored(), DefaultMountPathLocation);
    QCOMPARE(m_prefs->locationMatrix()->checkedId(), 0);
    QVERIFY(!m_prefs->openPanel());
}

void TestPrefrencesCtrl::choosingAFolderStoresItsPath()
{
    const QString folder = m_env->path(QStringLiteral("disks"));
    QVERIFY(QDir().mkpath(folder));
    click(PrefrencesCtrl::ChosenLocation);
    QFileDialog *panel = waitForPanel();
    QVERIFY(panel);
    QCOMPARE(panel->fileMode(), QFileDialog::Directory);
    QVERIFY(panel->isModal());
    QCOMPARE(panel->windowModality(), Qt::WindowModal);
    QCOMPARE(panel->parentWidget(), m_prefs->preferencesWindow());
    // Nothing is stored while the chooser is open.
    QCOMPARE(stored(), DefaultMountPathLocation);

    panel->setDirectory(m_env->home());
    panel->selectFile(folder);
    static_cast<QDialog *>(panel)->accept(); // the Choose button
    QTRY_COMPARE(stored(), folder);
    QCOMPARE(m_prefs->locationField()->text(), folder);
    QCOMPARE(m_prefs->locationMatrix()->checkedId(), 1);
    QTRY_VERIFY(!m_prefs->openPanel());

    // The default folder chosen in the chooser is stored as its absolute path: tag 1 next time.
    const QString defaultFolder =
        m_env->path(QStringLiteral("Library/Application Support/Vellumar"));
    QVERIFY(QDir().mkpath(defaultFolder));
    m_prefs->openPanelDidEnd(1, {defaultFolder});
    m_prefs->update();
    QCOMPARE(stored(), defaultFolder);
    QCOMPARE(m_prefs->locationMatrix()->checkedId(), 1);
}

void TestPrefrencesCtrl::cancellingGoesBackToTheDefault()
{
    UserDefaults::standard().setObject(QStringLiteral("/srv/disks"), MountPath_pref);
    m_prefs->update();
    QCOMPARE(m_prefs->locationMatrix()->checkedId(), 1);
    click(PrefrencesCtrl::ChosenLocation);
    QFileDialog *panel = waitForPanel();
    QVERIFY(panel);
    QTest::keyClick(panel, Qt::Key_Escape);
    QTRY_COMPARE(stored(), DefaultMountPathLocation);
    QCOMPARE(m_prefs->locationMatrix()->checkedId(), 0);
    QCOMPARE(m_prefs->locationField()->text(), shownDefault());
}

void TestPrefrencesCtrl::theChosenCellOpensTheChooserEveryTime()
{
    const QString folder = m_env->path(QStringLiteral("first"));
    QVERIFY(QDir().mkpath(folder));
    click(PrefrencesCtrl::ChosenLocation);
    QFileDialog *panel = waitForPanel();
    QVERIFY(panel);
    panel->selectFile(folder);
    static_cast<QDialog *>(panel)->accept(); // the Choose button
    QTRY_COMPARE(stored(), folder);
    QTRY_VERIFY(!m_prefs->openPanel());

    // Already selected: a click opens it again.
    QVERIFY(m_prefs->locationMatrix()->button(1)->isChecked());
    click(PrefrencesCtrl::ChosenLocation);
    QVERIFY(waitForPanel());
    m_prefs->openPanel()->reject();
    QTRY_COMPARE(stored(), DefaultMountPathLocation);
}

void TestPrefrencesCtrl::openPanelDidEndWithoutTheDialog()
{
    m_prefs->openPanelDidEnd(1, {QStringLiteral("/srv/disks"), QStringLiteral("/srv/other")});
    QCOMPARE(stored(), QStringLiteral("/srv/disks"));
    QCOMPARE(m_prefs->locationMatrix()->checkedId(), 1);
    m_prefs->openPanelDidEnd(0, {QStringLiteral("/srv/ignored")});
    QCOMPARE(stored(), DefaultMountPathLocation);
    QCOMPARE(m_prefs->locationMatrix()->checkedId(), 0);
    // An answer of 1 with nothing chosen is no choice.
    m_prefs->openPanelDidEnd(1, {});
    QCOMPARE(stored(), DefaultMountPathLocation);
}

void TestPrefrencesCtrl::otherControlsOfTheWindow()
{
    QWidget *window = m_prefs->preferencesWindow();
    QVERIFY(window->findChild<QWidget *>(QStringLiteral("locationMatrix")));
    if (const QString folder = qEnvironmentVariable("VELLUMAR_SCREENS"); !folder.isEmpty()) {
        QTest::qWait(200);
        window->grab().save(folder + QStringLiteral("/preferences.png"));
    }
    auto *splash = window->findChild<QCheckBox *>(QStringLiteral("openSplashAtStartup"));
    QVERIFY(splash);
    QTest::mouseClick(splash, Qt::LeftButton);
    QVERIFY(QVXPreferencesCtrl::splashAtStartup());

    // Showing the silenced alerts again forgets every don't-show-again choice.
    UserDefaults::standard().setObject(0, QStringLiteral("QVXDontShowAgain/warningQuit"));
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("resetDontShowAgainChoices")),
                      Qt::LeftButton);
    QVERIFY(!UserDefaults::standard()
                 .objectForKey(QStringLiteral("QVXDontShowAgain/warningQuit"))
                 .isValid());
}

void TestPrefrencesCtrl::escapeAndCtrlWClose_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::newRow("Esc") << QKeySequence(Qt::Key_Escape);
    QTest::newRow("Ctrl+W") << QKeySequence(Qt::CTRL | Qt::Key_W);
}

void TestPrefrencesCtrl::escapeAndCtrlWClose()
{
    QFETCH(QKeySequence, keys);
    PrefrencesCtrl prefs;
    prefs.showWindow();
    QWidget *window = prefs.preferencesWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keySequence(window, keys);
    QTRY_VERIFY(!window->isVisible());
}

QTEST_MAIN(TestPrefrencesCtrl)
#include "TestPrefrencesCtrl.moc"
