// One disk's life in the session, on fake disk tools: the request checked before anything is
// made, the phases in order, a failed step that stops the rest, the kept folder loaded before
// the disk is remembered, a failed load that ejects the disk again, the save before an eject,
// and the remembered disks read and written from the file as it is now.
#include "DesktopPlaces.h"
#include "DiskKeeper.h"
#include "DiskRules.h"
#include "DiskSession.h"
#include "FakeToolTables.h"
#include "KeepState.h"
#include "Localization.h"
#include "MediaLocation.h"
#include "RememberedDisks.h"
#include "Settings.h"
#include "TestFiles.h"
#include "UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QThread>
#include <QUrl>
#include <QtTest>

namespace {

struct Heard
{
    Phase phase;
    PhaseStatus status;
    QString text;
};

// Everything a session says, in order.
struct Listener
{
    QList<Heard> phases;
    QList<Refusal> refusals;
    QList<KeepResult> loads;
    QList<EjectOutcome> ejects;
    explicit Listener(DiskSession &session)
    {
        QObject::connect(&session, &DiskSession::phaseReported, &session,
                         [this](Phase p, PhaseStatus s, const QString &t) {
                             phases.append({p, s, t});
                         });
        QObject::connect(&session, &DiskSession::refused, &session,
                         [this](const Refusal &r) { refusals.append(r); });
        QObject::connect(&session, &DiskSession::loaded, &session,
                         [this](const KeepResult &r) { loads.append(r); });
        QObject::connect(&session, &DiskSession::ejected, &session,
                         [this](const EjectOutcome &o) { ejects.append(o); });
    }
};

// An rsync that fails as a full disk would, first on the PATH while it lives.
struct FailingRsync : TestFiles::PathFirst
{
    explicit FailingRsync(const QString &folder) : PathFirst(folder)
    {
        TestFiles::writeScript(
            folder + QStringLiteral("/rsync"),
            "#!/bin/sh\necho 'rsync: write failed: No space left on device (28)' >&2\nexit 11\n");
    }
};

DiskRequest requestFor(const EngineFixture &fx, const QString &size = QStringLiteral("4096"))
{
    DiskRequest request;
    request.size = size;
    request.mountPath = fx.mountPath();
    return request;
}

} // namespace

using namespace TestFiles;

