// SPDX-License-Identifier: GPL-3.0-or-later
// Redrawing a plot of a million records after the user zooms or pans: the
// graph view's replot at a typical window size.
#include "app/charts/GraphView.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

using namespace km740;

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_graph";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication a(argc, argv);
    return a;
}

std::vector<double> levels(int n)
{
    std::vector<double> v(static_cast<std::size_t>(n));
    double level = 80.0;
    unsigned seed = 12345;
    for (auto& x : v) {
        seed = seed * 1103515245u + 12345u;
        level += ((seed >> 16) % 21 - 10) * 0.05;
        level = std::clamp(level, 60.0, 120.0);
        x = std::round(level * 10.0) / 10.0;
    }
    return v;
}

// Each iteration zooms to another range (as a zoom rectangle or Reset Scale
// does) and redraws the widget at once.
void BM_RedrawAfterZoom(benchmark::State& state)
{
    app();
    const int n = static_cast<int>(state.range(0));
    GraphView view;
    view.resize(1100, 650);
    view.show();
    view.plotSeries(levels(n));
    view.setAxisRange(2, 60, 130);
    const double spans[] = {1.0, 0.5, 0.1, 0.02};
    int i = 0;
    for (auto _ : state) {
        const double span = spans[i % 4] * n;
        const double from = 1 + (n - span) * ((i * 37) % 100) / 100.0;
        view.setAxisRange(1, from, from + span);
        view.redraw();
        ++i;
    }
    state.SetLabel(std::to_string(n) + " points");
}
BENCHMARK(BM_RedrawAfterZoom)->Arg(345600)->Arg(1000000)->Unit(benchmark::kMillisecond);

} // namespace
