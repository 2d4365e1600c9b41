#include "DiskFollower.h"

#include "MainCtrl.h"
#include "MountWatcher.h"

#include <QDir>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <unistd.h>

DiskFollower::DiskFollower(MainCtrl *main, QObject *parent)
    : QObject(parent), m_main(main), m_watcher(new MountWatcher(this)),
      m_source([] { return DiskInventory::disks(); })
{
    connect(m_watcher, &MountWatcher::mountGone, this, &DiskFollower::mountGone);
    connect(m_watcher, &MountWatcher::diskMountAppeared, this, &DiskFollower::diskMountAppeared);
}

DiskFollower::~DiskFollower() = default;

CreateWindowCtrl *DiskFollower::windowOf(const QString &mountPoint, const QString &source) const
{
    if (!m_main)
        return nullptr;
    const QString point = QDir::cleanPath(mountPoint);
    // A device name identifies a disk; a memory file system's source names no one disk.
    const bool byDevice = source.startsWith(QStringLiteral("/dev/"));
    const QList<CreateWindowCtrl *> windows = m_main->listOfRamDisks();
    for (CreateWindowCtrl *ctrl : windows) {
        const std::shared_ptr<RamDisk> disk = ctrl->disk();
        if (!disk || !disk->isMountedAndActive())
            continue;
        if ((!disk->mountPath().isEmpty() && QDir::cleanPath(disk->mountPath()) == point) ||
            (byDevice && disk->device() == source))
            return ctrl;
    }
    return nullptr;
}

void DiskFollower::mountGone(const QString &mountPoint, const QString &source)
{
    if (!m_main || m_main->isQuitting())
        return;
    // Our own eject is ignored by the window itself.
    if (CreateWindowCtrl *ctrl = windowOf(mountPoint, source)) {
        ctrl->markEjectedElsewhere();
        // A window closed over its disk was kept only for the disk: it goes with it.
        if (!ctrl->isVisible() && !ctrl->disk()->isMountedAndActive())
            ctrl->close();
    }
    emit disksChanged();
}

void DiskFollower::diskMountAppeared(const QString &mountPoint, const QString &source)
{
    if (!m_main || m_main->isQuitting())
        return;
    emit disksChanged();
    // A disk this program made, or one outside the folders it takes disks over in, costs no
    // question to the helper.
    DiskInfo where;
    where.ownerUid = uint(::getuid());
    where.mountPath = mountPoint;
    if (windowOf(mountPoint, source) ||
        !MainCtrl::isAdoptable(where, where.ownerUid, MainCtrl::adoptionRoots()))
        return;
    askForDisks();
}

void DiskFollower::askForDisks()
{
    if (m_asking) {
        m_askAgain = true;
        return;
    }
    m_asking = true;
    m_askAgain = false;
    auto *watcher = new QFutureWatcher<QList<DiskInfo>>(this);
    connect(watcher, &QFutureWatcher<QList<DiskInfo>>::finished, this, [this, watcher] {
        const QList<DiskInfo> disks = watcher->result();
        watcher->deleteLater();
        m_asking = false;
        showNewDisks(disks);
        if (m_askAgain)
            askForDisks();
    });
    watcher->setFuture(QtConcurrent::run(m_source));
}

void DiskFollower::showNewDisks(const QList<DiskInfo> &disks)
{
    if (!m_main || m_main->isQuitting())
        return;
    const QStringList roots = MainCtrl::adoptionRoots();
    for (const DiskInfo &disk : disks) {
        if (MainCtrl::isAdoptable(disk, uint(::getuid()), roots) &&
            !windowOf(disk.mountPath, disk.device))
            m_main->showMountedDisk(disk);
    }
    emit disksChanged();
}
