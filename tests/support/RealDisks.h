#pragma once

#include <QString>
#include <QStringList>

// Helpers for tests that make real disks: the root check and what is left on the machine.
namespace RealDisks {

bool runningAsRoot();
// Empty when this user can make real disks (root, or the helper through pkexec), else why not.
QString whyNoDisks();
// Loop devices whose backing file is one of our memory files.
QStringList ourLoopDevices();
// Folders on which something is mounted at or below `root`.
QStringList mountsUnder(const QString &root);
// Shmem in KiB from /proc/meminfo.
qint64 shmemKiB();
// Ejects every disk of ours (by the helper's records) mounted under `root`; as root also
// unmounts whatever else is left there and detaches our devices among them (a test's last line
// of defence).
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

// Use at the top of a test function that makes real disks through the engine.
#define VELLUMAR_REQUIRE_DISKS()                                                                   \
    do {                                                                                           \
        const QString why = RealDisks::whyNoDisks();                                               \
        if (!why.isEmpty())                                                                        \
            QSKIP(qPrintable(QStringLiteral("cannot make real disks here: ") + why));              \
    } while (false)
