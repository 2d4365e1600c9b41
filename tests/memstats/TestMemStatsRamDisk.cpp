#include "MenuMeterMemStats.h"
#include "RealDisks.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString ramdevPath()
{
    const QString name = QStringLiteral("/vellumar-ramdev");
    const QStringList candidates{qEnvironmentVariable("VELLUMAR_RAMDEV"),
                                 QCoreApplication::applicationDirPath() + name,
                                 QStringLiteral(VELLUMAR_BUILD_BIN_DIR) + name};
    for (const QString &candidate : candidates) {
        if (!candidate.isEmpty() && QFileInfo(candidate).isExecutable())
            return candidate;
    }
    return {};
}

struct Result
{
    int status;
    QString output;
};

Result runTool(const QString &program, const QStringList &args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {-1, QStringLiteral("%1 did not finish").arg(program)};
    }
    const int status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return {status, QString::fromUtf8(process.readAll()).trimmed()};
}

// Unmounts and detaches what the test made, whichever way the test ends.
struct DiskGuard
{
    QString ramdev;
    QString device;
    QString mountPoint;
    bool mounted = false;

    ~DiskGuard()
    {
        // Only what this test made: other disks on the machine are left alone.
        if (mounted && runTool(QStringLiteral("umount"), {mountPoint}).status != 0)
            runTool(QStringLiteral("umount"), {QStringLiteral("-l"), mountPoint});
        if (!device.isEmpty() && runTool(ramdev, {QStringLiteral("detach"), device}).status != 0)
            runTool(QStringLiteral("losetup"), {QStringLiteral("-d"), device});
    }
};

double perCpuFreeMegabytes()
{
    QFile zoneinfo(QStringLiteral("/proc/zoneinfo"));
    if (!zoneinfo.open(QIODevice::ReadOnly))
        return 0;
    qint64 pages = 0;
    const QList<QByteArray> lines = zoneinfo.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith("count:"))
            pages += trimmed.mid(6).trimmed().toLongLong();
    }
    return pages * double(::sysconf(_SC_PAGESIZE)) / 1048576.0;
}

double usedMegabytes(MenuMeterMemStats &stats)
{
    const auto reading = stats.getMemStats();
    return reading ? reading->value(QStringLiteral("used")).toDouble() : -1;
}

// Writes `megabytes` MiB, makes sure it reached the disk's memory, and drops the file's own
// page cache so that only the disk's memory is left to count.
bool fill(const QString &path, int megabytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray chunk(1 << 20, '\0');
    for (int i = 0; i < chunk.size(); ++i)
        chunk[i] = char(i * 131 + 7);
    for (int i = 0; i < megabytes; ++i) {
        if (file.write(chunk) != chunk.size())
            return false;
    }
    file.flush();
    if (::fsync(file.handle()) != 0)
        return false;
    ::posix_fadvise(file.handle(), 0, 0, POSIX_FADV_DONTNEED);
    return true;
}

} // namespace

class TestMemStatsRamDisk : public QObject
{
    Q_OBJECT

private slots:
    void ramDiskMemoryShowsAsUsed()
    {
        VELLUMAR_REQUIRE_ROOT();
        const QString ramdev = ramdevPath();
        if (ramdev.isEmpty())
            QSKIP("vellumar-ramdev is not built (build the vellumar-ramdev target or set "
                  "$VELLUMAR_RAMDEV)");

        QTemporaryDir dir;
        DiskGuard guard{ramdev, {}, dir.filePath(QStringLiteral("mnt"))};
        QVERIFY(QDir().mkpath(guard.mountPoint));

        const Result attached =
            runTool(ramdev, {QStringLiteral("attach"), QStringLiteral("ram://524288")});
        QVERIFY2(attached.status == 0 && attached.output.startsWith(QStringLiteral("/dev/")),
                 qPrintable(attached.output));
        guard.device = attached.output.section(QLatin1Char('\n'), -1).trimmed();

        const Result made =
            runTool(QStringLiteral("mkfs.ext4"),
                    {QStringLiteral("-q"), QStringLiteral("-F"), QStringLiteral("-O"),
                     QStringLiteral("^has_journal"), guard.device});
        QVERIFY2(made.status == 0, qPrintable(made.output));
        const Result mounted =
            runTool(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("ext4"), QStringLiteral("-o"),
                     QStringLiteral("discard"), guard.device, guard.mountPoint});
        QVERIFY2(mounted.status == 0, qPrintable(mounted.output));
        guard.mounted = true;

        // Other processes on the machine move "used" too; a rise of 190 MB in any of five tries
        // shows that the disk's memory counts as used.
        MenuMeterMemStats stats;
        const QString data = guard.mountPoint + QStringLiteral("/data");
        double bestRise = 0;
        for (int attempt = 0; attempt < 5 && bestRise < 190; ++attempt) {
            QFile::remove(data);
            ::sync();
            const qint64 shmemBefore = RealDisks::shmemKiB();
            const double perCpuBefore = perCpuFreeMegabytes();
            const double before = usedMegabytes(stats);
            QVERIFY(before > 0);
            QVERIFY(fill(data, 200));
            const double after = usedMegabytes(stats);
            const double perCpuChange = perCpuFreeMegabytes() - perCpuBefore;
            const double rise = after - before - perCpuChange;
            qInfo("used %.1f -> %.1f MB, per-CPU free lists %+.1f MB, rise %.1f MB (shared memory "
                  "%+.1f MB)",
                  before, after, perCpuChange, rise,
                  (RealDisks::shmemKiB() - shmemBefore) / 1024.0);
            bestRise = qMax(bestRise, rise);
        }
        QVERIFY2(bestRise >= 190, qPrintable(QStringLiteral("used rose by %1 MB").arg(bestRise)));
    }
};

QTEST_GUILESS_MAIN(TestMemStatsRamDisk)
#include "TestMemStatsRamDisk.moc"
