// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the file list windows hand to the chart windows. The charts register
// a sink with FileWindows::setChartSink; until one is registered the windows'
// "Plot" and "Ln" are disabled.

#include "core/exposure/ExcludedRows.h"
#include "core/exposure/LevelDistribution.h"
#include "core/exposure/PlotInputs.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace km740 {

// One column of a file list for the Plot window: PlotKind, PlotXMax,
// PlotYMin, PlotYMax, the axis caption, cursor label and decimals in
// `inputs`; the values of rows 1 .. PlotXMax in `series`, NaN where a cell
// holds no number (drawn as a gap).
struct PlotRequest {
    QWidget* from = nullptr; // the file list window
    QString caption;         // the file's name
    PlotInputs inputs;
    std::vector<double> series;
    // The data file and the time of each row, when the list is one whose
    // readings can be left out of its exposure analysis: the Plot then
    // shades the spans left out and can change them.
    QString dataPath;
    std::shared_ptr<const RecordTimes> times;
};

// A level distribution for Histogram (0.1 dB) or Histogram1 (1 dB): the
// counts of the list's level column, the ten GridLn rows ("L(00)\t..." as the
// grid adds them) and the message line (cells left out).
struct HistogramRequest {
    QWidget* from = nullptr;
    QString caption;
    Resolution resolution = Resolution::tenth;
    LevelDistribution distribution;
    std::array<std::string, 10> gridLnRows;
    QString message;
};

struct ChartSink {
    std::function<void(const PlotRequest&)> showPlot;
    std::function<void(const HistogramRequest&)> showHistogram;
    // Counts anew for the histogram the same list opened at the same
    // resolution, if it is still open; nothing otherwise.
    std::function<void(const HistogramRequest&)> updateHistogram;
};

} // namespace km740
