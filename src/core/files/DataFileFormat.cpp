// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/DataFileFormat.h"

#include <charconv>

namespace km740::datafile {

namespace {

void appendNumber(std::string& out, std::int64_t n)
{
    char buf[24];
    auto end = std::to_chars(buf, buf + sizeof buf, n).ptr;
    out.append(buf, end);
}

} // namespace

std::string headerLines(DataFileKind kind, const SettingsBlock& settings)
{
    std::string out;
    out.reserve(256);
    out += dataFileTitle(kind);
    out += lineEnd;
    for (int i = 0; i < 3; ++i)
        out += lineEnd;
    const auto& titles = settingsTitles(kind);
    const auto values = settings.fields();
    for (std::size_t i = 0; i < SettingsBlock::count; ++i) {
        out += titles[i];
        out += ':';
        out += *values[i];
        out += lineEnd;
    }
    return out;
}

std::string recordingColumnsLine()
{
    std::string out;
    out += numberHeader;
    out += '\t';
    out += recordingDateTimeHeader;
    out += '\t';
    out += levelHeader;
    out += lineEnd;
    return out;
}

std::string listLine(std::initializer_list<std::string_view> cells)
{
    std::string out;
    std::size_t size = 2;
    for (auto c : cells)
        size += c.size() + 1;
    out.reserve(size);
    for (auto c : cells) {
        out += c;
        out += '\t';
    }
    out += lineEnd;
    return out;
}

std::string levelColumnsLine()
{
    return listLine({numberHeader, dateTimeHeader, levelHeader});
}

std::string doseColumnsLine()
{
    return listLine({numberHeader, dateTimeHeader, doseHeader, twaHeader});
}

std::string pauseColumnsLine()
{
    return listLine({pauseHeader[0], pauseHeader[1], pauseHeader[2], pauseHeader[3]});
}

std::string noPauseLine()
{
    std::string out = "Times\tPause\tRelease Period";
    out += lineEnd;
    return out;
}

std::string summaryColumnsLine()
{
    return listLine({doseHeader, twaHeader});
}

std::string levelRecordLine(const LevelRecord& record)
{
    std::string out;
    out.reserve(record.dateTime.size() + record.level.size() + 16);
    appendNumber(out, record.number);
    out += '\t';
    out += record.dateTime;
    out += '\t';
    out += record.level;
    out += '\t';
    out += lineEnd;
    return out;
}

std::string doseRowLine(const DoseRow& record)
{
    return listLine({record.number, record.dateTime, record.dose, record.twa});
}

std::string pauseRowLine(const PauseRow& row)
{
    return listLine({row.times, row.pause, row.release, row.period});
}

std::string summaryLine(const DoseSummary& summary)
{
    return listLine({summary.dose, summary.twa});
}

std::string pauseCountLine(std::size_t count)
{
    std::string out;
    if (count == 0) {
        out = "0";
    } else {
        out = " ";
        appendNumber(out, static_cast<std::int64_t>(count));
        out += ' ';
    }
    out += lineEnd;
    return out;
}

namespace {

bool emitPauses(const std::vector<PauseRow>& pauses, const LineEmitter& emit)
{
    if (!emit(pauseCountLine(pauses.size()), -1))
        return false;
    if (pauses.empty())
        return emit(noPauseLine(), -1);
    if (!emit(pauseColumnsLine(), -1))
        return false;
    for (const auto& p : pauses)
        if (!emit(pauseRowLine(p), -1))
            return false;
    return true;
}

} // namespace

bool emitLines(const DataFile& file, const LineEmitter& emit)
{
    const DataFileKind kind = kindOf(file);
    if (!emit(headerLines(kind, settingsOf(file)), -1))
        return false;
    if (const auto* rt = std::get_if<RealTimeFile>(&file)) {
        const bool recording = rt->kind == DataFileKind::realTimeData;
        if (!emit(recording ? recordingColumnsLine() : levelColumnsLine(), recording ? -1 : 0))
            return false;
        std::int64_t row = 0;
        for (const auto& r : rt->records)
            if (!emit(levelRecordLine(r), ++row))
                return false;
        return true;
    }
    if (const auto* dose = std::get_if<DoseLoggerFile>(&file)) {
        if (!emitPauses(dose->pauses, emit) || !emit(doseColumnsLine(), 0))
            return false;
        std::int64_t row = 0;
        for (const auto& r : dose->records)
            if (!emit(doseRowLine(r), ++row))
                return false;
        return true;
    }
    const auto& level = std::get<LevelLoggerFile>(file);
    if (!emitPauses(level.pauses, emit) || !emit(summaryColumnsLine(), -1) || !emit(summaryLine(level.summary), -1) ||
        !emit(levelColumnsLine(), 0))
        return false;
    std::int64_t row = 0;
    for (const auto& r : level.records)
        if (!emit(levelRecordLine(r), ++row))
            return false;
    return true;
}

} // namespace km740::datafile
