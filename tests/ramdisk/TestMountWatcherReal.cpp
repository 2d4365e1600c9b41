// The mount table watcher against real mounts (root only): it hears the kernel's signal, and
// tells a mount that may be a disk of ours from any other.
#include "MountWatcher.h"
#include "RealDisks.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sys/mount.h>

namespace {

bool hasSignal(const QSignalSpy &spy, const QString &mountPoint, const QString &source)
{
    for (const QList<QVariant> &arguments : spy) {
        if (arguments.value(0).toString() == mountPoint && arguments.value(1).toString() == source)
            return true;
    }
    return false;
}

// Other programs on the machine may mount meanwhile: only the test's own folder counts.
qsizetype countUnder(const QSignalSpy &spy, const QString &root)
{
    return std::count_if(spy.cbegin(), spy.cend(), [&root](const QList<QVariant> &arguments) {
        return arguments.value(0).toString().startsWith(root + QLatin1Char('/'));
    });
}

} // namespace

class TestMountWatcherReal : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void aMemoryFileSystemComesAndGoes();
    void otherMountsAreOnlyReportedGone();

private:
    bool mountAt(const QString &path, const char *source, const char *type, unsigned long flags);

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_mounted;
};

void TestMountWatcherReal::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestMountWatcherReal::cleanup()
{
    for (auto it = m_mounted.crbegin(); it != m_mounted.crend(); ++it)
        ::umount2(QFile::encodeName(*it).constData(), MNT_DETACH);
    m_mounted.clear();
    m_dir.reset();
}

bool TestMountWatcherReal::mountAt(const QString &path, const char *source, const char *type,
                                   unsigned long flags)
{
    if (!QDir().mkpath(path) ||
        ::mount(source, QFile::encodeName(path).constData(), type, flags, "size=1m") != 0)
        return false;
    m_mounted << path;
    return true;
}

void TestMountWatcherReal::aMemoryFileSystemComesAndGoes()
{
    VELLUMAR_REQUIRE_ROOT();
    MountWatcher watcher;
    QVERIFY(watcher.isWatching());
    QSignalSpy appeared(&watcher, &MountWatcher::diskMountAppeared);
    QSignalSpy gone(&watcher, &MountWatcher::mountGone);
    const QString path = m_dir->filePath(QStringLiteral("disk one"));
    QVERIFY(mountAt(path, "vellumar-mem9999", "tmpfs", 0));
    // Only the event loop runs: the kernel's signal alone brings the news.
    QTRY_VERIFY(hasSignal(appeared, path, QStringLiteral("vellumar-mem9999")));
    QCOMPARE(countUnder(appeared, m_dir->path()), 1);
    QCOMPARE(countUnder(gone, m_dir->path()), 0);

    QVERIFY(::umount2(QFile::encodeName(path).constData(), 0) == 0);
    m_mounted.removeAll(path);
    QTRY_VERIFY(hasSignal(gone, path, QStringLiteral("vellumar-mem9999")));
    QCOMPARE(countUnder(gone, m_dir->path()), 1);
    QCOMPARE(countUnder(appeared, m_dir->path()), 1);
}

void TestMountWatcherReal::otherMountsAreOnlyReportedGone()
{
    VELLUMAR_REQUIRE_ROOT();
    MountWatcher watcher;
    QSignalSpy appeared(&watcher, &MountWatcher::diskMountAppeared);
    QSignalSpy gone(&watcher, &MountWatcher::mountGone);
    // A file system no disk of ours is made of: the helper is not worth asking.
    const QString path = m_dir->filePath(QStringLiteral("other"));
    QVERIFY(mountAt(path, "vellumar-other", "ramfs", 0));
    const auto isMounted = [&watcher, &path] {
        const QList<SystemDisks::Mount> mounts = watcher.mounts();
        return std::any_of(mounts.cbegin(), mounts.cend(),
                           [&path](const SystemDisks::Mount &m) { return m.mountPoint == path; });
    };
    QTRY_VERIFY(isMounted());
    QCOMPARE(countUnder(appeared, m_dir->path()), 0);

    QVERIFY(::umount2(QFile::encodeName(path).constData(), 0) == 0);
    m_mounted.removeAll(path);
    QTRY_VERIFY(hasSignal(gone, path, QStringLiteral("vellumar-other")));
    QCOMPARE(countUnder(gone, m_dir->path()), 1);
    QVERIFY(!isMounted());
}

QTEST_GUILESS_MAIN(TestMountWatcherReal)
#include "TestMountWatcherReal.moc"
