#include "RealDisks.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryFile>
#include <QtTest>
#include <fcntl.h>
#include <unistd.h>

// The helper on real loop devices. Needs root.
class TestRamdevReal : public QObject
{
    Q_OBJECT

    QStringList m_attached; // released in cleanup whatever happened

    struct Run
    {
        int exitCode;
        QByteArray out;
        QByteArray err;
    };

    static Run helper(const QStringList &arguments)
    {
        QProcess process;
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/vellumar-ramdev"),
                      arguments);
        process.waitForFinished(30000);
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }

    static QString sysfs(const QString &device, const QString &entry)
    {
        QFile file(QStringLiteral("/sys/block/%1/%2").arg(device.mid(5), entry));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed()
                                              : QString();
    }

    QString attach(const QString &request)
    {
        const Run run = helper({QStringLiteral("attach"), request});
        const QString device = QString::fromUtf8(run.out).trimmed();
        if (run.exitCode == 0)
            m_attached << device;
        return run.exitCode == 0 && run.out == device.toUtf8() + '\n' ? device : QString();
    }

private slots:
    void cleanup()
    {
        for (const QString &device : std::as_const(m_attached))
            helper({QStringLiteral("detach"), device});
        m_attached.clear();
    }

    void attachThenDetach()
    {
        VELLUMAR_REQUIRE_ROOT();
        const QString device = attach(QStringLiteral("ram://16384"));
        QVERIFY(device.startsWith(QStringLiteral("/dev/loop")));
        QVERIFY(sysfs(device, QStringLiteral("loop/backing_file"))
                    .startsWith(QStringLiteral("/memfd:vellumar-ramdisk")));
        QCOMPARE(sysfs(device, QStringLiteral("size")), QStringLiteral("16384"));
        QCOMPARE(sysfs(device, QStringLiteral("queue/logical_block_size")), QStringLiteral("4096"));
        // Must outlive the helper: no autoclear.
        QCOMPARE(sysfs(device, QStringLiteral("loop/autoclear")), QStringLiteral("0"));

        const Run run = helper({QStringLiteral("detach"), device});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("\"%1\" ejected.\n").arg(device).toUtf8());
        m_attached.removeAll(device);
        QVERIFY(!RealDisks::ourLoopDevices().contains(device));
        // A second detach finds nothing of ours there any more.
        QCOMPARE(helper({QStringLiteral("detach"), device}).exitCode, 2);
    }

    void oddSizesKeepSmallBlocks()
    {
        VELLUMAR_REQUIRE_ROOT();
        const QString device = attach(QStringLiteral("ram://2049"));
        QVERIFY(!device.isEmpty());
        QCOMPARE(sysfs(device, QStringLiteral("size")), QStringLiteral("2049"));
        QCOMPARE(sysfs(device, QStringLiteral("queue/logical_block_size")), QStringLiteral("512"));
    }

    void busyDeviceIsKept()
    {
        VELLUMAR_REQUIRE_ROOT();
        const QString device = attach(QStringLiteral("ram://2048"));
        QVERIFY(!device.isEmpty());
        // Held exclusively, as a mounted file system holds it.
        const int holder = open(QFile::encodeName(device).constData(), O_RDONLY | O_EXCL);
        QVERIFY(holder >= 0);
        const Run run = helper({QStringLiteral("detach"), device});
        close(holder);
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains("device is busy"));
        QVERIFY(run.out.isEmpty());
        QVERIFY(RealDisks::ourLoopDevices().contains(device));
    }

    void othersLoopDevicesAreRefused()
    {
        VELLUMAR_REQUIRE_ROOT();
        QTemporaryFile image;
        QVERIFY(image.open());
        QVERIFY(image.resize(1024 * 1024));
        QProcess losetup;
        losetup.start(QStringLiteral("losetup"),
                      {QStringLiteral("-f"), QStringLiteral("--show"), image.fileName()});
        QVERIFY(losetup.waitForFinished(10000));
        const QString device = QString::fromUtf8(losetup.readAllStandardOutput()).trimmed();
        QVERIFY(device.startsWith(QStringLiteral("/dev/loop")));
        const auto release = qScopeGuard([&] {
            QProcess::execute(QStringLiteral("losetup"), {QStringLiteral("-d"), device});
        });
        const Run run = helper({QStringLiteral("detach"), device});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(sysfs(device, QStringLiteral("loop/backing_file")), image.fileName());
    }

    void parallelAttachesGetDistinctDevices()
    {
        VELLUMAR_REQUIRE_ROOT();
        std::vector<std::unique_ptr<QProcess>> runs;
        for (int i = 0; i < 4; ++i) {
            runs.push_back(std::make_unique<QProcess>());
            runs.back()->start(QCoreApplication::applicationDirPath() +
                                   QStringLiteral("/vellumar-ramdev"),
                               {QStringLiteral("attach"), QStringLiteral("ram://2048")});
        }
        QStringList devices;
        for (auto &run : runs) {
            QVERIFY(run->waitForFinished(30000));
            const QString device = QString::fromUtf8(run->readAllStandardOutput()).trimmed();
            if (run->exitCode() == 0)
                m_attached << device;
            QCOMPARE(run->exitCode(), 0);
            devices << device;
        }
        devices.removeDuplicates();
        QCOMPARE(devices.size(), 4);
    }
};

QTEST_GUILESS_MAIN(TestRamdevReal)
#include "TestRamdevReal.moc"
