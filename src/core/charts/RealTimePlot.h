// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Regional.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace km740 {

// The layout of the running level chart, in plot units (pixels), from the
// size of the window's drawing surface.
struct RealTimeGeometry {
    static constexpr int margin = 60;     // left of the plot, for the level labels
    static constexpr int gridParts = 16;  // horizontal grid lines divide the height
    static constexpr int columnStep = 30; // vertical grid every 30 units, time every 60

    int plotWidth = 0; // a multiple of 30
    int plotHeight = 0;
    int baseLine = 0; // y of the plot's bottom edge, from the surface's top

    static RealTimeGeometry forSurface(int width, int height);

    // y of horizontal grid line k (0 = base line, 16 = top).
    double gridLineY(int k) const;
    // Surface position of a plot point (x along, y above the base line).
    double screenX(double x) const { return margin + x; }
    double screenY(double y) const { return baseLine - y; }
};

// What one polled level text puts on the chart.
struct ChartSample {
    enum class Kind { level, overload, noReading };
    Kind kind = Kind::noReading;
    double level = 0.0;
};

// "OL" is an overload, kNoValueText (or anything without a number) no reading;
// otherwise the level, read with the regional decimal separator so "85,2"
// is 85.2 dB under a decimal comma.
ChartSample readChartSample(std::string_view levelText, const Regional& regional);

// The vertical limits of the chart, in dB.
struct ChartLimits {
    double maxLevel = 140.0;
    double minLevel = 60.0;
};

// Height above the base line: the level's share of the plot height; an
// overload or a level above the top 5 units above the top, no reading or a
// level below the bottom 3 units below the base line.
double sampleHeight(const ChartSample& sample, const ChartLimits& limits, double plotHeight);

// The nine level labels beside every second grid line, bottom first, one
// decimal with the regional separator ("70.0" / "70,0").
std::array<std::string, 9> levelLabels(const ChartLimits& limits, const Regional& regional);

// The pen's next x: one step on, back to 0 once it reaches the plot width + 2.
double advancePen(double x, double step, int plotWidth);

// What stands at pen position x below the trace.
enum class ColumnMark { none, gridLine, gridLineAndTime };
ColumnMark columnMarkAt(double x);

// The limit panel's checks, in the order the panel makes them; each gives the
// message to show, or nothing when the value may be used.
std::optional<std::string> limitsMessage(double maxLevel, double minLevel);
std::optional<std::string> countsMessage(double count);

// Samples across the plot for a step, as the limit panel shows it.
long long samplesAcross(int plotWidth, double step);

// Warning and alarm levels, each off unless set.
struct AlertLevels {
    std::optional<double> warning;
    std::optional<double> alarm;
};

enum class TraceBand { normal, warning, alarm };

// The band a sample falls in: above the alarm level (an overload always is)
// is alarm, else above the warning level is warning.
TraceBand traceBandOf(const ChartSample& sample, const AlertLevels& levels);

} // namespace km740
