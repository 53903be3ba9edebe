// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the spans an analysis leaves out fall in a list of records: the
// rows they hold, and the span a run of rows stands for.

#include "core/exposure/ExposureSummary.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace km740 {

// The start time of each row of a list, empty where a row's time cannot
// be read.
using RecordTimes = std::vector<std::optional<LocalSeconds>>;

// The rows of a list whose time lies in a span left out, as runs of
// neighbouring rows. A row without a time is never left out, as the
// summary does not leave it out.
class ExcludedRows {
public:
    struct Run {
        std::size_t first = 0; // rows first .. last, both left out
        std::size_t last = 0;
        bool operator==(const Run&) const = default;
    };

    ExcludedRows() = default;
    // `spans` as checkExclusions returns them: sorted, not overlapping.
    static ExcludedRows of(const RecordTimes& times, const std::vector<TimeSpan>& spans);

    bool empty() const { return runs_.empty(); }
    bool contains(std::size_t row) const;
    std::size_t count() const { return count_; }
    const std::vector<Run>& runs() const { return runs_; }

private:
    std::vector<Run> runs_;
    std::size_t count_ = 0;
};

// The time one record stands for: the smallest step between the times of
// neighbouring rows, 1 s when there is none.
LocalSeconds recordStep(const RecordTimes& times);

// The span of rows a .. b (either order, both inside): from the start of the
// first to the end of the last, a record lasting `step`. Rows without a time
// at either end are passed over; empty when no row between has one.
std::optional<TimeSpan> spanOfRows(const RecordTimes& times, std::size_t a, std::size_t b, LocalSeconds step);

} // namespace km740
