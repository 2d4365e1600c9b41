// The rules of a disk request, each once: size, memory, name, kind, mount path, kept folder,
// privilege, and the default kept folder that no other disk uses.
#include "DiskRules.h"
#include "FakeToolTables.h"
#include "KeepState.h"
#include "KeptFolder.h"
#include "Localization.h"
#include "RememberedDisks.h"
#include "TestEnvironment.h"
#include "ToolTable.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <unistd.h>

class TestDiskRules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Localization::install(QLocale(QLocale::English)); }

    void sizeIsReadAsPeopleTypeIt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("problem");
        QTest::addColumn<QString>("named");
        QTest::newRow("no size") << "" << int(DiskSize::Problem::NotASize) << "No size was given";
        QTest::newRow("not a size") << "12abc" << int(DiskSize::Problem::NotASize) << "12abc";
        QTest::newRow("zero") << "0" << int(DiskSize::Problem::Zero) << "224 KiB";
        QTest::newRow("too small") << "100" << int(DiskSize::Problem::TooSmall) << "224 KiB";
        QTest::newRow("too large") << "2048G" << int(DiskSize::Problem::TooLarge) << "2048G";
        QTest::newRow("fits") << "64M" << int(DiskSize::Problem::None) << "";
    }

    void sizeIsReadAsPeopleTypeIt()
    {
        QFETCH(QString, text);
        QFETCH(int, problem);
        QFETCH(QString, named);
        qint64 kib = 0;
        const Refusal refusal = DiskRules::size(text, MachineMemory{8ll << 20, 6ll << 20, 0}, &kib);
        QCOMPARE(int(refusal.sizeProblem), problem);
        QCOMPARE(refusal.ok(), problem == int(DiskSize::Problem::None));
        if (refusal.ok()) {
            QCOMPARE(kib, 64 * 1024);
            return;
        }
        QCOMPARE(refusal.rule, DiskRule::Size);
        QVERIFY2(refusal.sentence.contains(named), qPrintable(refusal.sentence));
        // A share of unknown memory is refused with its own sentence.
        QCOMPARE(DiskRules::size(QStringLiteral("25%"), MachineMemory{}, nullptr).sizeProblem,
                 DiskSize::Problem::NoMemoryFigure);
    }

    void memoryIsTheHelpersRule()
    {
        // 8 GiB of memory keeps 512 MiB free: of 1 GiB available, 512 MiB may be claimed.
        const MachineMemory memory{8ll << 20, 1ll << 20, 4ll << 20};
        QVERIFY(DiskRules::memory(512 * 1024, memory).ok());
        const Refusal refused = DiskRules::memory(512 * 1024 + 1, memory);
        QCOMPARE(refused.rule, DiskRule::Memory);
        QVERIFY2(refused.sentence.contains(QStringLiteral("at most 512 MiB")) &&
                     refused.sentence.contains(QStringLiteral("1 GiB available")),
                 qPrintable(refused.sentence));
        // Swap does not count, and where the figures are unknown the helper decides.
        QVERIFY(DiskRules::memory(qint64(2) << 20, MachineMemory{8ll << 20, -1, 0}).ok());
        // Small machines keep at least 64 MiB free.
        QVERIFY(!DiskRules::memory(200 * 1024, MachineMemory{512 * 1024, 256 * 1024, 0}).ok());
        QVERIFY(DiskRules::memory(192 * 1024, MachineMemory{512 * 1024, 256 * 1024, 0}).ok());
    }

    void nameIsOneLine()
    {
        QVERIFY(DiskRules::name(QStringLiteral("Scratch – ünïcode \"quoted\" /slash")).ok());
        const Refusal refused = DiskRules::name(QStringLiteral("two\nlines"));
        QCOMPARE(refused.rule, DiskRule::Name);
        QVERIFY(refused.sentence.contains(QStringLiteral("two lines")));
        QVERIFY(!DiskRules::name(QStringLiteral("tab\there")).ok());
    }

    void kindIsOneOfThree()
    {
        DiskKind kind = DiskKind::Memory;
        QVERIFY(DiskRules::kind(QStringLiteral("Compressed"), &kind).ok());
        QCOMPARE(kind, DiskKind::Compressed);
        const Refusal refused = DiskRules::kind(QStringLiteral("floppy"), &kind);
        QCOMPARE(refused.rule, DiskRule::Kind);
        QCOMPARE(refused.sentence, QStringLiteral("“floppy” is not a kind of disk: the kinds are "
                                                  "memory, compressed and block."));
        QCOMPARE(kind, DiskKind::Compressed);
    }

    void mountPathIsAbsoluteInAFolderThatExists()
    {
        TestEnvironment env;
        QVERIFY(DiskRules::mountPath(env.path(QStringLiteral("new disk"))).ok());
        QCOMPARE(DiskRules::mountPath(QStringLiteral("relative/disk")).rule, DiskRule::MountPath);
        QCOMPARE(DiskRules::mountPath(QStringLiteral("/usr")).rule, DiskRule::MountPath);
        const Refusal orphan = DiskRules::mountPath(env.path(QStringLiteral("missing/disk")));
        QCOMPARE(orphan.rule, DiskRule::MountPath);
        QVERIFY2(orphan.sentence.contains(env.path(QStringLiteral("missing"))),
                 qPrintable(orphan.sentence));
    }

    void keptFolderBelongsToOneDisk()
    {
        TestEnvironment env;
        const QString kept = env.path(QStringLiteral("kept"));
        const QString mine = env.path(QStringLiteral("mine"));
        QVERIFY(DiskRules::keptFolder(kept, mine).ok());
        QCOMPARE(DiskRules::keptFolder(QStringLiteral("relative"), mine).rule,
                 DiskRule::KeptFolder);

        // A remembered disk keeps it: the same folder, one inside it and one around it are
        // refused, with one sentence naming the disk; the disk itself may use it again.
        RememberedDisks::remember({QStringLiteral("64M"), QStringLiteral("Work"),
                                   env.path(QStringLiteral("work")), kept, QString()});
        for (const QString &folder : {kept, kept + QStringLiteral("/inner"), env.home(),
                                      kept + QStringLiteral("/../kept/")}) {
            const Refusal refused = DiskRules::keptFolder(folder, mine);
            QCOMPARE(refused.rule, DiskRule::KeptFolder);
            QVERIFY2(refused.sentence.contains(QStringLiteral("“Work”")) &&
                         refused.sentence.contains(env.path(QStringLiteral("work"))),
                     qPrintable(refused.sentence));
        }
        QVERIFY(DiskRules::keptFolder(kept, env.path(QStringLiteral("work"))).ok());
        QVERIFY(DiskRules::keptFolder(env.path(QStringLiteral("kept2")), mine).ok());

        // A mounted disk keeps one ("/" stands for a mount point); one that is gone does not.
        KeepState mounted(QStringLiteral("/"), env.path(QStringLiteral("other")));
        mounted.setDiskName(QStringLiteral("Root"));
        QVERIFY(mounted.store());
        QVERIFY(DiskRules::keptFolder(env.path(QStringLiteral("other")), mine)
                    .sentence.contains(QStringLiteral("“Root”")));
        QVERIFY(
            KeepState(env.path(QStringLiteral("gone")), env.path(QStringLiteral("old"))).store());
        QVERIFY(DiskRules::keptFolder(env.path(QStringLiteral("old")), mine).ok());
    }

    void defaultKeptFolderIsUniquePerDisk()
    {
        TestEnvironment env;
        const QString mine = env.path(QStringLiteral("mine"));
        QCOMPARE(DiskRules::defaultKeptFolder(QStringLiteral("Work"), mine),
                 KeptFolder::defaultFolder(QStringLiteral("Work")));
        RememberedDisks::remember({QStringLiteral("64M"), QStringLiteral("Work"),
                                   env.path(QStringLiteral("a")),
                                   KeptFolder::defaultFolder(QStringLiteral("Work")), QString()});
        RememberedDisks::remember({QStringLiteral("64M"), QStringLiteral("Work"),
                                   env.path(QStringLiteral("b")),
                                   KeptFolder::defaultFolder(QStringLiteral("Work 2")), QString()});
        QCOMPARE(DiskRules::defaultKeptFolder(QStringLiteral("Work"), mine),
                 KeptFolder::defaultFolder(QStringLiteral("Work 3")));
        // The disk that uses the name's folder keeps it.
        QCOMPARE(
            DiskRules::defaultKeptFolder(QStringLiteral("Work"), env.path(QStringLiteral("a"))),
            KeptFolder::defaultFolder(QStringLiteral("Work")));
        // No name: the default name's folder.
        QCOMPARE(DiskRules::defaultKeptFolder(QString(), mine),
                 KeptFolder::defaultFolder(QStringLiteral("Ram Disk")));
    }

    void keptContentsMustFitTheDisk()
    {
        TestEnvironment env;
        const QString kept = env.path(QStringLiteral("kept"));
        QVERIFY(QDir().mkpath(kept));
        QFile blob(kept + QStringLiteral("/blob"));
        QVERIFY(blob.open(QIODevice::WriteOnly));
        blob.write(QByteArray(3 << 20, 'x'));
        blob.close();
        qint64 bytes = 0;
        QVERIFY(DiskRules::keptContents(kept, 16 * 1024, &bytes).ok());
        QCOMPARE(bytes, qint64(3 << 20));
        const Refusal refused = DiskRules::keptContents(kept, 2 * 1024, nullptr);
        QCOMPARE(refused.rule, DiskRule::KeptFolder);
        QVERIFY(refused.sentence.contains(QStringLiteral("3.0 MiB")));
    }

    void privilegeIsAskedOfTheHelperOnly()
    {
        EngineFixture fx;
        // Fake tools need no permission.
        QVERIFY(DiskRules::privilege().ok());
        // The helper's own answer is the refusal (real helper: TestCreateWindowReal's cases).
        QCOMPARE(DiskRules::privilege().sentence, RamDisk::privilegeProblem());
    }
};

QTEST_GUILESS_MAIN(TestDiskRules)
#include "TestDiskRules.moc"
