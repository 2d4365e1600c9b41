// One refresh of a disk window's memory panel, timed on a real window (offscreen platform), and
// the reading of the memory statistics alone beside it.
//   vellumar-panelbench [rounds]
// Prints "rounds", "refresh_ms" and "stats_ms" (medians).
#include "CreateWindowCtrl.h"
#include "Localization.h"
#include "MenuMeterMemStats.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Localization::install();
    const int rounds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 51;

    auto ctrl = std::make_shared<CreateWindowCtrl>();
    ctrl->showWindow();
    QApplication::processEvents();

    std::vector<double> refresh;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        ctrl->updateMemory();
        // The refresh is done once the changed views are painted.
        QApplication::processEvents();
        refresh.push_back(double(timer.nsecsElapsed()) / 1e6);
    }

    MenuMeterMemStats stats;
    std::vector<double> reading;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        const auto figures = stats.getMemStats();
        reading.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (!figures)
            return 1;
    }
    std::printf("rounds %d\nrefresh_ms %.3f\nstats_ms %.3f\n", rounds, median(refresh),
                median(reading));
    return 0;
}
