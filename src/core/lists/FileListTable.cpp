// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lists/FileListTable.h"
#include "core/common/Regional.h"

#include "core/lists/DerivedFromFile.h"
#include "core/exposure/DerivedText.h"
#include "core/exposure/LevelCell.h"
#include "core/lists/FileListColumns.h"
#include "core/lists/FilePrintout.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <type_traits>
#include <variant>

namespace km740 {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
constexpr std::int64_t kProgressEvery = 4096;

// Reads a file into a table, reporting progress and minding the cancel flag.
class TableSink : public DataFileSink {
public:
    TableSink(FileListTable& table, const std::function<void(std::int64_t)>& progress, const std::atomic<bool>* cancel)
        : table_(table), progress_(progress), cancel_(cancel)
    {
    }
    bool header(const DataFileHeader& header) override
    {
        table_.setHeader(header);
        table_.reserve(expectedRows_);
        return !cancelled();
    }
    // A record line of a real-time file is some 34 bytes.
    std::size_t expectedRows_ = 0;
    bool levelRecord(const LevelRecord& record) override
    {
        table_.addLevel(record);
        return tick();
    }
    bool doseRecord(const DoseRow& record) override
    {
        table_.addDose(record);
        return tick();
    }
    bool note(std::string_view line) override
    {
        table_.addCaptionNote(line);
        return true;
    }

private:
    bool cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }
    bool tick()
    {
        if (++records_ % kProgressEvery != 0)
            return true;
        if (progress_)
            progress_(records_);
        return !cancelled();
    }

    FileListTable& table_;
    const std::function<void(std::int64_t)>& progress_;
    const std::atomic<bool>* cancel_;
    std::int64_t records_ = 0;
};

} // namespace

void TextColumn::push(std::string_view text)
{
    chars_ += text;
    ends_.push_back(chars_.size());
}

void TextColumn::reserve(std::size_t rows, std::size_t charsPerRow)
{
    ends_.reserve(rows);
    chars_.reserve(rows * charsPerRow);
}

std::string_view TextColumn::at(std::size_t row) const
{
    if (row >= ends_.size())
        return {};
    const std::uint64_t begin = row == 0 ? 0 : ends_[row - 1];
    return std::string_view(chars_).substr(begin, ends_[row] - begin);
}

FileListTable FileListTable::of(const DataFile& file)
{
    DataFileHeader header;
    header.kind = kindOf(file);
    header.title = std::string(dataFileTitle(header.kind));
    header.settings = settingsOf(file);
    if (const auto* dose = std::get_if<DoseLoggerFile>(&file)) {
        header.pauses = dose->pauses;
    } else if (const auto* level = std::get_if<LevelLoggerFile>(&file)) {
        header.pauses = level->pauses;
        header.summary = level->summary;
    }
    FileListTable table;
    table.setHeader(header);
    std::visit(
        [&table](const auto& f) {
            table.reserve(f.records.size());
            for (const auto& record : f.records) {
                if constexpr (std::is_same_v<std::decay_t<decltype(record)>, DoseRow>)
                    table.addDose(record);
                else
                    table.addLevel(record);
            }
        },
        file);
    return table;
}

int FileListTable::columnCount() const
{
    return static_cast<int>(listColumns(window_).size());
}

std::string_view FileListTable::columnHeader(int column) const
{
    const auto columns = listColumns(window_);
    if (column < 0 || column >= static_cast<int>(columns.size()))
        return {};
    return columns[static_cast<std::size_t>(column)].header;
}

void FileListTable::reserve(std::size_t rows)
{
    dateTimes_.reserve(rows, 19);
    values_.reserve(rows, 4);
    if (window_ != FileListKind::dose)
        times_.reserve(rows);
    if (window_ == FileListKind::realTime)
        derived_.reserve(rows);
}

void FileListTable::setHeader(const DataFileHeader& header)
{
    header_ = header;
    window_ = fileListKindOf(header.kind);
    if (window_ == FileListKind::realTime) {
        auto values = ExposureValues::create(doseParametersOf(header.settings));
        if (values)
            exposure_.emplace(std::move(*values));
        else
            derivedProblem_ = values.error().message;
    }
}

void FileListTable::addLevel(const LevelRecord& record)
{
    dateTimes_.push(record.dateTime);
    values_.push(record.level);
    times_.push_back(parseLocalTime(record.dateTime));
    if (window_ != FileListKind::realTime)
        return;
    std::array<double, derivedColumnCount> row;
    row.fill(kNone);
    if (exposure_) {
        row = derivedValues(exposure_->addCell(record.level));
        skippedLevels_ = exposure_->skipped();
    } else if (!readLevelCell(record.level)) {
        ++skippedLevels_;
    }
    derived_.push_back(row);
}

void FileListTable::addDose(const DoseRow& record)
{
    numbers_.push(record.number);
    dateTimes_.push(record.dateTime);
    values_.push(record.dose);
    twas_.push(record.twa);
}

