#include "ProcessGuard.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ProcessGuard {
namespace {

constexpr rlim_t MiB = 1024 * 1024;

struct Limit
{
    int resource;
    rlim_t value;  // what the helper sets
    rlim_t fewest; // below this the work could stop half-way
    const char *name;
    const char *shell;
};

constexpr Limit limits[] = {
    {RLIMIT_FSIZE, RLIM_INFINITY, RLIM_INFINITY, "file size", "-f"},
    {RLIMIT_CPU, RLIM_INFINITY, RLIM_INFINITY, "CPU time", "-t"},
    {RLIMIT_AS, RLIM_INFINITY, RLIM_INFINITY, "address space", "-v"},
    {RLIMIT_DATA, RLIM_INFINITY, RLIM_INFINITY, "data size", "-d"},
    {RLIMIT_STACK, 8 * MiB, 1 * MiB, "stack size", "-s"},
    {RLIMIT_NOFILE, 1024, 64, "open files", "-n"},
    {RLIMIT_NPROC, RLIM_INFINITY, 64, "processes", "-u"},
    {RLIMIT_MEMLOCK, 8 * MiB, 0, "locked memory", "-l"},
    {RLIMIT_CORE, 0, 0, "core file size", "-c"},
};

// Sets the limit, or where root may not raise it, the most the hard limit allows; false when
// that is below what the work needs.
bool resetLimit(const Limit &limit)
{
    const rlimit wanted{limit.value, limit.value};
    if (setrlimit(limit.resource, &wanted) == 0)
        return true;
    rlimit now{};
    getrlimit(limit.resource, &now);
    now.rlim_cur = now.rlim_max;
    setrlimit(limit.resource, &now);
    return now.rlim_cur >= limit.fewest;
}

bool resetLimits(std::string &problem)
{
    setpriority(PRIO_PROCESS, 0, 0);
    for (const Limit &limit : limits) {
        if (!resetLimit(limit)) {
            problem = std::string("the disk helper cannot work with the ") + limit.name +
                      " limit you set, and this system does not let it raise it; run it from a "
                      "shell without that limit (ulimit " +
                      limit.shell + " unlimited)";
            return false;
        }
    }
    return true;
}

void quietSignals()
{
    // A closed answer pipe is an error to handle, not a death between two steps; a write to a
    // terminal from the background must go through instead of stopping the helper.
    for (const int ignored : {SIGPIPE, SIGTTOU, SIGTTIN, SIGTSTP, SIGXFSZ, SIGXCPU})
        std::signal(ignored, SIG_IGN);
    sigset_t blocked;
    sigemptyset(&blocked);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP, SIGTTOU, SIGTTIN, SIGUSR1,
                             SIGUSR2, SIGCONT, SIGWINCH})
        sigaddset(&blocked, signal);
    sigprocmask(SIG_BLOCK, &blocked, nullptr);
}

// The caller may own a delegated control group and freeze everything in it; the root group
// is root's alone. Best effort: where control groups are not mounted nothing changes.
void leaveCallersGroup()
{
    const int procs = open("/sys/fs/cgroup/cgroup.procs", O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (procs < 0)
        return;
    const std::string pid = std::to_string(getpid());
    if (write(procs, pid.data(), pid.size()) < 0) {
        // A system that keeps processes out of its root group: stay where we are.
    }
    close(procs);
}

} // namespace

bool harden(std::string &problem)
{
    quietSignals();
    umask(022);
    leaveCallersGroup();
    return resetLimits(problem);
}

void limitTime(unsigned seconds)
{
    // The default action of SIGALRM ends the process, even inside a file system request.
    std::signal(SIGALRM, SIG_DFL);
    alarm(seconds);
}

} // namespace ProcessGuard
