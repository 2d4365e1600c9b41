#include "Localization.h"
#include "NotificationCenter.h"
#include "Paths.h"
#include "SystemLog.h"
#include "TestEnvironment.h"
#include "UserDefaults.h"
#include "Workspace.h"

#include <QDir>
#include <QSettings>
#include <QtTest>

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void registeredDefaultStandsUntilStored()
    {
        TestEnvironment env;
        UserDefaults &defaults = UserDefaults::standard();
        defaults.registerDefaults({{QStringLiteral("Colour"), QStringLiteral("blue")}});
        QCOMPARE(defaults.stringForKey(QStringLiteral("Colour")), QStringLiteral("blue"));
        defaults.setObject(QStringLiteral("red"), QStringLiteral("Colour"));
        QCOMPARE(defaults.stringForKey(QStringLiteral("Colour")), QStringLiteral("red"));
        // A second store on the same file sees the stored value: it survives a restart.
        QSettings reread(env.settingsFile(), QSettings::IniFormat);
        QCOMPARE(reread.value(QStringLiteral("Colour")).toString(), QStringLiteral("red"));
        defaults.removeObjectForKey(QStringLiteral("Colour"));
        QCOMPARE(defaults.stringForKey(QStringLiteral("Colour")), QStringLiteral("blue"));
        QVERIFY(
            !QFile::exists(QDir::homePath() + QStringLiteral("/.config/Vellumar/Vellumar.conf")) ||
            env.settingsFile() != defaults.storageFile());
    }

    void prefixRemovalKeepsOtherKeys()
    {
        TestEnvironment env;
        UserDefaults &defaults = UserDefaults::standard();
        defaults.setObject(1, QStringLiteral("Alert/a"));
        defaults.setObject(2, QStringLiteral("Alert/b"));
        defaults.setObject(3, QStringLiteral("Other"));
        defaults.removeObjectsWithPrefix(QStringLiteral("Alert/"));
        QVERIFY(!defaults.objectForKey(QStringLiteral("Alert/a")).isValid());
        QCOMPARE(defaults.objectForKey(QStringLiteral("Other")).toInt(), 3);
    }

    void localizedStringsFallBackToTheKey()
    {
        TestEnvironment env;
        QCOMPARE(localizedStringForKey(QStringLiteral("EjectAll")), QStringLiteral("Eject All"));
        QCOMPARE(localizedStringForKey(QStringLiteral("NoSuchKeyAnywhere")),
                 QStringLiteral("NoSuchKeyAnywhere"));
        QCOMPARE(Localization::install(QLocale(QLocale::German)), QStringLiteral("de"));
        QCOMPARE(localizedStringForKey(QStringLiteral("EjectAll")),
                 QStringLiteral("Alle auswerfen"));
        QCOMPARE(Localization::install(QLocale(QLocale::Japanese)), QStringLiteral("en"));
        QCOMPARE(localizedStringForKey(QStringLiteral("Quit")), QStringLiteral("Quit"));
    }

    void logLinesReachTheCaptureAsSingleLines()
    {
        SystemLog::Capture capture;
        SystemLog::log(QStringLiteral("Error: two\nlines"));
        QCOMPARE(capture.lines(), QStringList{QStringLiteral("Error: two lines")});
    }

    void notificationsReachOnlyTheirObservers()
    {
        NotificationCenter &centre = NotificationCenter::shared();
        QVariantMap seen;
        int other = 0;
        const int a =
            centre.addObserver(QStringLiteral("Mounted"),
                               [&](const QString &, const QVariantMap &info) { seen = info; });
        const int b = centre.addObserver(QStringLiteral("Else"),
                                         [&](const QString &, const QVariantMap &) { ++other; });
        centre.post(QStringLiteral("Mounted"),
                    {{QStringLiteral("NSDevicePath"), QStringLiteral("/x")}});
        QCOMPARE(seen.value(QStringLiteral("NSDevicePath")).toString(), QStringLiteral("/x"));
        QCOMPARE(other, 0);
        centre.removeObserver(a);
        centre.removeObserver(b);
        seen.clear();
        centre.post(QStringLiteral("Mounted"),
                    {{QStringLiteral("NSDevicePath"), QStringLiteral("/y")}});
        QVERIFY(seen.isEmpty());
    }

    // "Showing the folder" is done only when a file manager took the request: the desktop's
    // file manager first, then the folder opener; while tests run nothing is asked.
    void showingAFolderSaysWhatBecameOfIt()
    {
        TestEnvironment env;
        Workspace &workspace = Workspace::shared();
        const Workspace::Shown untouched = workspace.showFolder(env.home());
        QVERIFY(!untouched.asked && !untouched.accepted);
        QVERIFY(untouched.how.contains(QStringLiteral("No file manager was asked")));

        QStringList asked;
        bool managerTakes = true;
        bool openerTakes = true;
        workspace.setFileManagerAsker([&](const QString &path, QString *error) {
            asked << QStringLiteral("manager ") + path;
            if (!managerTakes)
                *error = QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown");
            return managerTakes;
        });
        workspace.setFolderOpener([&](const QString &path) {
            asked << QStringLiteral("opener ") + path;
            return openerTakes;
        });
        const Workspace::Shown shown = workspace.showFolder(env.home());
        QVERIFY(shown.asked && shown.accepted && shown.how.isEmpty());
        QCOMPARE(asked, QStringList{QStringLiteral("manager ") + env.home()});

        asked.clear();
        managerTakes = false;
        const Workspace::Shown opened = workspace.showFolder(env.home());
        QVERIFY(opened.asked && opened.accepted);
        QCOMPARE(asked, (QStringList{QStringLiteral("manager ") + env.home(),
                                     QStringLiteral("opener ") + env.home()}));

        openerTakes = false;
        const Workspace::Shown failed = workspace.showFolder(env.home());
        QVERIFY(failed.asked && !failed.accepted);
        QVERIFY2(failed.how.contains(env.home()) &&
                     failed.how.contains(QStringLiteral("ServiceUnknown")),
                 qPrintable(failed.how));

        workspace.setFileManagerAsker({});
        workspace.setFolderOpener({});
    }

    void tildeExpansion()
    {
        TestEnvironment env;
        QCOMPARE(Paths::expandTilde(QStringLiteral("~")), env.home());
        QCOMPARE(Paths::expandTilde(QStringLiteral("~/Disks/a b")),
                 env.home() + QStringLiteral("/Disks/a b"));
        QCOMPARE(Paths::expandTilde(QStringLiteral("/abs/~x")), QStringLiteral("/abs/~x"));
        QCOMPARE(Paths::expandTilde(QStringLiteral("~root/x")), QStringLiteral("/root/x"));
        QCOMPARE(Paths::expandTilde(QStringLiteral("~nosuchuser123/x")),
                 QStringLiteral("~nosuchuser123/x"));
        QCOMPARE(Paths::deletingLastPathComponent(QStringLiteral("/a/b/c/")),
                 QStringLiteral("/a/b"));
        QCOMPARE(Paths::deletingLastPathComponent(QStringLiteral("/a")), QStringLiteral("/"));
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "TestPlatform.moc"
