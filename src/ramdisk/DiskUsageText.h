#pragma once

#include "DiskKind.h"
#include "DiskMemoryUse.h"

#include <QString>

// How a disk's kind and the memory it holds are put in words, the same in its window, the tray
// and `vellumarctl list`. Figures that are not known are left out, never guessed.
namespace DiskUsageText {

// "memory", "compressed", "block device": the kind as a sentence names it.
QString kindWord(DiskKind kind);
// "2.75×": at most two decimals, the locale's separator; empty when `ratio` is not above 0.
QString ratio(double ratio);
// "Holds 64 MiB of memory for 176 MiB of data (2.75×)"; "Holds 64 MiB of memory" when the data
// is not known; empty when the memory held is not known.
QString held(const DiskMemoryUse &use);
// The window's line: "Kind: compressed. Holds 64 MiB of memory for 176 MiB of data (2.75×)",
// only the kind when the memory held is not known.
QString kindAndHeld(DiskKind kind, const DiskMemoryUse &use);
// A table's cell: "64 MiB (2.75×)", "64 MiB", or "-" when the memory held is not known.
QString heldCell(const DiskMemoryUse &use);

} // namespace DiskUsageText
