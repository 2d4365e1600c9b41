// Odd and hostile input to `vellumarctl create`: each case ends in a clear one-line message and
// nothing made, or in a sound disk; nothing of the user's is deleted or hidden, and no volume
// lands on a mount point, on "/" or on a system folder.
#include "MediaLocation.h"
#include "HostileHome.h"
#include "RealDisks.h"
#include "ReliabilitySupport.h"
#include "SystemDisks.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using namespace Reliability;

class TestCtlBadInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void create_data();
    void create();
    void defaultMountPathInAFreshHome();

private:
    // Everything the user had before the runs, checked after each one.
    void verifyUserFilesIntact();

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<HostileHome> m_hostile;
    std::unique_ptr<MachineGuard> m_guard;
    QString m_home;
    QStringList m_devicesBefore;
};

void TestCtlBadInput::initTestCase()
{
    VELLUMAR_REQUIRE_ROOT();
    m_env = std::make_unique<TestEnvironment>();
    m_home = m_env->home();
    m_guard = std::make_unique<MachineGuard>(m_home);
    QVERIFY(QDir(m_home).mkpath(QStringLiteral("Library/Application Support/Vellumar")));
    m_hostile = std::make_unique<HostileHome>(m_home);
    QVERIFY2(m_hostile->problem().isEmpty(), qPrintable(m_hostile->problem()));
}

void TestCtlBadInput::cleanupTestCase()
{
    m_hostile.reset();
    m_guard.reset();
    m_env.reset();
}

void TestCtlBadInput::init()
{
    m_devicesBefore = RealDisks::ourLoopDevices();
}

void TestCtlBadInput::verifyUserFilesIntact()
{
    const QStringList damage = m_hostile->damage();
    QVERIFY2(damage.isEmpty(), qPrintable(damage.join(QStringLiteral("; "))));
}

namespace {

enum Outcome { Refused, Made };

QString fill(QString text, const QString &home)
{
    return text.replace(QStringLiteral("$HOME"), home);
}

} // namespace

