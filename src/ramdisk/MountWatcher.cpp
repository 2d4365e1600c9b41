#include "MountWatcher.h"

#include "SystemLog.h"

#include <QSocketNotifier>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool sameMount(const SystemDisks::Mount &a, const SystemDisks::Mount &b)
{
    return a.mountPoint == b.mountPoint && a.source == b.source && a.fsType == b.fsType;
}

// Takes each of `before` out of `after` once; what is left of each list is what changed.
void subtract(QList<SystemDisks::Mount> &before, QList<SystemDisks::Mount> &after)
{
    for (qsizetype i = before.size() - 1; i >= 0; --i) {
        for (qsizetype j = 0; j < after.size(); ++j) {
            if (sameMount(before.at(i), after.at(j))) {
                before.removeAt(i);
                after.removeAt(j);
                break;
            }
        }
    }
}

} // namespace

MountWatcher::MountWatcher(QObject *parent) : QObject(parent), m_mounts(SystemDisks::mounts())
{
    // The descriptor is only polled: each reading opens the table afresh.
    m_fd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) {
        SystemLog::log(QStringLiteral("Warning: the mount table cannot be watched"));
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Exception, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &MountWatcher::reread);
}

MountWatcher::~MountWatcher()
{
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

bool MountWatcher::couldBeOurDisk(const SystemDisks::Mount &mount)
{
    return SystemDisks::isOurMemoryDevice(mount.source);
}

void MountWatcher::reread()
{
    QList<SystemDisks::Mount> gone = m_mounts;
    m_mounts = SystemDisks::mounts();
    QList<SystemDisks::Mount> appeared = m_mounts;
    subtract(gone, appeared);
    for (const SystemDisks::Mount &mount : std::as_const(gone))
        emit mountGone(mount.mountPoint, mount.source);
    for (const SystemDisks::Mount &mount : std::as_const(appeared)) {
        if (couldBeOurDisk(mount))
            emit diskMountAppeared(mount.mountPoint, mount.source);
    }
}
