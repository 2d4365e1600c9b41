// One refresh of a disk window's memory panel, timed on a real window (offscreen platform), and
// the reading of the memory statistics alone beside it.
//   vellumar-panelbench [rounds]
// Prints "rounds", "refresh_ms" and "stats_ms" (medians).
#include "CreateWindowCtrl.h"
#include "Localization.h"
#include "MenuMeterMemStats.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
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
    // The panel open, so that its figures are really laid out and painted.
    auto *window = ctrl->createWindow();
    auto *figure = window->findChild<QWidget *>(QStringLiteral("totalMemoryField"));
    auto *disclosure = window->findChild<QAbstractButton *>(QStringLiteral("triangleButton"));
    if (figure && disclosure && !figure->isVisible()) {
        disclosure->click();
        QApplication::processEvents();
    }
    const bool open = figure && figure->isVisible();

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
    std::printf("rounds %d\nrefresh_ms %.3f\nstats_ms %.3f\npanel_open %d\n", rounds,
                median(refresh), median(reading), open ? 1 : 0);
    return 0;
}
