// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/charts/ChartDialogs.h"
#include "app/ui/ChartSink.h"

#include <QPointer>

namespace km740 {

class AnalysisHub;
class HistogramWindow;
class PlotWindow;
class WindowContext;

// The chart windows: the real-time chart of the "Graph" key, and the one
// Plot window and one histogram at a time that the file lists show into, as
// the lists of the meter's own program do.
class ChartWindows {
public:
    explicit ChartWindows(WindowContext& context);

    // "Graph": the real-time chart, unless it is open.
    void onGraphKey();

    // The way in for the file lists.
    ChartSink sink();
    // Where the Plot finds the exposure analysis of the file it shows.
    void setAnalysisHub(AnalysisHub* hub) { hub_ = hub; }

private:
    ChartDialogs dialogs() const;
    void showPlot(const PlotRequest& request);
    void showHistogram(const HistogramRequest& request);
    void updateHistogram(const HistogramRequest& request);

    WindowContext& context_;
    QPointer<PlotWindow> plot_;
    QPointer<HistogramWindow> histogram_;
    QPointer<QWidget> histogramFrom_;
    QPointer<AnalysisHub> hub_;
};

} // namespace km740
