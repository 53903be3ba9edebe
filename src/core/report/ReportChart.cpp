// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report/ReportChart.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace km740 {

void ChartCollector::add(std::optional<LocalSeconds> time, std::optional<double> level)
{
    if (!time)
        return;
    times_.push_back(*time);
    levels_.push_back(level && std::isfinite(*level) ? static_cast<float>(*level)
                                                     : std::numeric_limits<float>::quiet_NaN());
}

ReportChart ChartCollector::reduce(std::size_t columns, double intervalSeconds,
                                   const std::vector<double>& keepInView) const
{
    ReportChart chart;
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    for (double v : keepInView) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    const double interval = intervalSeconds > 0.0 ? intervalSeconds : 1.0;
    if (!times_.empty()) {
        const auto [first, last] = std::minmax_element(times_.begin(), times_.end());
        chart.from = *first;
        chart.spanSeconds = static_cast<double>(*last - *first) + interval;
    }
    const double width = chart.spanSeconds / static_cast<double>(std::max<std::size_t>(columns, 1));

    std::vector<ChartPoint>* run = nullptr;
    long lastColumn = -1;
    // The energy sum of the column being filled.
    double energy = 0.0;
    double readings = 0.0;
    auto closeColumn = [&] {
        if (run && readings > 0)
            run->back().leq = static_cast<float>(10.0 * std::log10(energy / readings));
        energy = 0.0;
        readings = 0.0;
    };
    LocalSeconds previous = 0;
    for (std::size_t i = 0; i < times_.size(); ++i) {
        const float level = levels_[i];
        const LocalSeconds t = times_[i];
        const bool gap = run && static_cast<double>(t - previous) > 2.0 * interval;
        previous = t;
        if (std::isnan(level) || gap) {
            closeColumn();
            run = nullptr;
        }
        if (std::isnan(level))
            continue;
        lo = std::min(lo, static_cast<double>(level));
        hi = std::max(hi, static_cast<double>(level));
        const double seconds = static_cast<double>(t - chart.from);
        const long column = width > 0.0 ? static_cast<long>(seconds / width) : 0;
        if (run && column == lastColumn) {
            run->back().low = std::min(run->back().low, level);
            run->back().high = std::max(run->back().high, level);
        } else {
            closeColumn();
            if (!run) {
                chart.runs.emplace_back();
                run = &chart.runs.back();
            }
            run->push_back({seconds, level, level, level});
            lastColumn = column;
        }
        energy += std::pow(10.0, static_cast<double>(level) / 10.0);
        readings += 1.0;
    }
    closeColumn();
    if (lo <= hi) {
        chart.levelMin = std::max(0.0, std::floor((lo - 5.0) / 10.0) * 10.0);
        chart.levelMax = std::ceil((hi + 5.0) / 10.0) * 10.0;
    }
    return chart;
}

} // namespace km740
