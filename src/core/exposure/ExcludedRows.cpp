// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/ExcludedRows.h"

#include <algorithm>

namespace km740 {

ExcludedRows ExcludedRows::of(const RecordTimes& times, const std::vector<TimeSpan>& spans)
{
    ExcludedRows rows;
    if (spans.empty())
        return rows;
    for (std::size_t r = 0; r < times.size(); ++r) {
        if (!times[r] || !spanHolding(spans, *times[r]))
            continue;
        ++rows.count_;
        if (!rows.runs_.empty() && rows.runs_.back().last + 1 == r)
            rows.runs_.back().last = r;
        else
            rows.runs_.push_back({r, r});
    }
    return rows;
}

bool ExcludedRows::contains(std::size_t row) const
{
    const auto after =
        std::upper_bound(runs_.begin(), runs_.end(), row, [](std::size_t v, const Run& run) { return v < run.first; });
    return after != runs_.begin() && row <= std::prev(after)->last;
}

LocalSeconds recordStep(const RecordTimes& times)
{
    std::optional<LocalSeconds> step;
    for (std::size_t r = 1; r < times.size(); ++r) {
        if (!times[r] || !times[r - 1])
            continue;
        const LocalSeconds d = *times[r] - *times[r - 1];
        if (d > 0 && (!step || d < *step))
            step = d;
    }
    return step.value_or(1);
}

std::optional<TimeSpan> spanOfRows(const RecordTimes& times, std::size_t a, std::size_t b, LocalSeconds step)
{
    if (times.empty())
        return std::nullopt;
    std::size_t first = std::min({a, b, times.size() - 1});
    std::size_t last = std::min(std::max(a, b), times.size() - 1);
    while (first < last && !times[first])
        ++first;
    while (last > first && !times[last])
        --last;
    if (!times[first] || !times[last])
        return std::nullopt;
    const LocalSeconds from = std::min(*times[first], *times[last]);
    const LocalSeconds to = std::max(*times[first], *times[last]) + std::max<LocalSeconds>(step, 1);
    return TimeSpan{from, to};
}

} // namespace km740
