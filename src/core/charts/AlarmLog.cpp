// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/charts/AlarmLog.h"

#include "core/common/AtomicFile.h"

namespace km740 {

bool AlarmLog::add(const ChartSample& sample, double alarmLevel, std::string_view time)
{
    const bool overload = sample.kind == ChartSample::Kind::overload;
    const bool above = overload || (sample.kind == ChartSample::Kind::level && sample.level > alarmLevel);
    if (!above) {
        close();
        return false;
    }
    const bool opening = periods_.empty() || !periods_.back().open;
    if (opening) {
        AlarmPeriod p;
        p.start = std::string(time);
        p.maximum = overload ? alarmLevel : sample.level;
        p.open = true;
        periods_.push_back(std::move(p));
    }
    AlarmPeriod& p = periods_.back();
    p.end = std::string(time);
    if (overload)
        p.overload = true;
    else if (sample.level > p.maximum)
        p.maximum = sample.level;
    return opening;
}

void AlarmLog::close()
{
    if (!periods_.empty())
        periods_.back().open = false;
}

std::string alarmMaximumText(const AlarmPeriod& period, const Regional& regional)
{
    return period.overload ? std::string("OL") : formatFixed(period.maximum, 1, regional);
}

std::string alarmCsv(const std::vector<AlarmPeriod>& periods)
{
    std::string text = "Start,End,Maximum (dB)\r\n";
    for (const AlarmPeriod& p : periods)
        text += p.start + ',' + p.end + ',' + alarmMaximumText(p, Regional::point()) + "\r\n";
    return text;
}

Status saveAlarmCsv(const std::filesystem::path& path, const std::vector<AlarmPeriod>& periods)
{
    return writeFileAtomically(path, alarmCsv(periods));
}

} // namespace km740
