// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/charts/ChartKeys.h"

#include "app/charts/HistogramWindow.h"
#include "app/charts/PlotWindow.h"
#include "app/charts/RealTimeSLM.h"
#include "app/files/FileWindows.h"
#include "core/recording/AppState.h"
#include "app/panel/PanelWindow.h"

#include <QPointer>

#include <memory>

namespace km740 {

namespace {

ChartDialogs chartDialogsOf(const PanelWindow& panel)
{
    ChartDialogs d = ChartDialogs::desktop();
    // Messages go the panel's way, so they are shown (or answered) alike.
    if (panel.dialogs().message)
        d.message = panel.dialogs().message;
    return d;
}

// The file list windows plot into one Plot window and show one histogram at
// a time, as the lists of the meter's own program do.
void connectFileLists(PanelWindow& panel)
{
    struct Open {
        QPointer<PlotWindow> plot;
        QPointer<HistogramWindow> histogram;
    };
    auto open = std::make_shared<Open>();
    ChartSink sink;
    sink.showPlot = [&panel, open](const PlotRequest& r) {
        if (open->plot) {
            open->plot->plot(r.inputs, r.series);
            open->plot->raise();
            open->plot->activateWindow();
            return;
        }
        open->plot = PlotWindow::showPlot(panel.state(), r.inputs, r.series, panel.regional(), r.from,
                                          chartDialogsOf(panel));
    };
    sink.showHistogram = [&panel, open](const HistogramRequest& r) {
        if (open->histogram)
            open->histogram->close();
        open->histogram = HistogramWindow::showHistogram(r.resolution, r.distribution, r.gridLnRows, r.message,
                                                         r.from, chartDialogsOf(panel));
    };
    FileWindows::of(panel).setChartSink(std::move(sink));
}

} // namespace

void installChartKeys(PanelWindow& panel)
{
    panel.setKeyHandler(QStringLiteral("Graph"), [&panel] {
        AppState& state = panel.state();
        if (state.chartOpen)
            return;
        auto* chart = new RealTimeSLM(state, [&panel] { return panel.regional(); }, &panel, chartDialogsOf(panel));
        chart->setAttribute(Qt::WA_DeleteOnClose);
        state.chartOpen = true;
        chart->show();
    });
    connectFileLists(panel);
}

} // namespace km740
