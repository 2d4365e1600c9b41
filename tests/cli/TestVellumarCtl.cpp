#include "FakeToolTables.h"
#include "MediaLocation.h"
#include "VellumarCtl.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

// The command line on fake tools: what it prints, its exit status, and what it leaves.
class TestVellumarCtl : public QObject
{
    Q_OBJECT

    struct Result
    {
        int status;
        QStringList out;
        QStringList err;
    };

    static Result run(const QStringList &arguments)
    {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const int status = runVellumarCtl(arguments, outStream, errStream);
        outStream.flush();
        errStream.flush();
        const auto lines = [](const QString &text) {
            QStringList split = text.split(QLatin1Char('\n'));
            if (!split.isEmpty() && split.last().isEmpty())
                split.removeLast();
            return split;
        };
        return {status, lines(out), lines(err)};
    }

private slots:
    void createPrintsEachPhaseThenThePath()
    {
        EngineFixture fx;
        const int before = anyDiskActive.load();
        const QString path = fx.mountPath();
        const Result result = run({QStringLiteral("create"), QStringLiteral("--size"),
                                   QStringLiteral("65536"), QStringLiteral("--mount"), path});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out,
                 (QStringList{QStringLiteral("allocate ok /dev/loop7"), QStringLiteral("build ok"),
                              QStringLiteral("mount ok ") + path,
                              QStringLiteral("finalize skipped: No file manager was asked: showing "
                                             "folders is turned off (VELLUMAR_NO_DESKTOP)."),
                              path}));
        QVERIFY(result.err.isEmpty());
        const QStringList calls = fx.tools.calls();
        QCOMPARE(calls.size(), 3);
        QCOMPARE(calls[0], QStringLiteral("attach|attach|ram://131072"));
        QVERIFY(calls[1].endsWith(QStringLiteral("|/dev/loop7||Ram Disk")));
        // The disk stays: the process that made it ends, the disk does not.
        QCOMPARE(anyDiskActive.load(), before + 1);
        anyDiskActive--;
    }

    void createReadsSizeNameAndPathLikeTheWindow()
    {
        EngineFixture fx;
        // A size with a unit, read as the window reads it; "~" is the home folder.
        const Result result = run({QStringLiteral("create"), QStringLiteral("--size= 1.5m"),
                                   QStringLiteral("--name"), QStringLiteral("Scratch"),
                                   QStringLiteral("--mount"), QStringLiteral("~/scratch")});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out.last(), fx.env.home() + QStringLiteral("/scratch"));
        QCOMPARE(fx.tools.calls().first(), QStringLiteral("attach|attach|ram://3072"));
        QVERIFY(fx.tools.calls().at(1).endsWith(QStringLiteral("|Scratch")));
        anyDiskActive--;

        // Without --mount the helper is asked for a folder named after the disk in the media
        // folder, and the one it prints is the disk's.
        fx.mount = fx.tools.write(QStringLiteral("mount"),
                                  says(MediaLocation::folder() + QStringLiteral("/Ram Disk\n")));
        fx.install();
        const Result generated =
            run({QStringLiteral("create"), QStringLiteral("--size"), QStringLiteral("256 KiB")});
        QCOMPARE(generated.status, 0);
        QVERIFY(fx.tools.calls().last().endsWith(QStringLiteral("|@media/Ram Disk")));
        QCOMPARE(generated.out.last(), MediaLocation::folder() + QStringLiteral("/Ram Disk"));
        QVERIFY(!QFileInfo::exists(fx.env.path(QStringLiteral("Library"))));
        anyDiskActive--;
    }

    void failedCreationTearsDownWhatWasMade()
    {
        EngineFixture fx;
        fx.remove.clear();
        fx.mount = fx.tools.write(
            QStringLiteral("mount"),
            says(QString(), 32, QStringLiteral("mount: wrong fs type\nsee dmesg\n")));
        fx.install();
        const int before = anyDiskActive.load();
        const QString path = fx.mountPath();
        const Result result = run({QStringLiteral("create"), QStringLiteral("--size"),
                                   QStringLiteral("1024"), QStringLiteral("--mount"), path});
        QCOMPARE(result.status, 1);
        // A failed phase is an error line, on one line, like every other.
        QCOMPARE(result.out.last(), QStringLiteral("build ok"));
        QCOMPARE(result.err.size(), 2);
        QCOMPARE(result.err.first(),
                 QStringLiteral("vellumarctl: mount failed mount: wrong fs type see dmesg"));
        const QStringList calls = fx.tools.calls();
        QVERIFY(calls.last().startsWith(QStringLiteral("detach|detach|/dev/loop7")));
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(anyDiskActive.load(), before);
    }

    void badInputMakesNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        const QString create = QStringLiteral("create");
        const QString size = QStringLiteral("--size");
        QTest::newRow("no size") << QStringList{create};
        QTest::newRow("size without value") << QStringList{create, size};
        QTest::newRow("zero") << QStringList{create, size, QStringLiteral("0")};
        QTest::newRow("negative") << QStringList{create, size, QStringLiteral("-5")};
        QTest::newRow("not a number") << QStringList{create, size, QStringLiteral("abc")};
        for (const char *text : {"12abc", "1e3", "0x10", "8192.9", "1.5", "-1G", "12 parsecs"})
            QTest::newRow(text) << QStringList{create, size, QLatin1String(text)};
        QTest::newRow("below the smallest disk")
            << QStringList{create, size, QStringLiteral("223")};
        QTest::newRow("past 2^32 blocks") << QStringList{create, size, QStringLiteral("2048G")};
        QTest::newRow("empty") << QStringList{create, size, QString()};
        QTest::newRow("beyond 32-bit blocks")
            << QStringList{create, size, QStringLiteral("2147483648")};
        QTest::newRow("huge") << QStringList{create, size,
                                             QStringLiteral("99999999999999999999999")};
        QTest::newRow("beyond memory") << QStringList{create, size, QStringLiteral("2147483647")};
        QTest::newRow("relative mount") << QStringList{
            create, size, QStringLiteral("64M"), QStringLiteral("--mount"), QStringLiteral("disk")};
        QTest::newRow("under a file")
            << QStringList{create, size, QStringLiteral("64M"), QStringLiteral("--mount"),
                           QStringLiteral("@file/disk")};
        QTest::newRow("system folder") << QStringList{
            create, size, QStringLiteral("64M"), QStringLiteral("--mount"), QStringLiteral("/usr")};
        QTest::newRow("unknown kind") << QStringList{
            create, size, QStringLiteral("64M"), QStringLiteral("--kind"), QStringLiteral("fast")};
        QTest::newRow("kind without value")
            << QStringList{create, size, QStringLiteral("64M"), QStringLiteral("--kind")};
        QTest::newRow("keep without value")
            << QStringList{create, size, QStringLiteral("64M"), QStringLiteral("--keep=")};
        QTest::newRow("remembered with a size")
            << QStringList{create, QStringLiteral("--remembered"), size, QStringLiteral("64M")};
        QTest::newRow("sync nothing") << QStringList{QStringLiteral("sync")};
        QTest::newRow("sync a plain folder")
            << QStringList{QStringLiteral("sync"), QStringLiteral("@home")};
        QTest::newRow("unknown option")
            << QStringList{create, size, QStringLiteral("64M"), QStringLiteral("--fast")};
        QTest::newRow("unknown command") << QStringList{QStringLiteral("make")};
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("eject a plain folder")
            << QStringList{QStringLiteral("eject"), QStringLiteral("@home")};
        QTest::newRow("eject nothing") << QStringList{QStringLiteral("eject")};
    }

    void badInputMakesNothing()
    {
        QFETCH(QStringList, arguments);
        EngineFixture fx;
        QFile file(fx.env.path(QStringLiteral("file")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        for (QString &argument : arguments) {
            argument.replace(QStringLiteral("@file"), file.fileName());
            argument.replace(QStringLiteral("@home"), fx.env.home());
        }
        const QStringList before =
            QDir(fx.env.home()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const int active = anyDiskActive.load();
        const Result result = run(arguments);
        QCOMPARE(result.status, 2);
        QVERIFY(result.out.isEmpty());
        QCOMPARE(result.err.size(), 1);
        QVERIFY2(result.err.first().startsWith(QStringLiteral("vellumarctl: ")) &&
                     result.err.first().size() > 20,
                 qPrintable(result.err.first()));
        QVERIFY(fx.tools.calls().isEmpty());
        QCOMPARE(QDir(fx.env.home()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QCOMPARE(anyDiskActive.load(), active);
    }

    void helpAndVersion_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("starts");
        QTest::newRow("--version")
            << QStringList{QStringLiteral("--version")} << QStringLiteral("vellumarctl 0.");
        QTest::newRow("-h") << QStringList{QStringLiteral("-h")}
                            << QStringLiteral("Usage: vellumarctl <command>");
        QTest::newRow("help list") << QStringList{QStringLiteral("help"), QStringLiteral("list")}
                                   << QStringLiteral("Usage: vellumarctl list");
        for (const char *command : {"create", "list", "eject", "sync", "mem", "swap"})
            for (const char *flag : {"-h", "--help"})
                QTest::newRow(qPrintable(
                    QStringLiteral("%1 %2").arg(QLatin1String(command), QLatin1String(flag))))
                    << QStringList{QLatin1String(command), QStringLiteral("--size"),
                                   QStringLiteral("1"), QLatin1String(flag)}
                    << QStringLiteral("Usage: vellumarctl ") + QLatin1String(command);
    }

    void helpAndVersion()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, starts);
        EngineFixture fx;
        const Result result = run(arguments);
        QCOMPARE(result.status, 0);
        QVERIFY2(result.out.value(0).startsWith(starts),
                 qPrintable(result.out.join(QLatin1Char('\n'))));
        QVERIFY(result.err.isEmpty());
        QVERIFY(fx.tools.calls().isEmpty());
    }

    void everyCommandAndOptionIsInTheHelp()
    {
        const QString help = run({QStringLiteral("--help")}).out.join(QLatin1Char('\n'));
        for (const char *word : {"create", "list", "eject", "sync", "mem", "swap", "--keep",
                                 "--remember", "--remembered", "--force", "--kind", "--json"})
            QVERIFY2(help.contains(QLatin1String(word)), word);
        const QString create =
            run({QStringLiteral("create"), QStringLiteral("--help")}).out.join(QLatin1Char('\n'));
        for (const char *word : {"--size", "--name", "--mount", "--kind", "--keep", "--remember",
                                 "--remembered", "memory", "compressed", "block"})
            QVERIFY2(create.contains(QLatin1String(word)), word);
        QVERIFY(run({QStringLiteral("eject"), QStringLiteral("--help")})
                    .out.join(QLatin1Char('\n'))
                    .contains(QStringLiteral("--force")));
    }

    void createTakesAKind_data()
    {
        QTest::addColumn<QString>("word");
        for (const QString &word : DiskKinds::names())
            QTest::newRow(qPrintable(word)) << word;
        QTest::newRow("any case") << QStringLiteral("Compressed");
    }

    void createTakesAKind()
    {
        QFETCH(QString, word);
        EngineFixture fx;
        const Result result =
            run({QStringLiteral("create"), QStringLiteral("--size"), QStringLiteral("1024"),
                 QStringLiteral("--kind"), word, QStringLiteral("--mount"), fx.mountPath()});
        QCOMPARE(result.status, 0);
        QCOMPARE(result.out.last(), fx.mountPath());
        anyDiskActive--;
    }

    void unknownKindIsOneLineAndNothingMade()
    {
        EngineFixture fx;
        const Result result =
            run({QStringLiteral("create"), QStringLiteral("--size"), QStringLiteral("1024"),
                 QStringLiteral("--kind"), QStringLiteral("floppy")});
        QCOMPARE(result.status, 2);
        QCOMPARE(result.err,
                 QStringList{QStringLiteral("vellumarctl: “floppy” is not a kind of disk: the "
                                            "kinds are memory, compressed and block.")});
        QVERIFY(fx.tools.calls().isEmpty());
    }

    void listHasAHeaderAndSizesForPeople()
    {
        const Result table = run({QStringLiteral("list")});
        QCOMPARE(table.status, 0);
        QVERIFY(table.out.value(0).startsWith(QStringLiteral("DEVICE")));
        QVERIFY(table.out.value(0).endsWith(QStringLiteral("MOUNTED ON")));
        QVERIFY(table.out.value(0).contains(QStringLiteral(" KIND ")));
        for (const QString &line : table.out.mid(1))
            QVERIFY2(line.contains(QStringLiteral("iB ")), qPrintable(line));
    }

    void listSaysWhatEachDiskHoldsInMemory()
    {
        EngineFixture fx;
        fx.listing({helperListLine(QStringLiteral("/dev/zram3"), DiskKind::Compressed, 65536,
                                   180224, QStringLiteral("Logs")),
                    helperListLine(QStringLiteral("vellumar-mem2"), DiskKind::Memory, 12288, -1,
                                   QStringLiteral("Scratch")),
                    helperListLine(QStringLiteral("/dev/loop7"), DiskKind::Block, -1, -1,
                                   QStringLiteral("Image"))});
        const Result table = run({QStringLiteral("list")});
        QCOMPARE(table.status, 0);
        QCOMPARE(table.out.size(), 4);
        // Each figure stands in the memory column, under its header.
        const qsizetype column = table.out.first().indexOf(QStringLiteral("MEMORY"));
        QVERIFY(column > 0);
        const auto cell = [&table, column](qsizetype row) {
            return table.out.at(row).mid(column).section(QStringLiteral("  "), 0, 0);
        };
        QCOMPARE(cell(1), QStringLiteral("64 MiB (2.75×)"));
        QCOMPARE(cell(2), QStringLiteral("12 MiB"));
        QCOMPARE(cell(3), QStringLiteral("-"));
        QVERIFY(table.out.at(1).startsWith(QStringLiteral("/dev/zram3 ")));

        const Result json = run({QStringLiteral("list"), QStringLiteral("--json")});
        QCOMPARE(json.status, 0);
        const QJsonArray disks =
            QJsonDocument::fromJson(json.out.join(QLatin1Char('\n')).toUtf8()).array();
        QCOMPARE(disks.size(), 3);
        const auto field = [&disks](qsizetype disk, const char *key) {
            return disks.at(disk).toObject().value(QLatin1String(key));
        };
        QCOMPARE(field(0, "memoryUsed").toInteger(), qint64(64) << 20);
        QCOMPARE(field(0, "compressionRatio").toDouble(), 2.75);
        QCOMPARE(field(1, "memoryUsed").toInteger(), qint64(12) << 20);
        QVERIFY(!disks.at(1).toObject().contains(QStringLiteral("compressionRatio")));
        QVERIFY(field(2, "memoryUsed").isNull());
    }

    void aFailedWriteIsAFailure()
    {
        QProcess ctl;
        ctl.setStandardOutputFile(QStringLiteral("/dev/full"));
        ctl.start(QStringLiteral(VELLUMAR_BUILD_BIN_DIR "/vellumarctl"),
                  {QStringLiteral("--version")});
        QVERIFY(ctl.waitForFinished(10000));
        QCOMPARE(ctl.exitCode(), 1);
        QVERIFY(ctl.readAllStandardError().startsWith("vellumarctl: "));
    }
};

QTEST_GUILESS_MAIN(TestVellumarCtl)
#include "TestVellumarCtl.moc"
