#pragma once

#include "MemStatsSource.h"

#include <mach/mach.h>

// The Mach host counters (64-bit forms), and the swap files found through the pager's command
// line in the process list. Built on Apple systems only.
class MacMemStatsSource : public MemStatsSource
{
public:
    MacMemStatsSource();
    ~MacMemStatsSource() override;
    MacMemStatsSource(const MacMemStatsSource &) = delete;
    MacMemStatsSource &operator=(const MacMemStatsSource &) = delete;

    quint64 totalRAM() override;
    std::optional<VmCounters> readCounters() override;
    SwapLocation locateSwap() override;
    SwapUsage measureSwap(const SwapLocation &location) override;

private:
    mach_port_t m_selfHost;
};