class TestDiskSession : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        DiskSession::setMachineMemorySource([] {
            return MachineMemory{8ll << 20, 6ll << 20, 2ll << 20};
        });
    }
    void cleanup() { DiskSession::setMachineMemorySource({}); }

    void checkFillsInTheDefaults()
    {
        EngineFixture fx;
        DiskSession session;
        DiskRequest request;
        request.size = QStringLiteral("1.5M");
        request.mountPath = QStringLiteral("~/scratch//disk/");
        QDir().mkpath(fx.env.path(QStringLiteral("scratch")));
        QVERIFY(session.check(request).ok());
        QCOMPARE(session.plan().kib, 1536);
        QCOMPARE(session.plan().name, QStringLiteral("Ram Disk"));
        QCOMPARE(session.plan().mountPath, fx.env.path(QStringLiteral("scratch/disk")));
        QCOMPARE(session.plan().kind, DiskKind::Memory);
        QVERIFY(session.plan().keptFolder.isEmpty());
        // Without a mount path, the media folder, where the helper names the disk's folder.
        request.mountPath.clear();
        QVERIFY(session.check(request).ok());
        QCOMPARE(session.plan().mountPath, MediaLocation::folder());
    }

    void eachRefusedFactMakesNothing_data()
    {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("mountPath");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("rule");
        QTest::newRow("size") << "12abc"
                              << ""
                              << "@disk"
                              << "" << int(DiskRule::Size);
        QTest::newRow("memory") << "6G"
                                << ""
                                << "@disk"
                                << "" << int(DiskRule::Memory);
        QTest::newRow("name") << "4096"
                              << "a\nb"
                              << "@disk"
                              << "" << int(DiskRule::Name);
        QTest::newRow("mount path") << "4096"
                                    << ""
                                    << "disk"
                                    << "" << int(DiskRule::MountPath);
        QTest::newRow("kept folder") << "4096"
                                     << ""
                                     << "@disk"
                                     << "kept" << int(DiskRule::KeptFolder);
    }

    void eachRefusedFactMakesNothing()
    {
        QFETCH(QString, size);
        QFETCH(QString, name);
        QFETCH(QString, mountPath);
        QFETCH(QString, kept);
        QFETCH(int, rule);
        EngineFixture fx;
        DiskSession session;
        Listener heard(session);
        DiskRequest request;
        request.size = size;
        request.name = name;
        request.mountPath = mountPath == QStringLiteral("@disk") ? fx.mountPath() : mountPath;
        request.keptFolder = kept;
        const int active = anyDiskActive.load();
        session.checkThenCreate(request);
        QCOMPARE(heard.refusals.size(), 1);
        QCOMPARE(int(heard.refusals.first().rule), rule);
        QVERIFY(!heard.refusals.first().sentence.isEmpty());
        QVERIFY(heard.phases.isEmpty());
        QVERIFY(!session.disk());
        QVERIFY(fx.tools.calls().isEmpty());
        QCOMPARE(anyDiskActive.load(), active);
        QVERIFY(!QFileInfo::exists(fx.mountPath()));
    }

    void phasesComeInOrderAndTheDiskIsRememberedOnceMade()
    {
        EngineFixture fx;
        DiskSession session;
        Listener heard(session);
        DiskRequest request = requestFor(fx);
        request.name = QStringLiteral("Scratch");
        request.kind = DiskKind::Compressed;
        request.remember = true;
        session.checkThenCreate(request);
        QVERIFY(session.isActive() && session.isMounted());
        QCOMPARE(session.disk()->kind(), DiskKind::Compressed);
        QCOMPARE(heard.phases.size(), 4);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(heard.phases[i].phase, Phase(i));
            QCOMPARE(heard.phases[i].status, PhaseStatus::Done);
        }
        // No file manager is asked while tests run, and the phase says so.
        QCOMPARE(heard.phases[3].phase, Phase::Finalize);
        QCOMPARE(heard.phases[3].status, PhaseStatus::NotDone);
        QVERIFY(heard.phases[3].text.contains(QStringLiteral("No file manager was asked")));
        const QList<RememberedDisk> remembered = RememberedDisks::list();
        QCOMPARE(remembered.size(), 1);
        QCOMPARE(remembered.first().name, QStringLiteral("Scratch"));
        QCOMPARE(remembered.first().kind, QStringLiteral("compressed"));
        QCOMPARE(remembered.first().size, QStringLiteral("4096"));

        // A compressed disk is a volume the desktop lists itself: no place is added for it.
        QVERIFY(!QFileInfo::exists(DesktopPlaces::bookmarksFile()));

        session.eject();
        QTRY_COMPARE(heard.ejects.size(), 1);
        QVERIFY(heard.ejects.first().teardown.finished);
        QVERIFY(!session.isActive());
        // Ejecting does not forget a disk made at login.
        QCOMPARE(RememberedDisks::list().size(), 1);
    }

    // A memory disk, which file managers do not list as a volume, is among the desktop's places
    // while it is mounted, under its name.
    void aMemoryDiskIsAmongThePlacesWhileMounted()
    {
        EngineFixture fx;
        DiskSession session;
        DiskRequest request = requestFor(fx);
        request.name = QStringLiteral("Build cache");
        request.kind = DiskKind::Memory;
        session.checkThenCreate(request);
        QVERIFY(session.isMounted());
        const auto places = [] {
            QFile file(DesktopPlaces::bookmarksFile());
            return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        };
        QCOMPARE(places(), QUrl::fromLocalFile(fx.mountPath()).toString(QUrl::FullyEncoded) +
                               QStringLiteral(" Build cache\n"));
        QVERIFY(session.ejectBlocking().teardown.finished);
        QCOMPARE(places(), QString());
    }

    void aFailedStepStopsTheRestAndNothingIsRemembered()
    {
        EngineFixture fx;
        fx.format =
            fx.tools.write(QStringLiteral("mkfs"), says(QString(), 1, QStringLiteral("bad")));
        fx.install();
        DiskSession session;
        Listener heard(session);
        DiskRequest request = requestFor(fx);
        request.remember = true;
        session.checkThenCreate(request);
        QCOMPARE(heard.phases.size(), 4);
        QCOMPARE(heard.phases[0].status, PhaseStatus::Done);
        QCOMPARE(heard.phases[1].status, PhaseStatus::Failed);
        QCOMPARE(heard.phases[1].text, QStringLiteral("bad"));
        for (int i = 2; i < 4; ++i) {
            QCOMPARE(heard.phases[i].status, PhaseStatus::Failed);
            QCOMPARE(heard.phases[i].text, localizedStringForKey(QStringLiteral("PhaseNotRun")));
        }
        // The mount tool never ran; the disk is owed an eject.
        for (const QString &call : fx.tools.calls())
            QVERIFY(!call.startsWith(QStringLiteral("mount|")));
        QVERIFY(session.isActive() && !session.isMounted());
        QVERIFY(RememberedDisks::list().isEmpty());
        const EjectOutcome outcome = session.ejectBlocking(true);
        QVERIFY(outcome.teardown.finished);
    }

    void keptFolderLoadsBeforeTheDiskIsRemembered()
    {
        EngineFixture fx;
        const QString kept = fx.env.path(QStringLiteral("kept"));
        QVERIFY(writeFile(kept + QStringLiteral("/a.txt"), "first"));
        DiskSession session;
        Listener heard(session);
        DiskRequest request = requestFor(fx);
        request.keptFolder = kept;
        request.remember = true;
        QVERIFY(session.checkAll(request).ok());
        QCOMPARE(session.plan().keptBytes, qint64(4096));
        QVERIFY(session.create());
        QVERIFY(RememberedDisks::list().isEmpty()); // not before the load
        QVERIFY(KeepState::forDisk(fx.mountPath()).has_value());
        QVERIFY(session.waitForLoad());
        QCOMPARE(heard.loads.size(), 1);
        QCOMPARE(readFile(fx.mountPath() + QStringLiteral("/a.txt")), QByteArray("first"));
        QCOMPARE(RememberedDisks::list().size(), 1);
        QCOMPARE(RememberedDisks::list().first().keptFolder, kept);
        QVERIFY(session.keeper());

        // The eject saves first: what changed on the disk reaches the folder.
        QVERIFY(writeFile(fx.mountPath() + QStringLiteral("/b.txt"), "made on the disk"));
        session.eject();
        QTRY_COMPARE(heard.ejects.size(), 1);
        QVERIFY(heard.ejects.first().ranSave && heard.ejects.first().saved);
        QVERIFY(heard.ejects.first().teardown.finished);
        QCOMPARE(readFile(kept + QStringLiteral("/b.txt")), QByteArray("made on the disk"));
        QVERIFY(!KeepState::forDisk(fx.mountPath()).has_value());
        QVERIFY(!session.keeper());
    }

    void aFailedLoadEjectsTheDiskAndForgetsNothingElse()
    {
        EngineFixture fx;
        const QString kept = fx.env.path(QStringLiteral("kept"));
        QVERIFY(writeFile(kept + QStringLiteral("/a.txt"), "only copy"));
        DiskSession session;
        Listener heard(session);
        DiskRequest request = requestFor(fx);
        request.keptFolder = kept;
        request.remember = true;
        QVERIFY(session.checkAll(request).ok());
        FailingRsync rsync(fx.env.path(QStringLiteral("bin")));
        QVERIFY(session.create());
        QVERIFY(!session.waitForLoad());
        QCOMPARE(heard.loads.size(), 1);
        QVERIFY(!heard.loads.first().succeeded);
        // Ejected again, without a save over the folder; never remembered.
        QCOMPARE(heard.ejects.size(), 1);
        QVERIFY(!heard.ejects.first().ranSave);
        QVERIFY(heard.ejects.first().teardown.finished);
        QVERIFY(!session.isActive());
        QVERIFY(RememberedDisks::list().isEmpty());
        QVERIFY(!KeepState::forDisk(fx.mountPath()).has_value());
        QCOMPARE(readFile(kept + QStringLiteral("/a.txt")), QByteArray("only copy"));
    }

    void aFailedSaveStopsTheEject()
    {
        EngineFixture fx;
        const QString kept = fx.env.path(QStringLiteral("kept"));
        QVERIFY(writeFile(kept + QStringLiteral("/a.txt"), "first"));
        DiskSession session;
        Listener heard(session);
        DiskRequest request = requestFor(fx);
        request.keptFolder = kept;
        QVERIFY(session.checkAll(request).ok());
        QVERIFY(session.create());
        QVERIFY(session.waitForLoad());
        {
            FailingRsync rsync(fx.env.path(QStringLiteral("bin")));
            const EjectOutcome stopped = session.ejectBlocking(false);
            QVERIFY(stopped.ranSave && !stopped.saved);
            QVERIFY(!stopped.teardown.finished);
            QVERIFY(session.isActive());
            QVERIFY(session.keeper()->lastSaveFailed());
        }
        // Forced, it ejects without saving.
        const EjectOutcome forced = session.ejectBlocking(true);
        QVERIFY(!forced.ranSave && forced.teardown.finished);
        QVERIFY(!session.isActive());
    }

    void aFoundDiskIsTakenOverWithItsKeeper()
    {
        EngineFixture fx;
        const QString kept = fx.env.path(QStringLiteral("kept"));
        QVERIFY(QDir().mkpath(fx.mountPath()));
        QVERIFY(KeepState(fx.mountPath(), kept).store());
        DiskInfo found;
        found.device = QStringLiteral("/dev/loop7");
        found.mountPath = fx.mountPath();
        found.sizeKiB = 8192;
        found.name = QStringLiteral("Found");
        found.kind = DiskKind::Compressed;
        const int active = anyDiskActive.load();
        DiskSession session;
        session.adopt(found);
        QCOMPARE(anyDiskActive.load(), active + 1);
        QVERIFY(session.isActive() && session.isMounted());
        QCOMPARE(session.plan().name, QStringLiteral("Found"));
        QCOMPARE(session.disk()->kind(), DiskKind::Compressed);
        QVERIFY(session.keeper());
        QCOMPARE(session.keeper()->keptFolder(), kept);
        QVERIFY(session.saveNow().succeeded);
        QVERIFY(session.ejectBlocking().teardown.finished);
        QCOMPARE(anyDiskActive.load(), active);
    }

    void rememberedDisksAreReadFromTheFileAsItIsNow()
    {
        TestEnvironment env;
        // This process read its settings before another wrote a disk to them.
        RememberedDisks::remember({QStringLiteral("1G"), QStringLiteral("Mine"),
                                   env.path(QStringLiteral("mine")), QString(), QString()});
        QCOMPARE(UserDefaults::standard().objectForKey(QStringLiteral("SaveEveryMinutes")),
                 QVariant());
        {
            QSettings other(env.settingsFile(), QSettings::IniFormat);
            QVariantList disks = other.value(Settings::rememberedDisksKey()).toList();
            disks << QVariantMap{{QStringLiteral("size"), QStringLiteral("64M")},
                                 {QStringLiteral("name"), QStringLiteral("Theirs")},
                                 {QStringLiteral("mountPath"), env.path(QStringLiteral("theirs"))}};
            other.setValue(Settings::rememberedDisksKey(), disks);
        }
        // A change of ours keeps theirs.
        Settings::setSaveEveryMinutes(3);
        RememberedDisks::remember({QStringLiteral("2G"), QStringLiteral("Mine again"),
                                   env.path(QStringLiteral("mine")), QString(), QString()});
        QStringList names;
        for (const RememberedDisk &disk : RememberedDisks::list())
            names << disk.name;
        QCOMPARE(names, (QStringList{QStringLiteral("Mine again"), QStringLiteral("Theirs")}));
        QVERIFY(RememberedDisks::forget(env.path(QStringLiteral("theirs"))));
        QCOMPARE(RememberedDisks::list().size(), 1);
        QCOMPARE(Settings::saveEveryMinutes(), 3);
    }

    void concurrentChangesAreAllKept()
    {
        TestEnvironment env;
        const auto rememberMany = [&env](const QString &prefix) {
            for (int i = 0; i < 15; ++i)
                RememberedDisks::remember({QStringLiteral("1G"), prefix,
                                           env.path(prefix + QString::number(i)), QString(),
                                           QString()});
        };
        QThread *first = QThread::create(rememberMany, QStringLiteral("a"));
        QThread *second = QThread::create(rememberMany, QStringLiteral("b"));
        first->start();
        second->start();
        QVERIFY(first->wait(60000) && second->wait(60000));
        delete first;
        delete second;
        QCOMPARE(RememberedDisks::list().size(), 30);
    }
};

QTEST_GUILESS_MAIN(TestDiskSession)
#include "TestDiskSession.moc"
