// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lists/DerivedFromFile.h"

#include "core/files/DataFileReader.h"

namespace km740 {

namespace {

// Titles of the settings panels of the file list windows.
constexpr std::array<std::string_view, 9> kWindowTitles = {"Calibrated dB",   "Time Weight",     "Frequency Weight",
                                                           "Threshold Level", "Criterion Level", "Exchange Rate",
                                                           "Peak  Value",     "Range",           "Calibrated Time"};

} // namespace

DoseParameters doseParametersOf(const SettingsBlock& settings)
{
    return DoseParameters{readNumber(settings.threshold), readNumber(settings.criterion),
                          readNumber(settings.exchangeRate)};
}

FileListKind fileListKindOf(DataFileKind kind)
{
    switch (kind) {
    case DataFileKind::realTimeData:
    case DataFileKind::realTimeList: return FileListKind::realTime;
    case DataFileKind::levelLogger: return FileListKind::level;
    case DataFileKind::doseLogger: return FileListKind::dose;
    }
    return FileListKind::dose;
}

PrintKind printKindOf(DataFileKind kind)
{
    switch (fileListKindOf(kind)) {
    case FileListKind::realTime: return PrintKind::fileReal;
    case FileListKind::level: return PrintKind::fileDb;
    case FileListKind::dose: return PrintKind::file;
    }
    return PrintKind::file;
}

std::array<PrintSetting, 9> printSettingsOf(const SettingsBlock& settings)
{
    std::array<PrintSetting, 9> lines;
    const auto values = settings.fields();
    for (std::size_t i = 0; i < lines.size(); ++i)
        lines[i] = PrintSetting{std::string(kWindowTitles[i]), *values[i]};
    return lines;
}

} // namespace km740
