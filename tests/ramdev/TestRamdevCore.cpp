#include "Caller.h"
#include "CallerPath.h"
#include "DiskRecord.h"
#include "Formatter.h"
#include "MediaFolder.h"
#include "MemoryBudget.h"
#include "Text.h"

#include <QtTest>

// The helper's pure parts: the mkfs line, the memory budget, paths, and its records.
class TestRamdevCore : public QObject
{
    Q_OBJECT

    static QStringList words(std::initializer_list<const char *> items)
    {
        QStringList out;
        for (const char *item : items)
            out << QString::fromUtf8(item);
        return out;
    }

    static QStringList qt(const std::vector<std::string> &words)
    {
        QStringList out;
        for (const std::string &word : words)
            out << QString::fromStdString(word);
        return out;
    }

private slots:
    void mkfsLineGivesTheRootFolderToTheCaller()
    {
        DiskRecord record;
        record.number = 3;
        record.blocks = 2048;
        record.label = "My Disk";
        Caller caller;
        caller.uid = 1000;
        caller.ownerUid = 1000;
        caller.ownerGid = 100;
        QCOMPARE(qt(Formatter::arguments(record, caller)),
                 words({"-F", "-q", "-b", "4096", "-m", "0", "-O", "has_journal,fast_commit", "-E",
                        "root_owner=1000:100,assume_storage_prezeroed=1", "-L", "My Disk",
                        "/dev/loop3"}));
        // From 128 MiB on the journal has a fixed small size.
        record.blocks = 128 * 2048;
        QCOMPARE(qt(Formatter::arguments(record, caller)).mid(10, 2), words({"-J", "size=8"}));
        record.blocks = 128 * 2048 - 1;
        QVERIFY(!qt(Formatter::arguments(record, caller)).contains(QStringLiteral("-J")));
    }

    void memoryBudgetCountsTheOtherDisks()
    {
        constexpr uint64_t MiB = 1024 * 1024;
        MemoryBudget::Figures figures{4096 * MiB, 8192 * MiB};
        QCOMPARE(MemoryBudget::marginBytes(figures.totalBytes), 512 * MiB);
        QCOMPARE(MemoryBudget::marginBytes(512 * MiB), 64 * MiB);
        QVERIFY(MemoryBudget::refusal(3584 * MiB, 0, figures).empty());
        QVERIFY(!MemoryBudget::refusal(3585 * MiB, 0, figures).empty());
        // Two disks that each fit alone do not fit together.
        const std::string together = MemoryBudget::refusal(2048 * MiB, 2048 * MiB, figures);
        QVERIFY(!together.empty());
        QVERIFY(QString::fromStdString(together).contains(QStringLiteral("1536 MiB")));
        // Less available than the margin: nothing fits, and nothing underflows.
        QVERIFY(!MemoryBudget::refusal(1, 0, {10 * MiB, 8192 * MiB}).empty());
    }

    void pathsAreCleanedOrRefused()
    {
        std::string cleaned;
        std::string problem;
        QVERIFY(CallerPath::clean("/home//u/./x", cleaned, problem) == false);
        QVERIFY(CallerPath::clean("/home//u/disk/", cleaned, problem));
        QCOMPARE(QString::fromStdString(cleaned), QStringLiteral("/home/u/disk"));
        for (const char *refused : {"", "relative", "/", "//", "/a/../etc", "/a/./b"})
            QVERIFY2(!CallerPath::clean(refused, cleaned, problem), refused);
    }

    void recordsSurviveOddNames()
    {
        DiskRecord record;
        record.number = 12;
        record.loopRdev = 1804;
        record.memoryDevice = 1;
        record.memoryInode = 987654;
        record.owner = 1000;
        record.blocks = 4096;
        record.formatted = true;
        record.label = "a=b\nc%20 ä";
        record.mountPath = "/home/u/with space\n/and=equals%";
        record.mountId = 77;
        record.madeFolder = true;
        record.helperFolder = true;
        record.folderDevice = 2049;
        record.folderInode = 55;
        DiskRecord back;
        QVERIFY(DiskRecord::parse(record.serialize(), back));
        QCOMPARE(back.serialize(), record.serialize());
        QCOMPARE(QString::fromStdString(back.mountPath), QString::fromStdString(record.mountPath));
        QCOMPARE(back.device(), std::string("/dev/loop12"));
        // One value a line: no line end survives escaping.
        QCOMPARE(QString::fromStdString(Text::escape(record.mountPath)).count(QLatin1Char('\n')),
                 0);
        DiskRecord broken;
        QVERIFY(!DiskRecord::parse("loop=12\nowner=x\n", broken));
    }

