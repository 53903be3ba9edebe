// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The time-history chart of the report as numbers: the levels over clock
// time reduced to what a page can show, the spans left out, the lines at
// the criteria and the action and limit levels.

#include "core/exposure/LocalTime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace km740 {

// One column of the chart: the lowest and highest level of the readings it
// holds and their equivalent level, at `seconds` from the chart's start.
struct ChartPoint {
    double seconds = 0.0;
    float low = 0.0F;
    float high = 0.0F;
    float leq = 0.0F;
};

struct ChartSpan {
    double fromSeconds = 0.0;
    double toSeconds = 0.0;
    std::string label; // the exclusion's number and reason
};

struct ChartLine {
    double level = 0.0;
    std::string label;
    enum class Kind { action, criterion, limit } kind = Kind::criterion;
};

struct ReportChart {
    LocalSeconds from = 0;    // clock time of the left edge
    double spanSeconds = 0.0; // width of the time axis
    double levelMin = 40.0;   // level axis, dB
    double levelMax = 120.0;
    std::vector<std::vector<ChartPoint>> runs; // unbroken stretches of readings
    std::vector<ChartSpan> excluded;
    std::vector<ChartLine> lines;
    std::string title;
    std::string timeAxis;
    std::string levelAxis;
};

// Keeps the dated readings of a history compactly (12 bytes each) and
// reduces them to chart columns at the end.
class ChartCollector {
public:
    // A reading without a level breaks the line.
    void add(std::optional<LocalSeconds> time, std::optional<double> level);

    // The readings as at most `columns` points per stretch; a stretch ends
    // at a reading without a level and where the time between readings is
    // more than twice `intervalSeconds` (a pause of the logger). The level
    // axis runs in whole tens of dB around the readings and `keepInView`.
    ReportChart reduce(std::size_t columns, double intervalSeconds, const std::vector<double>& keepInView) const;

    std::size_t size() const { return times_.size(); }

private:
    std::vector<LocalSeconds> times_;
    std::vector<float> levels_; // NaN: no level
};

} // namespace km740
