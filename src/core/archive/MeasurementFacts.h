// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the archive keeps about a data file besides its bytes: its kind and
// settings, when it ran, how long, and the overall noise figures of its
// levels. Read in one pass, so a four-day recording is quick to file.

#include "core/archive/ArchiveDates.h"
#include "core/common/Result.h"
#include "core/files/DataFile.h"

#include <cstdint>
#include <istream>
#include <optional>

namespace km740 {

struct MeasurementFacts {
    DataFileKind kind = DataFileKind::doseLogger;
    SettingsBlock settings;
    std::int64_t records = 0;                    // record lines read
    std::int64_t readings = 0;                   // records that hold a level
    std::optional<LocalSeconds> start;           // first record's time
    std::optional<LocalSeconds> end;             // last record's time plus one interval
    std::int64_t durationSeconds = 0;            // the time the records cover (pauses left out)
    std::optional<std::int64_t> intervalSeconds; // the shortest step between two records
    // Over the readings; empty for a dose logger set, which holds no levels.
    std::optional<double> laeq;
    std::optional<double> lmax;
    std::optional<double> lmin;
    std::optional<double> lex8h;  // LAeq + 10 lg(duration / 8 h)
    std::optional<double> points; // 100 * 10^((LEX,8h - 85) / 10)
};

// Reads a data file of any kind. Fails only for what the reader refuses.
Result<MeasurementFacts> measurementFacts(std::istream& in);

// The daily exposure points of a LEX,8h.
double exposurePoints(double lex8h);

} // namespace km740
