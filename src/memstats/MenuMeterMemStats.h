#pragma once

#include <QString>
#include <QVariantMap>
#include <memory>
#include <optional>

class MemStatsSource;

// Reads the machine's virtual-memory counters and swap areas and hands them out as
// dictionaries: sizes in MiB (double), counters as 64-bit counts, page-in and page-out
// deltas since the previous successful reading.
class MenuMeterMemStats
{
public:
    // Reads the counters of this machine.
    MenuMeterMemStats();
    // Reads from the given source (tests feed fixed counters).
    explicit MenuMeterMemStats(std::unique_ptr<MemStatsSource> source);
    ~MenuMeterMemStats();
    MenuMeterMemStats(const MenuMeterMemStats &) = delete;
    MenuMeterMemStats &operator=(const MenuMeterMemStats &) = delete;

    // Keys "total", "free", "used", "active", "inactive", "wire", "freepage" (MiB, double) and
    // "hits", "lookups", "pageins", "pageouts", "faults", "cowfaults", "deltapageins",
    // "deltapageouts" (qint64). Empty when the counters cannot be read.
    std::optional<QVariantMap> getMemStats();
    // Keys "swappath", "swapcount", "swapcountmax", "swapsize". Empty when no swap location
    // is known.
    std::optional<QVariantMap> getSwapStats();

private:
    // Looks up where the swap files are (once per object).
    void _getSwapPath();

    struct Private;
    std::unique_ptr<Private> d;
};
