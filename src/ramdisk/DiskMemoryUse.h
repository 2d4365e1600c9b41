#pragma once

#include "DiskKind.h"

#include <QString>

// What a disk holds in memory now, as the kernel counts it for the disk itself (never what its
// file system says is in use): a memory disk's pages, a compressed disk's device memory and the
// data it keeps in that memory. A block disk's memory file belongs to its loop device and cannot
// be measured.
struct DiskMemoryUse
{
    qint64 heldKiB = -1; // memory held now (-1: not known)
    qint64 dataKiB = -1; // a compressed disk's data before compression (-1: not known)

    bool heldKnown() const { return heldKiB >= 0; }
    // How many times larger the data is than the memory holding it; 0 when either figure is
    // unknown or the disk holds nothing yet.
    double ratio() const;

    // The figures as the helper's list gives them: memory held and the ratio (0: not known).
    static DiskMemoryUse listed(qint64 heldKiB, double ratio);
    // Read from the kernel for the disk of `kind` mounted from `device` on `mountPath`; no
    // helper is asked, so it needs no privilege and never waits on one. Unknown unless that
    // volume is the one on top of the mount path now.
    static DiskMemoryUse read(DiskKind kind, const QString &device, const QString &mountPath);
    // A compressed device's mm_stat line, in bytes: the data first, the memory used third.
    static DiskMemoryUse fromZramStats(const QString &line);
};
