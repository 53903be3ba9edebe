// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/charts/RealTimePlot.h"

#include "core/common/NoValue.h"

#include <cmath>

namespace km740 {

namespace {

constexpr int kTopRoom = 100;   // the plot height is the surface height less this
constexpr int kBottomRoom = 27; // the base line stands this far above the bottom
constexpr double kAboveTop = 5.0;
constexpr double kBelowBase = -3.0;
constexpr double kLowestLimit = 60.0;
constexpr double kHighestLimit = 140.0;
constexpr double kFewestCounts = 10.0;
constexpr double kMostCounts = 864000.0;

} // namespace

RealTimeGeometry RealTimeGeometry::forSurface(int width, int height)
{
    RealTimeGeometry g;
    const int across = width - margin;
    g.plotWidth = across > 0 ? across / columnStep * columnStep : 0;
    g.plotHeight = height - kTopRoom > 0 ? height - kTopRoom : 0;
    g.baseLine = height - kBottomRoom;
    return g;
}

double RealTimeGeometry::gridLineY(int k) const
{
    return baseLine - static_cast<double>(k) * plotHeight / gridParts;
}

ChartSample readChartSample(std::string_view levelText, const Regional& regional)
{
    if (levelText.find("OL") != std::string_view::npos)
        return ChartSample{ChartSample::Kind::overload, 0.0};
    const bool comma = regional.decimalComma();
    if (levelText.find(kNoValueText) != std::string_view::npos || !hasNumericPrefix(levelText, comma))
        return ChartSample{};
    const double level = numericPrefix(levelText, comma);
    if (!std::isfinite(level))
        return ChartSample{};
    return ChartSample{ChartSample::Kind::level, level};
}

double sampleHeight(const ChartSample& sample, const ChartLimits& limits, double plotHeight)
{
    switch (sample.kind) {
    case ChartSample::Kind::overload: return plotHeight + kAboveTop;
    case ChartSample::Kind::noReading: return kBelowBase;
    case ChartSample::Kind::level: break;
    }
    if (sample.level > limits.maxLevel)
        return plotHeight + kAboveTop;
    if (sample.level < limits.minLevel)
        return kBelowBase;
    return (sample.level - limits.minLevel) * plotHeight / (limits.maxLevel - limits.minLevel);
}

std::array<std::string, 9> levelLabels(const ChartLimits& limits, const Regional& regional)
{
    std::array<std::string, 9> labels;
    for (int k = 0; k < 9; ++k)
        labels[k] = formatFixed(limits.minLevel + k * (limits.maxLevel - limits.minLevel) / 8.0, 1, regional);
    return labels;
}

double advancePen(double x, double step, int plotWidth)
{
    const double next = x + step;
    return next >= plotWidth + 2 ? 0.0 : next;
}

ColumnMark columnMarkAt(double x)
{
    const auto whole = static_cast<long long>(std::floor(x));
    if (whole % 60 == 0)
        return ColumnMark::gridLineAndTime;
    if (whole % 30 == 0)
        return ColumnMark::gridLine;
    return ColumnMark::none;
}

std::optional<std::string> limitsMessage(double maxLevel, double minLevel)
{
    if (!(maxLevel <= kHighestLimit) || !(minLevel >= kLowestLimit) || !(maxLevel > minLevel))
        return std::string("60 <= dBA <= 140, try again!");
    return std::nullopt;
}

std::optional<std::string> countsMessage(double count)
{
    if (!(count >= kFewestCounts) || !(count <= kMostCounts))
        return std::string("10 <= Counts <= 864000, try again!");
    return std::nullopt;
}

long long samplesAcross(int plotWidth, double step)
{
    if (!(step > 0.0))
        return 0;
    return static_cast<long long>(std::floor(plotWidth / step + 1e-9));
}

TraceBand traceBandOf(const ChartSample& sample, const AlertLevels& levels)
{
    const bool overload = sample.kind == ChartSample::Kind::overload;
    const bool reading = sample.kind == ChartSample::Kind::level;
    if (levels.alarm && (overload || (reading && sample.level > *levels.alarm)))
        return TraceBand::alarm;
    if (levels.warning && (overload || (reading && sample.level > *levels.warning)))
        return TraceBand::warning;
    return TraceBand::normal;
}

} // namespace km740
