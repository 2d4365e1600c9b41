// Swaps two names in a folder as fast as it can until it is killed: an empty folder and a
// symbolic link, so that a folder checked a moment ago may be a link the next moment.
//
//   race-swapper <folder> <name> <other name>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: race-swapper <folder> <name> <other name>\n");
        return 2;
    }
    const int folder = open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        std::perror("race-swapper");
        return 1;
    }
    // Never outlive the test: gone with the process that started it, and after two minutes.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    alarm(120);
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) {
        // A folder with a volume on it cannot be renamed: keep trying until it is free again.
        if (syscall(SYS_renameat2, folder, argv[2], folder, argv[3], RENAME_EXCHANGE) != 0 &&
            errno != EBUSY) {
            std::perror("race-swapper");
            return 1;
        }
    }
}
