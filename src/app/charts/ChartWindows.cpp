// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/charts/ChartWindows.h"

#include "app/charts/HistogramWindow.h"
#include "app/charts/PlotWindow.h"
#include "app/charts/RealTimeSLM.h"
#include "app/ui/AnalysisHub.h"
#include "app/ui/WindowContext.h"
#include "app/ui/AppState.h"

namespace km740 {

ChartWindows::ChartWindows(WindowContext& context) : context_(context) {}

ChartDialogs ChartWindows::dialogs() const
{
    ChartDialogs d = ChartDialogs::desktop();
    // Messages go the program's way, so they are shown (or answered) alike.
    if (context_.dialogs().message)
        d.message = context_.dialogs().message;
    return d;
}

void ChartWindows::onGraphKey()
{
    AppState& state = context_.state();
    if (state.chartOpen)
        return;
    WindowContext& context = context_;
    auto* chart = context_.windows().adopt(new RealTimeSLM(
        state, [&context] { return context.regional(); }, context_.mainWindow(), dialogs()));
    state.chartOpen = true;
    chart->show();
}

ChartSink ChartWindows::sink()
{
    return ChartSink{[this](const PlotRequest& r) { showPlot(r); },
                     [this](const HistogramRequest& r) { showHistogram(r); },
                     [this](const HistogramRequest& r) { updateHistogram(r); }};
}

void ChartWindows::showPlot(const PlotRequest& r)
{
    if (plot_) {
        plot_->plot(r.inputs, r.series);
        plot_->raise();
        plot_->activateWindow();
    } else {
        plot_ = context_.windows().adopt(
            PlotWindow::showPlot(context_.state(), r.inputs, r.series, context_.regional(), r.from, dialogs()));
    }
    plot_->setAnalysis(hub_, r.dataPath, r.times);
}

void ChartWindows::showHistogram(const HistogramRequest& r)
{
    if (histogram_)
        histogram_->close();
    histogram_ = context_.windows().adopt(
        HistogramWindow::showHistogram(r.resolution, r.distribution, r.gridLnRows, r.message, r.from, dialogs()));
    histogramFrom_ = r.from;
}

void ChartWindows::updateHistogram(const HistogramRequest& r)
{
    if (!histogram_ || histogramFrom_.isNull() || histogramFrom_ != r.from || histogram_->resolution() != r.resolution)
        return;
    histogram_->showDistribution(r.distribution, r.gridLnRows);
    histogram_->setMessage(r.message);
}

} // namespace km740
