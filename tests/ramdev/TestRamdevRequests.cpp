#include <QProcess>
#include <QtTest>

// Requests the helper must refuse, whoever runs it: nothing attached, nothing released.
class TestRamdevRequests : public QObject
{
    Q_OBJECT

private slots:
    void refusesMalformedRequests_data()
    {
        QTest::addColumn<QStringList>("arguments");
        const auto row = [](const char *name, QStringList arguments) {
            QTest::newRow(name) << arguments;
        };
        row("nothing", {});
        row("unknown verb", {QStringLiteral("format"), QStringLiteral("ram://8")});
        row("zero blocks", {QStringLiteral("attach"), QStringLiteral("ram://0")});
        row("not a number", {QStringLiteral("attach"), QStringLiteral("ram://abc")});
        row("negative", {QStringLiteral("attach"), QStringLiteral("ram://-8")});
        row("over 32 bits", {QStringLiteral("attach"), QStringLiteral("ram://4294967296")});
        row("trailing text", {QStringLiteral("attach"), QStringLiteral("ram://8x")});
        row("other scheme", {QStringLiteral("attach"), QStringLiteral("file:///tmp/x")});
        const QString one = QStringLiteral("1");
        row("a disk", {QStringLiteral("detach"), QStringLiteral("/dev/sda"), one});
        row("a file", {QStringLiteral("detach"), QStringLiteral("/etc/passwd"), one});
        row("no number", {QStringLiteral("detach"), QStringLiteral("/dev/loop"), one});
        row("a partition", {QStringLiteral("detach"), QStringLiteral("/dev/loop0p1"), one});
        row("a detour", {QStringLiteral("detach"), QStringLiteral("/dev/../dev/loop0"), one});
        row("control", {QStringLiteral("detach"), QStringLiteral("/dev/loop-control"), one});
        row("not attached", {QStringLiteral("detach"), QStringLiteral("/dev/loop9999"), one});
        row("mount without a folder",
            {QStringLiteral("mount"), QStringLiteral("/dev/loop9999"), one});
        row("relative folder", {QStringLiteral("mount"), QStringLiteral("/dev/loop9999"), one,
                                QStringLiteral("relative")});
        row("unmount by a path", {QStringLiteral("unmount"), QStringLiteral("/tmp"), one});
    }

    void refusesMalformedRequests()
    {
        QFETCH(QStringList, arguments);
        QProcess helper;
        helper.start(QCoreApplication::applicationDirPath() + QStringLiteral("/vellumar-ramdev"),
                     arguments);
        QVERIFY(helper.waitForFinished(10000));
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        QCOMPARE(helper.exitCode(), 2);
        QCOMPARE(helper.readAllStandardOutput(), QByteArray());
        const QByteArray complaint = helper.readAllStandardError();
        QVERIFY(complaint.startsWith("vellumar-ramdev: "));
        QCOMPARE(complaint.count('\n'), 1);
    }
};

QTEST_GUILESS_MAIN(TestRamdevRequests)
#include "TestRamdevRequests.moc"
