#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

// One reading of the virtual-memory counters. Memory figures are page counts; the event
// counters count since boot and wrap at `counterBits` bits.
struct VmCounters
{
    quint64 pageSize = 4096;
    quint64 freeCount = 0;
    quint64 activeCount = 0;
    quint64 inactiveCount = 0;
    quint64 wireCount = 0;
    quint64 pageins = 0;
    quint64 pageouts = 0;
    quint64 faults = 0;
    quint64 cowFaults = 0;
    quint64 lookups = 0;
    quint64 hits = 0;
    // Width of the event counters: 32 where the system keeps them in 32 bits, else 64.
    int counterBits = 64;
};

// Where the swap files are: a folder and the file-name prefix of the files in it.
struct SwapLocation
{
    QString path;
    QString prefix;
};

struct SwapUsage
{
    int count = 0;
    double bytes = 0.0;
};

// Where MenuMeterMemStats gets its figures from: one implementation per platform, and
// FedMemStatsSource for tests.
class MemStatsSource
{
public:
    virtual ~MemStatsSource() = default;

    // Physical memory in bytes, 0 when it cannot be read. Asked once, when the stats start.
    virtual quint64 totalRAM() = 0;
    // One reading of the counters; empty when they cannot be read.
    virtual std::optional<VmCounters> readCounters() = 0;
    // The swap location, looked up once per stats object. An empty path means none is known.
    virtual SwapLocation locateSwap() = 0;
    // The swap areas in `location` now.
    virtual SwapUsage measureSwap(const SwapLocation &location) = 0;

    // The swap files' base path named after "-F" on the pager's line of a process list
    // ("ps -axww" output), or empty when no line names one. Lines are split at "\n" and words
    // at single spaces; the first qualifying line that yields a path wins.
    static std::optional<QString> swapBasePathFromProcessList(const QByteArray &processList);
    // The location from a process list: folder and prefix of the base path found there, or the
    // default "/var/vm/" and "swapfile" (with a log line) when there is none. An empty optional
    // stands for a process list that could not be read at all.
    static SwapLocation swapLocationFromProcessList(const std::optional<QByteArray> &processList);
    // Counts the files below `location.path` whose path relative to it starts with the prefix
    // (folders are not counted, files inside them are) and adds up their sizes.
    static SwapUsage scanSwapFolder(const SwapLocation &location);
};