    void everyKindIsNamedByItsDevice()
    {
        DiskRecord memory;
        memory.kind = DiskRecord::Kind::Memory;
        memory.number = 4;
        memory.id = 1234567890123;
        memory.superblock = 40;
        memory.keptOutOfSwap = true;
        DiskRecord back;
        QVERIFY(DiskRecord::parse(memory.serialize(), back));
        QCOMPARE(back.serialize(), memory.serialize());
        QCOMPARE(back.device(), std::string("vellumar-mem4"));
        QCOMPARE(back.fileName(), std::string("mem4.disk"));
        DiskRecord::Kind kind = DiskRecord::Kind::Block;
        int number = -1;
        QVERIFY(DiskRecord::parseDevice("/dev/zram7", kind, number));
        QVERIFY(kind == DiskRecord::Kind::Compressed && number == 7);
        QVERIFY(DiskRecord::parseDevice("vellumar-mem2", kind, number));
        QVERIFY(kind == DiskRecord::Kind::Memory && number == 2);
        for (const char *refused : {"/dev/sda", "/dev/loop", "/dev/loop1x", "/dev/zram-1",
                                    "vellumar-mem", "/dev/loop1048576", "../dev/loop1"})
            QVERIFY2(!DiskRecord::parseDevice(refused, kind, number), refused);
        // A record written before disks had kinds is still a block disk.
        QVERIFY(DiskRecord::parse("loop=3\nrdev=1795\nmemdev=1\nmeminode=99\nowner=1000\n"
                                  "blocks=2048\nformatted=1\nlabel=\nmountpath=\nmountid=0\n"
                                  "madefolder=0\nfolderdev=0\nfolderino=0\n",
                                  back));
        QVERIFY(back.kind == DiskRecord::Kind::Block && back.number == 3 && back.id == 99);
    }

    // A disk's name becomes one folder name in the media folder, whatever it holds.
    void mediaFolderNamesAreOneSafeName_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("folder");
        QTest::newRow("plain") << QByteArray("Scratch") << QByteArray("Scratch");
        QTest::newRow("slash") << QByteArray("a/b") << QByteArray("a_b");
        QTest::newRow("climbing") << QByteArray("../x") << QByteArray("_x");
        QTest::newRow("dot") << QByteArray(".") << QByteArray("Ram Disk");
        QTest::newRow("dot-dot") << QByteArray("..") << QByteArray("Ram Disk");
        QTest::newRow("hidden") << QByteArray("..hidden.") << QByteArray("hidden.");
        QTest::newRow("empty") << QByteArray() << QByteArray("Ram Disk");
        QTest::newRow("line break and tab") << QByteArray("a\nb\tc\x7f") << QByteArray("a_b_c_");
        QTest::newRow("accents kept") << QByteArray("Brücke ä") << QByteArray("Brücke ä");
        QTest::newRow("a request inside") << QByteArray("@media/x") << QByteArray("@media_x");
    }

    void mediaFolderNamesAreOneSafeName()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, folder);
        QCOMPARE(QByteArray::fromStdString(MediaFolder::cleanName(name.toStdString())), folder);
    }

    void longNamesAndNumbersStayWithinOneName()
    {
        // 300 bytes of two-byte characters: cut at 254, never inside a character.
        std::string umlauts;
        for (int i = 0; i < 150; ++i)
            umlauts += "ü";
        const std::string cleaned = MediaFolder::cleanName(umlauts);
        QCOMPARE(cleaned.size(), size_t(254));
        QVERIFY(QString::fromStdString(cleaned).toUtf8().toStdString() == cleaned);
        QCOMPARE(MediaFolder::numbered("Scratch", 1), std::string("Scratch"));
        QCOMPARE(MediaFolder::numbered("Scratch", 2), std::string("Scratch 2"));
        const std::string long255(255, 'a');
        const std::string tenth = MediaFolder::numbered(MediaFolder::cleanName(long255), 10);
        QCOMPARE(tenth.size(), size_t(255));
        QCOMPARE(tenth.substr(252), std::string(" 10"));
        std::string name;
        QVERIFY(MediaFolder::isRequest("@media/a/b", name));
        QCOMPARE(name, std::string("a/b"));
        QVERIFY(!MediaFolder::isRequest("/media/a", name));
        QVERIFY(!MediaFolder::isRequest("@mediax", name));
    }
};

QTEST_GUILESS_MAIN(TestRamdevCore)
#include "TestRamdevCore.moc"
