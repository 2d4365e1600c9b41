#pragma once

#include "PhaseRecorder.h"
#include "RamDisk.h"

#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <memory>

// Pieces shared by the reliability tests: a delegate that records the phase reports, a guard
// that leaves the machine as it found it, and runs of the command-line programs.
namespace Reliability {

// Keeps every phase report it receives (from any thread).
using RecordingDelegate = PhaseRecorder;

// Runs the four creation steps in order, as the window does, and says whether all succeeded.
bool createDisk(RamDisk &disk);

// On destruction: unmounts whatever is left under `root`, and detaches the devices handed to
// keep() that are still attached and mounted nowhere. A test's last line of defence, run even
// when the test fails; it leaves other processes' disks alone.
class MachineGuard
{
public:
    explicit MachineGuard(const QString &root);
    ~MachineGuard();
    MachineGuard(const MachineGuard &) = delete;
    MachineGuard &operator=(const MachineGuard &) = delete;
    void keep(const QString &device);

private:
    QString m_root;
    QStringList m_devices;
};

// Our memory devices that are attached right now among `devices`.
QStringList stillAttached(const QStringList &devices);

// Waits until shmem is within `toleranceKiB` of `baselineKiB` (memory of a detached device can
// come back a moment later); returns the last difference in KiB.
qint64 settleShmem(qint64 baselineKiB, qint64 toleranceKiB, int waitMs = 3000);

// What another engineer's work changes on this machine while a test runs: the set of our memory
// devices that are not in `mine`. A change means a shared-memory figure is not ours alone.
QStringList foreignDevices(const QStringList &mine);

// Our memory devices attached since `before` that are mounted nowhere, after giving another
// process's disk that is being made a second to get mounted.
QStringList strayDevices(const QStringList &before);

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
    bool finished = false;
};

// Runs a program of the build (vellumarctl, vellumar-ramdev) with HOME set to `home`.
Run runProgram(const QString &name, const QStringList &arguments, const QString &home,
               int timeoutMs = 60000);
QString programPath(const QString &name);

// Whether the file holds `size` bytes of the pattern written by writePattern with `seed`.
bool writePattern(const QString &path, qint64 size, unsigned seed);
bool checkPattern(const QString &path, qint64 size, unsigned seed);

// Empties the page cache, so that a later read comes from the disk itself.
void dropCaches();

} // namespace Reliability
