#pragma once

#include <QString>

// The machine's memory as size checks see it, in KiB; -1 where unknown.
struct MachineMemory
{
    qint64 totalKiB = -1;
    qint64 availableKiB = -1;
    qint64 swapKiB = 0;

    // This machine's figures, from /proc/meminfo.
    static MachineMemory read();
    // Figures from the text of a /proc/meminfo.
    static MachineMemory parse(const QString &meminfo);
};
