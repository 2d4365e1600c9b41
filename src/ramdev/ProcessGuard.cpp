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

void setLimit(int resource, rlim_t value)
{
    const rlimit limit{value, value};
    setrlimit(resource, &limit);
}

void resetLimits()
{
    setLimit(RLIMIT_FSIZE, RLIM_INFINITY);
    setLimit(RLIMIT_CPU, RLIM_INFINITY);
    setLimit(RLIMIT_AS, RLIM_INFINITY);
    setLimit(RLIMIT_DATA, RLIM_INFINITY);
    setLimit(RLIMIT_STACK, 8 * MiB);
    setLimit(RLIMIT_NOFILE, 1024);
    setLimit(RLIMIT_CORE, 0);
    setLimit(RLIMIT_MEMLOCK, 8 * MiB);
    setLimit(RLIMIT_NPROC, RLIM_INFINITY);
    setpriority(PRIO_PROCESS, 0, 0);
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

void harden()
{
    resetLimits();
    quietSignals();
    leaveCallersGroup();
    umask(022);
}

void limitTime(unsigned seconds)
{
    // The default action of SIGALRM ends the process, even inside a file system request.
    std::signal(SIGALRM, SIG_DFL);
    alarm(seconds);
}

} // namespace ProcessGuard
