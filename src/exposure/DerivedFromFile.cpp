// SPDX-License-Identifier: GPL-3.0-or-later
#include "exposure/DerivedFromFile.h"

#include "files/DataFileReader.h"

#include <memory>

namespace km740 {

namespace {

// Titles of the settings panels of the file list windows.
constexpr std::array<std::string_view, 9> kWindowTitles = {
    "Calibrated dB",   "Time Weight", "Frequency Weight", "Threshold Level", "Criterion Level",
    "Exchange Rate",   "Peak  Value", "Range",            "Calibrated Time"};

std::string levelCell(std::size_t column, const LevelRecord& r)
{
    switch (column) {
    case 0: return std::to_string(r.number);
    case 1: return r.dateTime;
    case 2: return r.level;
    default: return {};
    }
}

PrintGrid pauseGrid(const std::vector<PauseRow>& pauses)
{
    PrintGrid grid;
    grid.rowCount = pauses.size() + 1;
    grid.cell = [&pauses](std::size_t row, std::size_t column) -> std::string {
        if (row == 0)
            return column < datafile::pauseHeader.size() ? std::string(datafile::pauseHeader[column])
                                                         : std::string();
        const PauseRow& p = pauses[row - 1];
        switch (column) {
        case 0: return p.times;
        case 1: return p.pause;
        case 2: return p.release;
        case 3: return p.period;
        default: return {};
        }
    };
    return grid;
}

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

Result<LevelDistribution> levelDistributionOf(const DataFile& file)
{
    const std::vector<LevelRecord>* records = nullptr;
    if (const auto* rt = std::get_if<RealTimeFile>(&file))
        records = &rt->records;
    else if (const auto* lv = std::get_if<LevelLoggerFile>(&file))
        records = &lv->records;
    if (!records)
        return failure(FailureKind::data, "a dose logger set has no level column");
    LevelDistribution distribution;
    for (const auto& r : *records)
        distribution.addCell(r.level);
    return distribution;
}

Result<std::uint64_t> deriveRealTime(const RealTimeFile& file, const Regional& regional,
                      const std::function<void(const LevelRecord&, const ExposureCells&)>& row)
{
    auto values = ExposureValues::create(doseParametersOf(file.settings));
    if (!values)
        return values.error();
    for (const auto& record : file.records)
        row(record, exposureCells(values->addCell(record.level), regional));
    return values->skipped();
}

Result<PrintSource> printSourceOf(const DataFile& file, const Regional& regional)
{
    PrintSource source;
    source.settings = printSettingsOf(settingsOf(file));

    if (const auto* rt = std::get_if<RealTimeFile>(&file)) {
        // Only TWA and Dose of the derived columns are printed.
        auto derived = std::make_shared<std::vector<std::array<std::string, 2>>>();
        derived->reserve(rt->records.size());
        auto done = deriveRealTime(*rt, regional, [&](const LevelRecord&, const ExposureCells& cells) {
            derived->push_back({cells[0], cells[1]});
        });
        if (!done)
            return done.error();
        source.records.rowCount = rt->records.size() + 1;
        source.records.cell = [rt, derived](std::size_t row, std::size_t column) -> std::string {
            if (row == 0) {
                const auto& headers = realTimeListHeaders();
                return column < headers.size() ? std::string(headers[column]) : std::string();
            }
            if (column >= 3)
                return column - 3 < 2 ? (*derived)[row - 1][column - 3] : std::string();
            return levelCell(column, rt->records[row - 1]);
        };
        return source;
    }

    if (const auto* dose = std::get_if<DoseLoggerFile>(&file)) {
        source.pausesShown = !dose->pauses.empty();
        source.pauses = pauseGrid(dose->pauses);
        source.records.rowCount = dose->records.size() + 1;
        source.records.cell = [dose](std::size_t row, std::size_t column) -> std::string {
            if (row == 0) {
                static constexpr std::array<std::string_view, 4> headers = {
                    datafile::numberHeader, datafile::dateTimeHeader, datafile::doseHeader,
                    datafile::twaHeader};
                return column < headers.size() ? std::string(headers[column]) : std::string();
            }
            const DoseRow& r = dose->records[row - 1];
            switch (column) {
            case 0: return r.number;
            case 1: return r.dateTime;
            case 2: return r.dose;
            case 3: return r.twa;
            default: return {};
            }
        };
        return source;
    }

    const auto& level = std::get<LevelLoggerFile>(file);
    source.pausesShown = !level.pauses.empty();
    source.pauses = pauseGrid(level.pauses);
    source.summary = PrintGrid::of({{std::string(datafile::doseHeader), std::string(datafile::twaHeader)},
                                    {level.summary.dose, level.summary.twa}});
    const auto* lv = &level;
    source.records.rowCount = lv->records.size() + 1;
    source.records.cell = [lv](std::size_t row, std::size_t column) -> std::string {
        if (row == 0) {
            static constexpr std::array<std::string_view, 3> headers = {
                datafile::numberHeader, datafile::dateTimeHeader, datafile::levelHeader};
            return column < headers.size() ? std::string(headers[column]) : std::string();
        }
        return levelCell(column, lv->records[row - 1]);
    };
    return source;
}

} // namespace km740