void TestCtlBadInput::create_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("outcome");
    // Refused: a part of the message. Made: the volume label expected.
    QTest::addColumn<QString>("expected");

    const QString size = QStringLiteral("--size");
    const QString name = QStringLiteral("--name");
    const QString mount = QStringLiteral("--mount");
    const QString ok = QStringLiteral("8192");
    const QString at = QStringLiteral("$HOME/disk");

    // Sizes, in KiB.
    QTest::newRow("size empty") << QStringList{QStringLiteral("create"), size, QString(), mount, at}
                                << int(Refused) << QString();
    QTest::newRow("size missing") << QStringList{QStringLiteral("create"), mount, at}
                                  << int(Refused) << QStringLiteral("size");
    QTest::newRow("size letters") << QStringList{QStringLiteral("create"), size,
                                                 QStringLiteral("lots"), mount, at}
                                  << int(Refused) << QStringLiteral("lots");
    QTest::newRow("size 0") << QStringList{QStringLiteral("create"), size, QStringLiteral("0"),
                                           mount, at}
                            << int(Refused) << QString();
    QTest::newRow("size negative")
        << QStringList{QStringLiteral("create"), size, QStringLiteral("-1024"), mount, at}
        << int(Refused) << QString();
    QTest::newRow("size 2^31 KiB")
        << QStringList{QStringLiteral("create"), size, QStringLiteral("2147483648"), mount, at}
        << int(Refused) << QStringLiteral("2147483648");
    QTest::newRow("size 2^64 KiB") << QStringList{QStringLiteral("create"), size,
                                                  QStringLiteral("18446744073709551616"), mount, at}
                                   << int(Refused) << QString();
    QTest::newRow("size above memory")
        << QStringList{QStringLiteral("create"), size, QStringLiteral("1073741824"), mount, at}
        << int(Refused) << QStringLiteral("1024 GiB");

    // Names: each one gives a disk whose label is the name, cut to 16 bytes at a character.
    QTest::newRow("name empty")
        << QStringList{QStringLiteral("create"), size, ok, name, QString(), mount, at} << int(Made)
        << QStringLiteral("Ram Disk");
    QTest::newRow("name 200 characters")
        << QStringList{QStringLiteral("create"),       size,  ok, name,
                       QString(200, QLatin1Char('n')), mount, at}
        << int(Made) << QString(16, QLatin1Char('n'));
    QTest::newRow("name slash") << QStringList{QStringLiteral("create"), size,  ok, name,
                                               QStringLiteral("/"),      mount, at}
                                << int(Made) << QStringLiteral("/");
    QTest::newRow("name leading dash")
        << QStringList{QStringLiteral("create"), size, ok, name, QStringLiteral("-rf"), mount, at}
        << int(Made) << QStringLiteral("-rf");
    QTest::newRow("name quotes") << QStringList{QStringLiteral("create"),         size,  ok, name,
                                                QStringLiteral("it's \"q\" `x`"), mount, at}
                                 << int(Made) << QStringLiteral("it's \"q\" `x`");
    QTest::newRow("name non-ASCII") << QStringList{QStringLiteral("create"),
                                                   size,
                                                   ok,
                                                   name,
                                                   QStringLiteral("Grüße 日本語ディスク"),
                                                   mount,
                                                   at}
                                    << int(Made) << QStringLiteral("Grüße 日本");

    // Mount paths.
    QTest::newRow("path relative")
        << QStringList{QStringLiteral("create"), size, ok, mount, QStringLiteral("relative/disk")}
        << int(Refused) << QStringLiteral("relative/disk");
    QTest::newRow("path tilde") << QStringList{QStringLiteral("create"), size, ok, mount,
                                               QStringLiteral("~")}
                                << int(Refused) << QString();
    QTest::newRow("path tilde folder")
        << QStringList{QStringLiteral("create"), size, ok, mount, QStringLiteral("~/disk")}
        << int(Made) << QStringLiteral("Ram Disk");
    QTest::newRow("path under a plain file")
        << QStringList{QStringLiteral("create"), size, ok, mount,
                       QStringLiteral("$HOME/plain/disk")}
        << int(Refused) << QStringLiteral("plain");
    QTest::newRow("path folder with files")
        << QStringList{QStringLiteral("create"), size, ok, mount, QStringLiteral("$HOME/full")}
        << int(Refused) << QStringLiteral("full");
    QTest::newRow("path mount point")
        << QStringList{QStringLiteral("create"), size, ok, mount, QStringLiteral("$HOME/mounted")}
        << int(Refused) << QStringLiteral("mounted");
    QTest::newRow("path root") << QStringList{QStringLiteral("create"), size, ok, mount,
                                              QStringLiteral("/")}
                               << int(Refused) << QString();
    QTest::newRow("path /etc") << QStringList{QStringLiteral("create"), size, ok, mount,
                                              QStringLiteral("/etc")}
                               << int(Refused) << QStringLiteral("/etc");
    QTest::newRow("path /usr/local")
        << QStringList{QStringLiteral("create"), size, ok, mount, QStringLiteral("/usr/local")}
        << int(Refused) << QStringLiteral("/usr/local");
    QTest::newRow("path /var") << QStringList{QStringLiteral("create"), size, ok, mount,
                                              QStringLiteral("/var")}
                               << int(Refused) << QStringLiteral("/var");
    QTest::newRow("path dot-dot to /") << QStringList{QStringLiteral("create"), size, ok, mount,
                                                      QStringLiteral("$HOME/../../../../../..")}
                                       << int(Refused) << QString();
    QTest::newRow("path link to /etc")
        << QStringList{QStringLiteral("create"), size, ok, mount, QStringLiteral("$HOME/etc-link")}
        << int(Refused) << QString();
    QTest::newRow("path missing parent") << QStringList{QStringLiteral("create"), size, ok, mount,
                                                        QStringLiteral("$HOME/no/such/folder")}
                                         << int(Refused) << QString();

    // Arguments.
    QTest::newRow("unknown option")
        << QStringList{QStringLiteral("create"), size, ok, QStringLiteral("--force")}
        << int(Refused) << QStringLiteral("--force");
    QTest::newRow("option without value")
        << QStringList{QStringLiteral("create"), size} << int(Refused) << QStringLiteral("--size");
    QTest::newRow("unknown command")
        << QStringList{QStringLiteral("format"), QStringLiteral("/")} << int(Refused) << QString();
    QTest::newRow("eject of a folder that is no disk")
        << QStringList{QStringLiteral("eject"), QStringLiteral("$HOME/full")} << int(Refused)
        << QStringLiteral("full");
    QTest::newRow("eject of a mount that is not ours")
        << QStringList{QStringLiteral("eject"), QStringLiteral("$HOME/mounted")} << int(Refused)
        << QStringLiteral("mounted");
    QTest::newRow("eject of /") << QStringList{QStringLiteral("eject"), QStringLiteral("/")}
                                << int(Refused) << QString();
}

