// Eight disks ejected at the same moment, each on its own thread, while the main thread goes on
// making disks and reading the active-disk count, as the window and the quit guard do.
#include "MountLocation.h"
#include "RamDisk.h"
#include "RealDisks.h"
#include "ReliabilitySupport.h"
#include "SystemDisks.h"
#include "TestEnvironment.h"
#include "UserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

using namespace Reliability;

class TestConcurrency : public QObject
{
    Q_OBJECT

private slots:
    void ejectAllAtOnceWhileCreating();
};

namespace {

struct Disk
{
    std::unique_ptr<RecordingDelegate> delegate = std::make_unique<RecordingDelegate>();
    std::unique_ptr<RamDisk> disk;
    TeardownOutcome outcome;
};

std::unique_ptr<Disk> makeDisk(const QString &name, MachineGuard &guard)
{
    auto d = std::make_unique<Disk>();
    d->disk = std::make_unique<RamDisk>(16 * 1024 * 2, name); // 16 MiB
    d->disk->setDelegate(d->delegate.get());
    createDisk(*d->disk);
    guard.keep(d->disk->device());
    return d;
}

} // namespace

void TestConcurrency::ejectAllAtOnceWhileCreating()
{
    VELLUMAR_REQUIRE_ROOT();
    TestEnvironment environment;
    MachineGuard guard(environment.home());
    RamDisk::setToolTable(nullptr);
    // Generated mount paths in a folder of the temporary home, where the guard finds whatever
    // is left.
    const QString location = environment.path(QStringLiteral("disks"));
    QVERIFY(QDir().mkpath(location));
    UserDefaults::standard().setObject(location + QLatin1Char('/'), MountPath_pref);
    QCOMPARE(anyDiskActive.load(), 0);

    std::vector<std::unique_ptr<Disk>> first;
    for (int i = 0; i < 8; ++i) {
        first.push_back(makeDisk(QStringLiteral("first%1").arg(i), guard));
        QVERIFY2(SystemDisks::isMountPoint(first.back()->disk->mountPath()),
                 qPrintable(first.back()->delegate->report(2).result));
        QVERIFY(first.back()->disk->isMountedAndActive());
    }
    QCOMPARE(anyDiskActive.load(), 8);

    // Every worker waits at the gate, so that the eight teardowns really overlap.
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    std::atomic<int> done{0};
    std::vector<std::thread> workers;
    for (auto &d : first) {
        Disk *target = d.get();
        workers.emplace_back([target, &ready, &go, &done] {
            ++ready;
            while (!go.load())
                std::this_thread::yield();
            target->outcome = target->disk->tearDown();
            ++done;
        });
    }
    // A failed check returns early: the workers must still be let go and joined first.
    struct Joiner
    {
        std::vector<std::thread> &threads;
        std::atomic<bool> &go;
        ~Joiner()
        {
            go = true;
            for (std::thread &t : threads) {
                if (t.joinable())
                    t.join();
            }
        }
    } joiner{workers, go};
    while (ready.load() < 8)
        std::this_thread::yield();
    go = true;

    // Meanwhile: new disks and constant readings of the count. The count can only be between the
    // disks not yet torn down and all disks made so far.
    std::vector<std::unique_ptr<Disk>> second;
    int readings = 0;
    while (done.load() < 8 || second.size() < 3) {
        if (second.size() < 3)
            second.push_back(makeDisk(QStringLiteral("second%1").arg(second.size()), guard));
        const int made = int(second.size());
        for (int i = 0; i < 200; ++i, ++readings) {
            const int count = anyDiskActive.load();
            QVERIFY2(count >= made && count <= 8 + made,
                     qPrintable(QStringLiteral("count %1 with %2 new disks").arg(count).arg(made)));
        }
    }
    for (std::thread &worker : workers)
        worker.join();
    qInfo("%d readings of the count during the teardowns", readings);

    for (const auto &d : first) {
        QVERIFY2(d->outcome.finished, qPrintable(d->outcome.userText));
        QVERIFY(d->outcome.unmounted && d->outcome.removed);
        QVERIFY(!d->disk->isMountedAndActive());
        QVERIFY(!SystemDisks::isMountPoint(d->disk->mountPath()));
        QVERIFY(!QFileInfo::exists(d->disk->mountPath()));
    }
    for (const auto &d : second) {
        QVERIFY2(d->disk->isMountedAndActive(), qPrintable(d->delegate->report(2).result));
        QVERIFY(SystemDisks::isMountPoint(d->disk->mountPath()));
    }
    QCOMPARE(anyDiskActive.load(), 3);

    // A second eject of a disk whose teardown is running is turned away, and changes nothing.
    RamDisk &busy = *second.front()->disk;
    QVERIFY(busy.beginTeardown());
    const TeardownOutcome refused = busy.tearDown();
    QVERIFY(!refused.finished && !refused.unmounted);
    QVERIFY(SystemDisks::isMountPoint(busy.mountPath()));
    QCOMPARE(anyDiskActive.load(), 3);
    busy.endTeardown();

    for (const auto &d : second) {
        const TeardownOutcome outcome = d->disk->tearDown();
        QVERIFY2(outcome.finished, qPrintable(outcome.userText));
    }
    QCOMPARE(anyDiskActive.load(), 0);
    QVERIFY(RealDisks::mountsUnder(environment.home()).isEmpty());
}

QTEST_GUILESS_MAIN(TestConcurrency)
#include "TestConcurrency.moc"
