#pragma once

#include "MemStatsSource.h"

#include <QString>
#include <string_view>
#include <vector>

// Reads /proc/meminfo, /proc/vmstat and /proc/swaps with plain file reads (no child process).
//
// How the kernel's figures become the counters (meminfo in KiB, turned into pages):
//
//   counter        source
//   total          MemTotal
//   freeCount      MemFree
//   inactiveCount  Inactive(file): page cache the kernel can take back; inactive anonymous
//                  and shared memory (a RAM disk's memory) is not free
//   activeCount    Active + Inactive - Inactive(file)
//   wireCount      Unevictable + SUnreclaim + KernelStack + PageTables: memory the kernel
//                  cannot page out
//   pageins        pgpgin (KiB) in pages
//   pageouts       pgpgout (KiB) in pages
//   faults         pgfault
//   lookups        pgfault
//   hits           pgfault - pgmajfault: faults served from memory
//   cowFaults      0: the kernel does not count them
//
// The counters are 64-bit. Swap: every area in /proc/swaps counts; the location is the folder
// of the first swap file, or "/proc/swaps" itself when the areas are partitions or there are
// none.
class LinuxMemStatsSource : public MemStatsSource
{
public:
    // `procDir` and `pageSize` let tests read prepared files; 0 means the system's page size.
    explicit LinuxMemStatsSource(const QString &procDir = QStringLiteral("/proc"),
                                 quint64 pageSize = 0);
    ~LinuxMemStatsSource() override;
    LinuxMemStatsSource(const LinuxMemStatsSource &) = delete;
    LinuxMemStatsSource &operator=(const LinuxMemStatsSource &) = delete;

    quint64 totalRAM() override;
    std::optional<VmCounters> readCounters() override;
    SwapLocation locateSwap() override;
    SwapUsage measureSwap(const SwapLocation &location) override;

private:
    struct ProcFile
    {
        explicit ProcFile(const QByteArray &filePath) : path(filePath) {}

        QByteArray path;
        int fd = -1;
        std::vector<char> buffer;

        // The whole file, valid until the next read.
        std::optional<std::string_view> read();
        void close();
    };

    ProcFile m_meminfo;
    ProcFile m_vmstat;
    QString m_swapsPath;
    quint64 m_pageSize;
};
