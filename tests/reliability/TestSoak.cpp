// Many disks in a row through the engine, each written, read back and ejected: nothing may pile
// up (devices, mounts, folders, memory, the active-disk count).
#include "MountLocation.h"
#include "RamDisk.h"
#include "RealDisks.h"
#include "ReliabilitySupport.h"
#include "SystemDisks.h"
#include "TestEnvironment.h"
#include "UserDefaults.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>

using namespace Reliability;

namespace {

// Whether `device` is still one of our memory devices and not someone else's: a device number
// may be taken again at once by another process's disk, which then is mounted outside `home`.
bool attachedHere(const QString &device, const QString &home)
{
    if (!SystemDisks::isOurMemoryDevice(device))
        return false;
    for (const SystemDisks::Mount &m : SystemDisks::mounts()) {
        if (m.source == device && !m.mountPoint.startsWith(home))
            return false;
    }
    return true;
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void cyclesLeaveNothingBehind();
};

void TestSoak::cyclesLeaveNothingBehind()
{
    VELLUMAR_REQUIRE_DISKS();
    TestEnvironment environment;
    MachineGuard guard(environment.home());
    RamDisk::setToolTable(nullptr);
    // Generated mount paths in a folder of the temporary home, where the guard finds whatever
    // is left.
    const QString location = environment.path(QStringLiteral("disks"));
    QVERIFY(QDir().mkpath(location));
    UserDefaults::standard().setObject(location + QLatin1Char('/'), MountPath_pref);

    const int cycles = qEnvironmentVariableIntValue("VELLUMAR_SOAK_CYCLES") > 0
                           ? qEnvironmentVariableIntValue("VELLUMAR_SOAK_CYCLES")
                           : 100;
    const quint32 blocks = 32 * 1024 * 2;          // 32 MiB
    const qint64 fileSize = 4 * 1024 * 1024 + 123; // not a whole number of blocks
    const int countBefore = anyDiskActive.load();
    const QStringList foreignBefore = foreignDevices({});
    const qint64 shmemBefore = RealDisks::shmemKiB();
    QStringList used;
    QElapsedTimer timer;
    timer.start();

    for (int cycle = 0; cycle < cycles; ++cycle) {
        const QByteArray where = "cycle " + QByteArray::number(cycle);
        RecordingDelegate delegate;
        RamDisk disk(blocks, QStringLiteral("soak%1").arg(cycle));
        disk.setDelegate(&delegate);
        const bool created = createDisk(disk);
        guard.keep(disk.device());
        used << disk.device();
        for (const PhaseReport &p : delegate.phases())
            QVERIFY2(p.ok(), qPrintable(QStringLiteral("%1: phase %2 failed: %3")
                                            .arg(QString::fromLatin1(where))
                                            .arg(p.phase)
                                            .arg(p.result)));
        QVERIFY2(created, where);
        QVERIFY2(SystemDisks::isMountPoint(disk.mountPath()), where);
        QCOMPARE(SystemDisks::deviceSizeKiB(disk.device()), qint64(32 * 1024));

        const QString file = disk.mountPath() + QStringLiteral("/data.bin");
        QVERIFY2(writePattern(file, fileSize, unsigned(cycle)), where);
        // Now and then the read must come from the disk itself, not from the page cache.
        if (cycle % 10 == 0)
            dropCaches();
        QVERIFY2(checkPattern(file, fileSize, unsigned(cycle)), where);

        const TeardownOutcome outcome = disk.tearDown();
        QVERIFY2(outcome.finished, qPrintable(outcome.userText));
        QVERIFY2(outcome.unmounted && outcome.removed, where);
        QVERIFY2(!disk.isMountedAndActive(), where);
        QVERIFY2(!QFileInfo::exists(disk.mountPath()), where);
        QVERIFY2(!attachedHere(disk.device(), environment.home()), where);
        QCOMPARE(anyDiskActive.load(), countBefore);
    }
    qInfo("%d cycles of a 32 MiB disk in %lld ms", cycles, timer.elapsed());

    for (const QString &device : stillAttached(used))
        QVERIFY2(!attachedHere(device, environment.home()),
                 qPrintable(device + QStringLiteral(" is still attached")));
    QVERIFY(RealDisks::mountsUnder(environment.home()).isEmpty());
    QCOMPARE(QDir(location).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
    QCOMPARE(anyDiskActive.load(), 0);

    const qint64 difference = settleShmem(shmemBefore, 1024);
    if (foreignDevices({}) != foreignBefore && qAbs(difference) > 1024) {
        qWarning("shared memory moved by %lld KiB while other disks came and went on this "
                 "machine: not ours to judge",
                 difference);
        return;
    }
    QVERIFY2(qAbs(difference) <= 1024,
             qPrintable(QStringLiteral("shared memory is %1 KiB off its start").arg(difference)));
}

QTEST_GUILESS_MAIN(TestSoak)
#include "TestSoak.moc"
