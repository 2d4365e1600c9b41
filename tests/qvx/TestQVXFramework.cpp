#include "Localization.h"
#include "QVXAlerts.h"
#include "QVXApp.h"
#include "QVXLinkTextField.h"
#include "QVXPreferencesCtrl.h"
#include "QVXStrings.h"
#include "TestEnvironment.h"
#include "UserDefaults.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QThread>
#include <QVBoxLayout>
#include <QtTest>

namespace {

class RecordingDelegate : public QVXAppDelegate
{
public:
    QStringList calls;
    QList<bool> onMainThread;

    void record(const QString &name)
    {
        calls << name;
        onMainThread << (QThread::currentThread() == QCoreApplication::instance()->thread());
    }
    void QVXAppCanStartToInitialize() override { record(QStringLiteral("canStart")); }
    void QVXAppIsRunningForTheFirstTime() override { record(QStringLiteral("firstTime")); }
    void QVXAppEndedToInitialize() override { record(QStringLiteral("ended")); }
};

} // namespace

class TestQVXFramework : public QObject
{
    Q_OBJECT

private slots:
    void startUpHooksRunInOrderAndFirstRunOnce()
    {
        TestEnvironment env;
        RecordingDelegate first;
        QVXApp::startWithDelegate(&first);
        QCOMPARE(first.calls, QStringList({QStringLiteral("canStart"), QStringLiteral("firstTime"),
                                           QStringLiteral("ended")}));

        // A later run, with a fresh settings object on the same file: no first-run hook.
        UserDefaults::standard().setStorageFile(env.path(QStringLiteral("other.ini")));
        UserDefaults::standard().setStorageFile(env.settingsFile());
        RecordingDelegate second;
        QVXApp::startWithDelegate(&second);
        QCOMPARE(second.calls, QStringList({QStringLiteral("canStart"), QStringLiteral("ended")}));

        // Started from another thread, the hooks still run on the main thread, before it returns.
        RecordingDelegate fromWorker;
        QThread *worker =
            QThread::create([&fromWorker] { QVXApp::startWithDelegate(&fromWorker); });
        worker->start();
        QTRY_VERIFY(worker->isFinished());
        delete worker;
        QCOMPARE(fromWorker.calls.size(), 2);
        QCOMPARE(fromWorker.onMainThread, QList<bool>({true, true}));

        QVXApp::startWithDelegate(nullptr); // harmless
    }

