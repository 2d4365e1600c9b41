// The disk engine timed inside one running process, as the application uses it: no process
// start-up is counted, only the four creation steps and the teardown of real disks.
//   vellumar-enginebench <KiB> <rounds>
// Prints "create_ms <value>" and "eject_ms <value>" per round. Needs root; mount folders are
// generated under $HOME's mount location.
#include "RamDisk.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

namespace {

class Silent : public RamDiskDelegate
{
public:
    void fase(int phase, bool successful, const QString &result) override
    {
        if (!successful) {
            std::fprintf(stderr, "vellumar-enginebench: phase %d failed: %s\n", phase,
                         qPrintable(result));
            failed = true;
        }
    }
    bool failed = false;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: vellumar-enginebench <KiB> <rounds>\n");
        return 2;
    }
    const quint32 blocks = quint32(QByteArray(argv[1]).toULongLong() * 2);
    const int rounds = QByteArray(argv[2]).toInt();
    QDir().mkpath(QDir::homePath() + QStringLiteral("/Library/Application Support/Vellumar"));

    for (int round = 0; round < rounds; ++round) {
        Silent delegate;
        RamDisk disk(blocks, QStringLiteral("bench"));
        disk.setDelegate(&delegate);
        QElapsedTimer timer;
        timer.start();
        disk.allocateRAM();
        disk.createFilesystem();
        disk.mount();
        disk.showInFinder();
        const double create = double(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        const TeardownOutcome outcome = disk.tearDown();
        const double eject = double(timer.nsecsElapsed()) / 1e6;
        if (delegate.failed || !outcome.finished) {
            std::fprintf(stderr, "vellumar-enginebench: round %d failed: %s\n", round,
                         qPrintable(outcome.userText));
            return 1;
        }
        std::printf("create_ms %.3f\neject_ms %.3f\n", create, eject);
    }
    return 0;
}
