#include "MacMemStatsSource.h"

#include <QProcess>
#include <QStringList>
#include <mach/mach_host.h>

MacMemStatsSource::MacMemStatsSource() : m_selfHost(mach_host_self()) {}

MacMemStatsSource::~MacMemStatsSource()
{
    // mach_host_self hands out a send right of our own.
    mach_port_deallocate(mach_task_self(), m_selfHost);
}

quint64 MacMemStatsSource::totalRAM()
{
    host_basic_info_data_t info{};
    mach_msg_type_number_t count = HOST_BASIC_INFO_COUNT;
    if (host_info(m_selfHost, HOST_BASIC_INFO, reinterpret_cast<host_info_t>(&info), &count) !=
        KERN_SUCCESS)
        return 0;
    // memory_size stops at 2 GiB; max_mem holds the whole amount.
    return info.max_mem;
}

std::optional<VmCounters> MacMemStatsSource::readCounters()
{
    vm_statistics64_data_t vm{};
    mach_msg_type_number_t count = HOST_VM_INFO64_COUNT;
    if (host_statistics64(m_selfHost, HOST_VM_INFO64, reinterpret_cast<host_info64_t>(&vm),
                          &count) != KERN_SUCCESS)
        return std::nullopt;
    vm_size_t pageSize = 0;
    if (host_page_size(m_selfHost, &pageSize) != KERN_SUCCESS)
        pageSize = vm_page_size;

    VmCounters c;
    c.pageSize = pageSize;
    c.freeCount = vm.free_count;
    c.activeCount = vm.active_count;
    c.inactiveCount = vm.inactive_count;
    c.wireCount = vm.wire_count;
    c.pageins = vm.pageins;
    c.pageouts = vm.pageouts;
    c.faults = vm.faults;
    c.cowFaults = vm.cow_faults;
    c.lookups = vm.lookups;
    c.hits = vm.hits;
    c.counterBits = 64;
    return c;
}

SwapLocation MacMemStatsSource::locateSwap()
{
    QProcess ps;
    ps.start(QStringLiteral("/bin/ps"), {QStringLiteral("-axww")});
    std::optional<QByteArray> output;
    if (ps.waitForStarted(5000)) {
        // A process list that never ends must not hang the caller.
        if (ps.waitForFinished(10000)) {
            output = ps.readAllStandardOutput();
        } else {
            ps.kill();
            ps.waitForFinished(1000);
        }
    }
    return swapLocationFromProcessList(output);
}

SwapUsage MacMemStatsSource::measureSwap(const SwapLocation &location)
{
    return scanSwapFolder(location);
}
