// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A person's week: the daily noise exposure of each day worked and the weekly
// value over five nominal days, LEX,w = 10 lg((1/5) sum 10^(0.1 LEX,8h,d)).

#include "core/archive/ArchiveDates.h"
#include "core/archive/Measurement.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace km740 {

// One measurement's part of a week: its day and LEX,8h.
struct DayExposure {
    std::int64_t id = 0;
    Day day;
    double lex8h = 0.0;
};

struct WeekDay {
    Day day;
    double lex8h = 0.0;  // the day's measurements added as energy
    double points = 0.0; // 100 * 10^((LEX,8h,d - 85) / 10)
    std::vector<std::int64_t> ids;
};

struct WeekExposure {
    std::vector<WeekDay> days;  // in date order
    std::optional<double> lexW; // empty without a day
    double points = 0.0;        // the sum of the daily points
};

// Several measurements on one day are parts of that day's exposure: their
// LEX,8h add as energy.
WeekExposure weekExposure(const std::vector<DayExposure>& measurements);

// The same over archived measurements: each counts on the day it started;
// those without a LEX,8h (dose logger sets) or a start are left out.
WeekExposure weekExposure(const std::vector<Measurement>& measurements);

} // namespace km740
