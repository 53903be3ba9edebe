// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/DataFile.h"

namespace km740 {

std::string_view dataFileTitle(DataFileKind kind)
{
    switch (kind) {
    case DataFileKind::realTimeData: return "Real Time Data";
    case DataFileKind::realTimeList: return "Real Time List";
    case DataFileKind::doseLogger: return "Data Logger dBL";
    case DataFileKind::levelLogger: return "Data Logger dBS";
    }
    return "Data Logger dBL";
}

bool isRealTime(DataFileKind kind)
{
    return kind == DataFileKind::realTimeData || kind == DataFileKind::realTimeList;
}

std::array<const std::string*, SettingsBlock::count> SettingsBlock::fields() const
{
    return {&calibratedDb, &timeWeight, &freqWeight, &threshold,     &criterion,
            &exchangeRate, &peak,       &range,      &calibratedTime};
}

std::array<std::string*, SettingsBlock::count> SettingsBlock::fields()
{
    return {&calibratedDb, &timeWeight, &freqWeight, &threshold,     &criterion,
            &exchangeRate, &peak,       &range,      &calibratedTime};
}

const std::array<std::string_view, SettingsBlock::count>& settingsTitles(DataFileKind kind)
{
    static constexpr std::array<std::string_view, SettingsBlock::count> realTime = {
        "Calibrated dB", "Time Weight", "Frequency Weight", "Threshold Level", "Criterion Level", "Exchange Rate",
        "Peak Type",     "Range",       "Calibrated Time"};
    static constexpr std::array<std::string_view, SettingsBlock::count> logger = {
        "Calibrated dB", "Time Weight", "Frequency Weight", "Threshold Level", "Criterion Level", "Exchange Rate",
        "Peak  Value",   "Range",       "Calibrated Time"};
    return isRealTime(kind) ? realTime : logger;
}

DataFileKind kindOf(const DataFile& file)
{
    if (const auto* rt = std::get_if<RealTimeFile>(&file))
        return rt->kind;
    if (std::holds_alternative<DoseLoggerFile>(file))
        return DataFileKind::doseLogger;
    return DataFileKind::levelLogger;
}

const SettingsBlock& settingsOf(const DataFile& file)
{
    return std::visit([](const auto& f) -> const SettingsBlock& { return f.settings; }, file);
}

} // namespace km740