    void exchangeString_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("spaces in a path")
            << QStringLiteral("/mnt/My Disk 2/a b") << QStringLiteral(" ") << QStringLiteral("%20")
            << QStringLiteral("/mnt/My%20Disk%202/a%20b");
        QTest::newRow("none found") << QStringLiteral("abc") << QStringLiteral(" ")
                                    << QStringLiteral("%20") << QStringLiteral("abc");
        QTest::newRow("replacement holds the pattern")
            << QStringLiteral("aa") << QStringLiteral("a") << QStringLiteral("aa")
            << QStringLiteral("aaaa");
        QTest::newRow("empty pattern leaves the text")
            << QStringLiteral("abc") << QString() << QStringLiteral("x") << QStringLiteral("abc");
    }

    void exchangeString()
    {
        QFETCH(QString, source);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(QString, expected);
        const QString before = source;
        QCOMPARE(QVXExchangeStringWithString(source, find, replacement), expected);
        QCOMPARE(source, before);
    }

    void linkFieldCursorAndClick()
    {
        TestEnvironment env;
        QWidget window;
        auto *field = new QVXLinkTextField(&window);
        field->resize(200, 20);
        field->setStringValue(QStringLiteral("/mnt/ramdisk1.1"));
        field->setURL(QUrl::fromLocalFile(QStringLiteral("/mnt/ramdisk1.1")));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(field->stringValue(), QStringLiteral("/mnt/ramdisk1.1"));
        QSignalSpy activated(field, &QVXLinkTextField::linkActivated);

        // Off: plain text, no hand, a click opens nothing.
        QVERIFY(field->cursor().shape() != Qt::PointingHandCursor);
        QTest::mouseClick(field, Qt::LeftButton);
        QCOMPARE(activated.count(), 0);
        const QColor plain = field->palette().color(QPalette::WindowText);

        field->setUsePointHandCursor(true);
        QCOMPARE(field->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(field->palette().color(QPalette::WindowText) != plain);
        QTest::mouseClick(field, Qt::LeftButton);
        QCOMPARE(activated.count(), 1);
        QCOMPARE(activated.at(0).at(0).toUrl(),
                 QUrl::fromLocalFile(QStringLiteral("/mnt/ramdisk1.1")));
        QTest::mouseClick(field, Qt::RightButton);
        QCOMPARE(activated.count(), 1);

        field->setUsePointHandCursor(false);
        QVERIFY(field->cursor().shape() != Qt::PointingHandCursor);
        QCOMPARE(field->palette().color(QPalette::WindowText), plain);
        QTest::mouseClick(field, Qt::LeftButton);
        QCOMPARE(activated.count(), 1);
    }

    void preferencesBaseRefreshesAndStores()
    {
        TestEnvironment env;
        auto *window = new QWidget;
        auto *splash = new QCheckBox(QStringLiteral("Splash"), window);
        splash->setObjectName(QStringLiteral("openSplashAtStartup"));
        auto *reset = new QPushButton(QStringLiteral("Reset"), window);
        reset->setObjectName(QStringLiteral("resetDontShowAgainChoices"));
        auto *layout = new QVBoxLayout(window);
        layout->addWidget(splash);
        layout->addWidget(reset);
        QPointer<QWidget> watch(window);
        {
            QVXPreferencesCtrl ctrl(window);
            QCOMPARE(ctrl.preferencesWindow(), window);
            UserDefaults::standard().setObject(true, QStringLiteral("QVXOpenSplashAtStartup"));
            ctrl.showWindow();
            QVERIFY(window->isVisible());
            QVERIFY(splash->isChecked());

            // Clicking the check box stores the choice, and the next update shows the stored one.
            QTest::mouseClick(splash, Qt::LeftButton, {}, QPoint(6, splash->height() / 2));
            QVERIFY(!splash->isChecked());
            QVERIFY(!QVXPreferencesCtrl::splashAtStartup());
            ctrl.openSplashAtStartup(true);
            ctrl.update();
            QVERIFY(splash->isChecked());

            UserDefaults::standard().setObject(0, QStringLiteral("QVXDontShowAgain/warningQuit"));
            UserDefaults::standard().setObject(QStringLiteral("kept"), QStringLiteral("MountPath"));
            QTest::mouseClick(reset, Qt::LeftButton);
            QVERIFY(!UserDefaults::standard()
                         .objectForKey(QStringLiteral("QVXDontShowAgain/warningQuit"))
                         .isValid());
            QCOMPARE(UserDefaults::standard().stringForKey(QStringLiteral("MountPath")),
                     QStringLiteral("kept"));
        }
        QVERIFY(!watch); // the controller owned the window

        // A window without those controls, or none at all, is fine.
        QVXPreferencesCtrl bare(nullptr);
        QVERIFY(bare.preferencesWindow());
        bare.update();
    }

    void stringTables()
    {
        TestEnvironment env;
        QCOMPARE(localizedStringForKey(QStringLiteral("DontShowAgain")),
                 QStringLiteral("Don't show this again"));
        QCOMPARE(localizedStringForKey(QStringLiteral("QVXNoSuchKey")),
                 QStringLiteral("QVXNoSuchKey"));
        QCOMPARE(Localization::install(QLocale(QLocale::German)), QStringLiteral("de"));
        QCOMPARE(localizedStringForKey(QStringLiteral("DontShowAgain")),
                 QStringLiteral("Nicht mehr anzeigen"));
        Localization::install(QLocale(QLocale::English));
    }
};

QTEST_MAIN(TestQVXFramework)
#include "TestQVXFramework.moc"
