#pragma once

#include "MemStatsSource.h"

#include <QByteArray>
#include <optional>

// A source that hands out whatever the test put into it. Keep a raw pointer before handing the
// source to the stats object, which owns it, and change the fields between readings:
//
//     auto fed = std::make_unique<FedMemStatsSource>();
//     FedMemStatsSource *source = fed.get();
//     source->total = 2048ull << 20;
//     source->counters.freeCount = 1000;
//     MenuMeterMemStats stats(std::move(fed));   // takes the first reading (the baseline)
//     source->counters.pageins += 5;
//     stats.getMemStats();                       // "deltapageins" 5
//     source->failing = true;
//     stats.getMemStats();                       // empty; the baseline stays
//
// Swap: the location comes from `processList` as if it were the process list of the machine,
// the files are counted in the real folder it names.
class FedMemStatsSource : public MemStatsSource
{
public:
    // Physical memory in bytes, read once when the stats object starts.
    quint64 total = 1ull << 30;
    // Returned by every reading while `failing` is false.
    VmCounters counters;
    // Makes every reading fail.
    bool failing = false;
    // The process list the swap location is read from; empty stands for a list that cannot be
    // read (the default location is used then).
    std::optional<QByteArray> processList;
    // How many readings were asked for, failed ones included.
    int readings = 0;

    quint64 totalRAM() override { return total; }
    std::optional<VmCounters> readCounters() override
    {
        ++readings;
        if (failing)
            return std::nullopt;
        return counters;
    }
    SwapLocation locateSwap() override { return swapLocationFromProcessList(processList); }
    SwapUsage measureSwap(const SwapLocation &location) override
    {
        return scanSwapFolder(location);
    }
};
