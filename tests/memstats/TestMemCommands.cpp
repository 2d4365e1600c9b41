#include "FedMemStatsSource.h"
#include "MemCommands.h"
#include "MenuMeterMemStats.h"
#include "TestEnvironment.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>
#include <QTextStream>
#include <QtTest>
#include <unistd.h>

namespace {

struct Run
{
    int status;
    QString out;
    QString err;
};

using Command = int (*)(const QStringList &, MenuMeterMemStats &, QTextStream &, QTextStream &);

Run run(Command command, const QStringList &args, MenuMeterMemStats &stats)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int status = command(args, stats, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return {status, out, err};
}

std::unique_ptr<MenuMeterMemStats> fedStats(FedMemStatsSource **keep = nullptr)
{
    auto fed = std::make_unique<FedMemStatsSource>();
    fed->total = 24ull << 30;
    fed->counters.freeCount = (4ull << 30) / 4096;
    fed->counters.pageins = 42;
    if (keep)
        *keep = fed.get();
    return std::make_unique<MenuMeterMemStats>(std::move(fed));
}

// Runs `body` with the process's standard output going to a file, and returns what it wrote.
QByteArray capturedStdout(const std::function<int()> &body, int *status)
{
    QTemporaryFile file;
    if (!file.open())
        return {};
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(file.handle(), STDOUT_FILENO);
    *status = body();
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    file.seek(0);
    return file.readAll();
}

} // namespace

class TestMemCommands : public QObject
{
    Q_OBJECT

private slots:
    void memAsTextAndJson()
    {
        TestEnvironment env;
        const auto stats = fedStats();
        Run text = run(&runMemCommand, {}, *stats);
        QCOMPARE(text.status, 0);
        QVERIFY(text.err.isEmpty());
        const QStringList lines = text.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 15);
        QCOMPARE(lines.first().simplified(), QStringLiteral("total 24 GiB"));
        QVERIFY(lines.contains(QStringLiteral("used          20 GiB")));
        QVERIFY(lines.contains(QStringLiteral("pageins       42")));

        Run json = run(&runMemCommand, {QStringLiteral("--json")}, *stats);
        QCOMPARE(json.status, 0);
        const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
        QCOMPARE(object.size(), 15);
        QCOMPARE(object.value(QStringLiteral("total")).toDouble(), 24576.0);
        QCOMPARE(object.value(QStringLiteral("used")).toDouble(), 20480.0);
        QCOMPARE(object.value(QStringLiteral("pageins")).toInteger(), 42);
        QVERIFY(object.contains(QStringLiteral("deltapageouts")));
    }

    void swapAsJson()
    {
        TestEnvironment env;
        const auto stats = fedStats();
        Run json = run(&runSwapCommand, {QStringLiteral("--json")}, *stats);
        QCOMPARE(json.status, 0);
        const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
        QCOMPARE(object.keys(),
                 (QStringList{QStringLiteral("swapcount"), QStringLiteral("swapcountmax"),
                              QStringLiteral("swappath"), QStringLiteral("swapsize")}));
        QCOMPARE(object.value(QStringLiteral("swappath")).toString(), QStringLiteral("/var/vm/"));
    }

    void failuresSayWhatHappened()
    {
        TestEnvironment env;
        FedMemStatsSource *source = nullptr;
        const auto stats = fedStats(&source);

        Run wrong = run(&runMemCommand, {QStringLiteral("--jsn")}, *stats);
        QCOMPARE(wrong.status, 2);
        QVERIFY(wrong.out.isEmpty());
        QVERIFY2(wrong.err.contains(QStringLiteral("--jsn")) &&
                     wrong.err.contains(QStringLiteral("[--json]")),
                 qPrintable(wrong.err));

        source->failing = true;
        Run failed = run(&runMemCommand, {QStringLiteral("--json")}, *stats);
        QCOMPARE(failed.status, 1);
        QVERIFY(failed.out.isEmpty());
        QVERIFY2(failed.err.contains(QStringLiteral("could not be read")), qPrintable(failed.err));
    }

    void realMachineOnStandardOutput()
    {
        TestEnvironment env;
        int status = -1;
        const QByteArray out =
            capturedStdout([] { return runMemCommand({QStringLiteral("--json")}); }, &status);
        QCOMPARE(status, 0);
        const QJsonObject object = QJsonDocument::fromJson(out).object();
        QCOMPARE(object.size(), 15);
        QVERIFY(object.value(QStringLiteral("total")).toDouble() > 0);

        const QByteArray swap = capturedStdout([] { return runSwapCommand({}); }, &status);
        QCOMPARE(status, 0);
        QVERIFY2(swap.startsWith("swappath"), swap.constData());
    }
};

QTEST_GUILESS_MAIN(TestMemCommands)
#include "TestMemCommands.moc"
