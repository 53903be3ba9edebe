// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/charts/RealTimePlot.h"
#include "core/common/Result.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace km740 {

// One stretch of samples above the alarm level.
struct AlarmPeriod {
    std::string start;     // time of the first sample above the alarm level
    std::string end;       // time of the last one
    double maximum = 0.0;  // highest level in it, dB
    bool overload = false; // an "OL" sample was in it: the maximum is unknown
    bool open = false;     // the level is still above the alarm level
};

// The alarm periods of a running chart. Each sample above the alarm level
// opens a period or extends the open one; a sample at or below it, or one
// without a reading, ends it.
class AlarmLog {
public:
    // Returns true when the sample opened a new period.
    bool add(const ChartSample& sample, double alarmLevel, std::string_view time);
    // The alarm was switched off or the chart stopped: the open period ends.
    void close();
    void clear() { periods_.clear(); }

    const std::vector<AlarmPeriod>& periods() const { return periods_; }

private:
    std::vector<AlarmPeriod> periods_;
};

// "OL" for a period with an overload, else the maximum with one decimal.
std::string alarmMaximumText(const AlarmPeriod& period, const Regional& regional);

// The periods as CSV text: a header line and one line per period, CRLF line
// ends, the maximum with a decimal point whatever the regional settings.
std::string alarmCsv(const std::vector<AlarmPeriod>& periods);

// Writes alarmCsv whole to path, or leaves path as it was.
Status saveAlarmCsv(const std::filesystem::path& path, const std::vector<AlarmPeriod>& periods);

} // namespace km740
