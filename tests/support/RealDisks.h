#pragma once

#include <QString>
#include <QStringList>

// Helpers for tests that make real disks: the root check and what is left on the machine.
namespace RealDisks {

bool runningAsRoot();
// Loop devices whose backing file is one of our memory files.
QStringList ourLoopDevices();
// Folders on which something is mounted at or below `root`.
QStringList mountsUnder(const QString &root);
// Shmem in KiB from /proc/meminfo.
qint64 shmemKiB();
// Unmounts whatever is left mounted under `root` and detaches those of its devices that are
// ours (a test's last line of defence).
void cleanUpUnder(const QString &root);

// Whatever happens in the test, nothing of ours stays mounted or attached under `root`.
struct CleanUpGuard
{
    QString root;
    ~CleanUpGuard()
    {
        if (!root.isEmpty())
            cleanUpUnder(root);
    }
};

} // namespace RealDisks

// Use at the top of a real-disk test function.
#define VELLUMAR_REQUIRE_ROOT()                                                                    \
    do {                                                                                           \
        if (!RealDisks::runningAsRoot())                                                           \
            QSKIP("needs root: loop devices and mounts");                                          \
    } while (false)
