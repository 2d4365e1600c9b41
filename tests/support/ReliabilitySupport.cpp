#include "ReliabilitySupport.h"

#include "RealDisks.h"
#include "SystemDisks.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <unistd.h>

namespace Reliability {

bool createDisk(RamDisk &disk)
{
    // Every step runs even after a failure, as the window runs them.
    const bool allocated = disk.allocateRAM();
    const bool built = disk.createFilesystem();
    const bool mounted = disk.mount();
    const bool shown = disk.showInFinder();
    return allocated && built && mounted && shown;
}

MachineGuard::MachineGuard(const QString &root) : m_root(root) {}

MachineGuard::~MachineGuard()
{
    // Only what lies under our root and the devices we were given: other processes on this
    // machine may be making disks of their own right now, attached but not mounted yet.
    const QStringList mounted = RealDisks::mountsUnder(m_root);
    // The devices mounted under our root are ours too, whoever made them.
    for (const SystemDisks::Mount &m : SystemDisks::mounts()) {
        if (mounted.contains(m.mountPoint))
            keep(m.source);
    }
    for (auto it = mounted.crbegin(); it != mounted.crend(); ++it) {
        if (QProcess::execute(QStringLiteral("umount"), {*it}) != 0)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), *it});
    }
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    const QString table =
        mounts.open(QIODevice::ReadOnly) ? QString::fromUtf8(mounts.readAll()) : QString();
    for (const QString &device : stillAttached(m_devices)) {
        if (!table.contains(device + QLatin1Char(' ')))
            QProcess::execute(QStringLiteral("losetup"), {QStringLiteral("-d"), device});
    }
}

void MachineGuard::keep(const QString &device)
{
    if (!device.isEmpty() && !m_devices.contains(device))
        m_devices << device;
}

QStringList stillAttached(const QStringList &devices)
{
    QStringList attached;
    const QStringList ours = RealDisks::ourLoopDevices();
    for (const QString &device : devices) {
        if (ours.contains(device))
            attached << device;
    }
    return attached;
}

qint64 settleShmem(qint64 baselineKiB, qint64 toleranceKiB, int waitMs)
{
    QElapsedTimer timer;
    timer.start();
    qint64 difference = RealDisks::shmemKiB() - baselineKiB;
    while (qAbs(difference) > toleranceKiB && timer.elapsed() < waitMs) {
        QThread::msleep(50);
        difference = RealDisks::shmemKiB() - baselineKiB;
    }
    return difference;
}

QStringList foreignDevices(const QStringList &mine)
{
    QStringList foreign;
    for (const QString &device : RealDisks::ourLoopDevices()) {
        if (!mine.contains(device))
            foreign << device;
    }
    return foreign;
}

QStringList strayDevices(const QStringList &before)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        QStringList stray;
        QFile mounts(QStringLiteral("/proc/self/mounts"));
        const QString table =
            mounts.open(QIODevice::ReadOnly) ? QString::fromUtf8(mounts.readAll()) : QString();
        for (const QString &device : foreignDevices(before)) {
            if (!table.contains(device + QLatin1Char(' ')))
                stray << device;
        }
        if (stray.isEmpty() || timer.elapsed() > 1000)
            return stray;
        QThread::msleep(50);
    }
}

QString programPath(const QString &name)
{
    return QStringLiteral(VELLUMAR_BUILD_BIN_DIR "/") + name;
}

Run runProgram(const QString &name, const QStringList &arguments, const QString &home,
               int timeoutMs)
{
    Run run;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(programPath(name), arguments);
    if (!process.waitForStarted()) {
        run.err = process.errorString();
        return run;
    }
    run.finished = process.waitForFinished(timeoutMs);
    if (!run.finished) {
        process.kill();
        process.waitForFinished();
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

namespace {

QByteArray patternBlock(qint64 offset, unsigned seed)
{
    QByteArray block(4096, Qt::Uninitialized);
    quint32 x = quint32(offset / 4096) * 2654435761u + seed * 40503u + 1;
    for (char &c : block) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x);
    }
    return block;
}

} // namespace

bool writePattern(const QString &path, qint64 size, unsigned seed)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    for (qint64 offset = 0; offset < size; offset += 4096) {
        const QByteArray block =
            patternBlock(offset, seed).left(int(qMin<qint64>(4096, size - offset)));
        if (file.write(block) != block.size())
            return false;
    }
    file.flush();
    return ::fsync(file.handle()) == 0;
}

bool checkPattern(const QString &path, qint64 size, unsigned seed)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != size)
        return false;
    for (qint64 offset = 0; offset < size; offset += 4096) {
        const QByteArray expected =
            patternBlock(offset, seed).left(int(qMin<qint64>(4096, size - offset)));
        if (file.read(expected.size()) != expected)
            return false;
    }
    return true;
}

void dropCaches()
{
    ::sync();
    QFile control(QStringLiteral("/proc/sys/vm/drop_caches"));
    if (control.open(QIODevice::WriteOnly))
        control.write("3\n");
}

} // namespace Reliability
