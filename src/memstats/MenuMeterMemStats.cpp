#include "MenuMeterMemStats.h"

#include "MemStatsSource.h"

#if defined(Q_OS_DARWIN)
#include "MacMemStatsSource.h"
using PlatformMemStatsSource = MacMemStatsSource;
#elif defined(Q_OS_LINUX)
#include "LinuxMemStatsSource.h"
using PlatformMemStatsSource = LinuxMemStatsSource;
#else
#error "No memory statistics source for this system"
#endif

#include <limits>

namespace {

constexpr double kMegabytesPerByte = 9.5367431640625e-07; // exactly 1/1048576

quint64 bytesOf(quint64 pages, quint64 pageSize)
{
    quint64 bytes = 0;
    if (__builtin_mul_overflow(pages, pageSize, &bytes))
        return std::numeric_limits<quint64>::max();
    return bytes;
}

quint64 sumOf(quint64 a, quint64 b)
{
    quint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return std::numeric_limits<quint64>::max();
    return sum;
}

double megabytes(quint64 bytes)
{
    return static_cast<double>(bytes) * kMegabytesPerByte;
}

quint64 widthMask(int bits)
{
    return bits >= 64 || bits <= 0 ? std::numeric_limits<quint64>::max() : (quint64(1) << bits) - 1;
}

// Counts are handed out as signed 64-bit numbers and must never read as negative.
qint64 count(quint64 value)
{
    constexpr auto most = static_cast<quint64>(std::numeric_limits<qint64>::max());
    return static_cast<qint64>(value > most ? most : value);
}

} // namespace

struct MenuMeterMemStats::Private
{
    std::unique_ptr<MemStatsSource> source;
    quint64 totalRAM = 0;
    QString swapPath;
    QString swapPrefix;
    int maxSwapFiles = 0;
    quint64 lastpageins = 0;
    quint64 lastpageouts = 0;
    // False until a reading succeeds: without a baseline there is no interval to report.
    bool hasBaseline = false;
};

MenuMeterMemStats::MenuMeterMemStats()
    : MenuMeterMemStats(std::make_unique<PlatformMemStatsSource>())
{
}

MenuMeterMemStats::MenuMeterMemStats(std::unique_ptr<MemStatsSource> source)
    : d(std::make_unique<Private>())
{
    d->source = std::move(source);
    d->totalRAM = d->source->totalRAM();
    // The first reading sets the baseline, so the first deltas a caller sees start here and
    // not at boot.
    getMemStats();
}

MenuMeterMemStats::~MenuMeterMemStats() = default;

std::optional<QVariantMap> MenuMeterMemStats::getMemStats()
{
    const std::optional<VmCounters> read = d->source->readCounters();
    if (!read)
        return std::nullopt;
    const VmCounters &c = *read;

    // Modular subtraction at the counter's own width: a counter that wrapped still gives the
    // events in between.
    const quint64 mask = widthMask(c.counterBits);
    const quint64 pageins = c.pageins & mask;
    const quint64 pageouts = c.pageouts & mask;
    const quint64 deltapageins = d->hasBaseline ? (pageins - d->lastpageins) & mask : 0;
    const quint64 deltapageouts = d->hasBaseline ? (pageouts - d->lastpageouts) & mask : 0;

    const quint64 freeBytes = bytesOf(sumOf(c.freeCount, c.inactiveCount), c.pageSize);
    const quint64 usedBytes = d->totalRAM > freeBytes ? d->totalRAM - freeBytes : 0;

    QVariantMap stats;
    stats.insert(QStringLiteral("total"), megabytes(d->totalRAM));
    stats.insert(QStringLiteral("free"), megabytes(freeBytes));
    stats.insert(QStringLiteral("used"), megabytes(usedBytes));
    stats.insert(QStringLiteral("active"), megabytes(bytesOf(c.activeCount, c.pageSize)));
    stats.insert(QStringLiteral("inactive"), megabytes(bytesOf(c.inactiveCount, c.pageSize)));
    stats.insert(QStringLiteral("wire"), megabytes(bytesOf(c.wireCount, c.pageSize)));
    stats.insert(QStringLiteral("freepage"), megabytes(bytesOf(c.freeCount, c.pageSize)));
    stats.insert(QStringLiteral("hits"), count(c.hits & mask));
    stats.insert(QStringLiteral("lookups"), count(c.lookups & mask));
    stats.insert(QStringLiteral("pageins"), count(pageins));
    stats.insert(QStringLiteral("pageouts"), count(pageouts));
    stats.insert(QStringLiteral("faults"), count(c.faults & mask));
    stats.insert(QStringLiteral("cowfaults"), count(c.cowFaults & mask));
    stats.insert(QStringLiteral("deltapageins"), count(deltapageins));
    stats.insert(QStringLiteral("deltapageouts"), count(deltapageouts));

    d->lastpageins = pageins;
    d->lastpageouts = pageouts;
    d->hasBaseline = true;
    return stats;
}

std::optional<QVariantMap> MenuMeterMemStats::getSwapStats()
{
    if (d->swapPath.isEmpty())
        _getSwapPath();
    if (d->swapPath.isEmpty())
        return std::nullopt;

    const SwapUsage usage = d->source->measureSwap({d->swapPath, d->swapPrefix});
    if (usage.count > d->maxSwapFiles)
        d->maxSwapFiles = usage.count;

    QVariantMap stats;
    stats.insert(QStringLiteral("swappath"), d->swapPath);
    stats.insert(QStringLiteral("swapcount"), usage.count);
    stats.insert(QStringLiteral("swapcountmax"), d->maxSwapFiles);
    stats.insert(QStringLiteral("swapsize"), usage.bytes * kMegabytesPerByte);
    return stats;
}

void MenuMeterMemStats::_getSwapPath()
{
    const SwapLocation location = d->source->locateSwap();
    d->swapPath = location.path;
    d->swapPrefix = location.prefix;
}