void TestCtlBadInput::create()
{
    VELLUMAR_REQUIRE_ROOT();
    QFETCH(QStringList, arguments);
    QFETCH(int, outcome);
    QFETCH(QString, expected);
    for (QString &argument : arguments)
        argument = fill(argument, m_home);

    const Run run = runProgram(QStringLiteral("vellumarctl"), arguments, m_home);
    QVERIFY(run.finished);
    if (outcome == Refused) {
        QVERIFY2(run.exitCode == 2, qPrintable(QStringLiteral("exit %1, out: %2, err: %3")
                                                   .arg(run.exitCode)
                                                   .arg(run.out, run.err)));
        // One line that says what is wrong (or the usage, for no command at all), nothing on
        // standard output.
        const QString message = run.err.trimmed();
        const bool usage = message.startsWith(QStringLiteral("Usage:")) &&
                           message.contains(QStringLiteral("vellumarctl create"));
        QVERIFY2(!message.isEmpty() && (usage || !message.contains(QLatin1Char('\n'))),
                 qPrintable(run.err));
        QVERIFY2(message.size() > 25, qPrintable(message));
        if (!expected.isEmpty())
            QVERIFY2(message.contains(fill(expected, m_home)), qPrintable(message));
        QVERIFY2(run.out.isEmpty(), qPrintable(run.out));
        QVERIFY(!QFileInfo::exists(m_env->path(QStringLiteral("disk"))));
        QCOMPARE(strayDevices(m_devicesBefore), QStringList());
    } else {
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QString path = run.out.trimmed().section(QLatin1Char('\n'), -1);
        QCOMPARE(path, m_env->path(QStringLiteral("disk")));
        QVERIFY(SystemDisks::isMountPoint(path));
        QString device;
        for (const SystemDisks::Mount &m : SystemDisks::mounts()) {
            if (m.mountPoint == path)
                device = m.source;
        }
        m_guard->keep(device);
        QCOMPARE(RealDisks::mountsUnder(m_home).size(), 2);

        const Run list = runProgram(QStringLiteral("vellumarctl"),
                                    {QStringLiteral("list"), QStringLiteral("--json")}, m_home);
        QString label = QStringLiteral("<not listed>");
        for (const QJsonValue &entry : QJsonDocument::fromJson(list.out.toUtf8()).array()) {
            if (entry.toObject().value(QStringLiteral("mountPath")).toString() == path)
                label = entry.toObject().value(QStringLiteral("name")).toString();
        }
        QCOMPARE(label, expected);
        // The volume is usable.
        QVERIFY(writePattern(path + QStringLiteral("/f"), 100000, 1));
        QVERIFY(checkPattern(path + QStringLiteral("/f"), 100000, 1));

        const Run eject =
            runProgram(QStringLiteral("vellumarctl"), {QStringLiteral("eject"), path}, m_home);
        QVERIFY2(eject.exitCode == 0, qPrintable(eject.err));
        QVERIFY(!SystemDisks::isMountPoint(path));
        // A folder given with --mount is the user's choice: it may stay, but empty.
        QVERIFY(!QFileInfo::exists(path) ||
                QDir(path).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        QDir().rmdir(path);
    }
    verifyUserFilesIntact();
}

void TestCtlBadInput::defaultMountPathInAFreshHome()
{
    VELLUMAR_REQUIRE_ROOT();
    // A new user's home: the first disk with the default location appears in the media folder
    // under its name, and nothing is made in the home.
    TestEnvironment fresh;
    MachineGuard guard(fresh.home());
    const QString media = MediaLocation::folder();
    const bool hadMedia = QFileInfo::exists(media);
    const auto tidy = qScopeGuard([&] {
        if (!hadMedia)
            QDir().rmdir(media);
    });
    const Run run =
        runProgram(QStringLiteral("vellumarctl"),
                   {QStringLiteral("create"), QStringLiteral("--size"), QStringLiteral("8192"),
                    QStringLiteral("--name"), QStringLiteral("Fresh %1").arg(getpid())},
                   fresh.home());
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QString path = run.out.trimmed().section(QLatin1Char('\n'), -1);
    QCOMPARE(path, media + QStringLiteral("/Fresh %1").arg(getpid()));
    QVERIFY(SystemDisks::isMountPoint(path));
    QVERIFY(!QFileInfo::exists(fresh.path(QStringLiteral("Library"))));
    const Run eject =
        runProgram(QStringLiteral("vellumarctl"), {QStringLiteral("eject"), path}, fresh.home());
    QVERIFY2(eject.exitCode == 0, qPrintable(eject.err));
    QVERIFY(!QFileInfo::exists(path));
}

QTEST_GUILESS_MAIN(TestCtlBadInput)
#include "TestCtlBadInput.moc"