std::string FileListTable::cell(std::size_t row, int column, const Regional& regional) const
{
    if (row >= rowCount())
        return {};
    switch (column) {
    case 0:
        if (window_ == FileListKind::dose)
            return std::string(numbers_.at(row));
        return std::to_string(row + 1);
    case 1: return std::string(dateTimes_.at(row));
    case 2: return std::string(values_.at(row));
    default: break;
    }
    if (window_ == FileListKind::dose)
        return column == 3 ? std::string(twas_.at(row)) : std::string();
    if (window_ == FileListKind::realTime && column >= 3 && column < 3 + derivedColumnCount)
        return derivedCellText(column - 3, shownDerived()[row][static_cast<std::size_t>(column - 3)], regional);
    return {};
}

namespace {

// A dose cell: any finite number (a dose runs past 200 %, which no level
// does); "----" or a cell without a number is no value.
std::optional<double> readDoseCell(std::string_view cell)
{
    if (cell.find('-') != std::string_view::npos || !hasNumericPrefix(cell, true))
        return std::nullopt;
    const double v = numericPrefix(cell, true);
    return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

} // namespace

std::optional<double> FileListTable::value(std::size_t row, int column) const
{
    if (row >= rowCount() || column < 2)
        return std::nullopt;
    if (column == 2)
        return window_ == FileListKind::dose ? readDoseCell(values_.at(row)) : readLevelCell(values_.at(row));
    if (window_ == FileListKind::dose)
        return column == 3 ? readLevelCell(twas_.at(row)) : std::nullopt;
    if (window_ == FileListKind::realTime && column < 3 + derivedColumnCount) {
        const double v = shownDerived()[row][static_cast<std::size_t>(column - 3)];
        return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
    }
    return std::nullopt;
}

std::optional<FileListTable::Plot> FileListTable::plot(int column) const
{
    const std::size_t rows = rowCount();
    const double last = rows > 0 ? value(rows - 1, column).value_or(0.0) : 0.0;
    auto inputs = plotInputs(window_, column, static_cast<int>(rows), header_.settings.range, last);
    if (!inputs)
        return std::nullopt;
    Plot p{*inputs, {}};
    p.series.reserve(rows);
    for (std::size_t r = 0; r < rows; ++r)
        p.series.push_back(value(r, column).value_or(kNone));
    return p;
}

LevelDistribution FileListTable::distribution() const
{
    LevelDistribution d;
    const TextColumn& column = window_ == FileListKind::dose ? twas_ : values_;
    for (std::size_t r = 0; r < column.size(); ++r) {
        if (!leftOut_.empty() && leftOut_.contains(r))
            d.addLeftOut();
        else
            d.addCell(column.at(r));
    }
    return d;
}

const std::vector<FileListTable::RunningRow>& FileListTable::shownDerived() const
{
    return leftOut_.empty() || derivedLeftOut_.size() != derived_.size() ? derived_ : derivedLeftOut_;
}

std::optional<std::vector<FileListTable::RunningRow>>
FileListTable::runningWithout(const ExcludedRows& rows, const std::atomic<bool>* cancel) const
{
    std::vector<RunningRow> running;
    if (window_ != FileListKind::realTime || rows.empty())
        return running;
    auto values = ExposureValues::create(doseParametersOf(header_.settings));
    if (!values)
        return running;
    running.reserve(rowCount());
    // Before the first reading counted, as the list shows a row without one.
    RunningRow before = derivedValues(values->current());
    auto next = rows.runs().begin();
    for (std::size_t r = 0; r < rowCount(); ++r) {
        if (r % kProgressEvery == 0 && cancel && cancel->load(std::memory_order_relaxed))
            return std::nullopt;
        while (next != rows.runs().end() && next->last < r)
            ++next;
        if (next != rows.runs().end() && next->first <= r) {
            // Left out: the sums stand as they were, as for a record without a reading.
            running.push_back(before);
            continue;
        }
        before = derivedValues(values->addCell(values_.at(r)));
        running.push_back(before);
    }
    return running;
}

void FileListTable::leaveOut(ExcludedRows rows, std::vector<RunningRow> running)
{
    leftOut_ = std::move(rows);
    derivedLeftOut_ = leftOut_.empty() ? std::vector<RunningRow>{} : std::move(running);
}

PrintKind FileListTable::printKind() const
{
    return printKindOf(header_.kind);
}

PrintSource FileListTable::printSource(const Regional& regional) const
{
    PrintSource source = printHead(header_);
    source.records.rowCount = rowCount() + 1;
    source.records.cell = [this, regional](std::size_t row, std::size_t column) {
        if (row == 0)
            return std::string(columnHeader(static_cast<int>(column)));
        return cell(row - 1, static_cast<int>(column), regional);
    };
    return source;
}

Result<LoadedTable> loadFileListTable(const std::filesystem::path& path,
                                      const std::function<void(std::int64_t)>& progress,
                                      const std::atomic<bool>* cancel)
{
    LoadedTable loaded;
    TableSink sink(loaded.table, progress, cancel);
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec)
        sink.expectedRows_ = static_cast<std::size_t>(size / 34);
    auto counts = readDataFile(path, sink);
    if (!counts && counts.error().kind == FailureKind::cancelled && cancel && cancel->load()) {
        loaded.cancelled = true;
        loaded.counts.kind = loaded.table.header().kind;
        loaded.counts.records = static_cast<std::int64_t>(loaded.table.rowCount());
        return loaded;
    }
    if (!counts)
        return counts.error();
    loaded.counts = std::move(*counts);
    return loaded;
}

} // namespace km740
