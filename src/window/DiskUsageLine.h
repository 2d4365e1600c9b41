#pragma once

#include "DiskMemoryUse.h"

#include <QString>
#include <functional>

class DiskSession;

// The window's line about its mounted disk: the disk's kind and the memory it holds now, with a
// compressed disk's ratio. The figures are the kernel's, read in this process at each refresh of
// the window: no helper runs for them, so the line never waits on one nor asks for a password.
class DiskUsageLine
{
public:
    using Source = std::function<DiskMemoryUse(DiskKind kind, const QString &device,
                                               const QString &mountPath)>;

    // Where the figures are read (tests feed their own); an empty source reads the kernel's.
    static void setSource(Source source);
    // The line for the session's disk while it is mounted; empty otherwise.
    static QString of(const DiskSession &session);
};
