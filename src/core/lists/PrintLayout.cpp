// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lists/PrintLayout.h"

#include "core/common/Regional.h"

#include <algorithm>
#include <cmath>

namespace km740 {

namespace {

const std::string kIndent(10, ' ');
const std::string kSpacer = "-";

constexpr std::size_t kPauseWidth = 12;
constexpr std::size_t kSummaryWidth = 7;
constexpr std::array<std::size_t, 4> kDoseWidths{7, 21, 8, 7};
constexpr std::array<std::size_t, 5> kRealWidths{8, 21, 8, 8, 8};
constexpr std::size_t kLevelNumberWidth = 8;
constexpr std::size_t kLevelDateWidth = 21;
constexpr std::size_t kLevelWidth = 8;
constexpr int kMaxPerRow = 5;

// Dash rules under the header rows.
const std::string kRule48(48, '-');
const std::string kRule15(15, '-');
const std::string kRule69(kLevelNumberWidth + kLevelDateWidth + kMaxPerRow * kLevelWidth, '-');
const std::string kRule53(8 + 21 + 3 * 8, '-');

// A cell padded with spaces to its width; a longer text is kept whole.
void appendCell(std::string& line, std::string_view text, std::size_t width)
{
    line += text;
    if (text.size() < width)
        line.append(width - text.size(), ' ');
}

template <std::size_t N>
std::string gridRow(const PrintGrid& grid, std::size_t row, const std::array<std::size_t, N>& widths)
{
    std::string line = kIndent;
    for (std::size_t c = 0; c < N; ++c)
        appendCell(line, grid.cell ? grid.cell(row, c) : std::string(), widths[c]);
    return line;
}

void printGrid(const PrintGrid& grid, std::size_t columns, std::size_t width, const std::string& rule,
               const PrintSink& sink)
{
    for (std::size_t row = 0; row < grid.rowCount; ++row) {
        std::string line = kIndent;
        for (std::size_t c = 0; c < columns; ++c)
            appendCell(line, grid.cell ? grid.cell(row, c) : std::string(), width);
        sink(line, std::nullopt);
        if (row == 0)
            sink(kIndent + rule, std::nullopt);
    }
}

void printSpacers(int count, const PrintSink& sink)
{
    for (int i = 0; i < count; ++i)
        sink(kSpacer, std::nullopt);
}

void printPauses(const PrintSource& source, const PrintSink& sink)
{
    printSpacers(4, sink);
    if (source.pausesShown)
        printGrid(source.pauses, 4, kPauseWidth, kRule48, sink);
    printSpacers(4, sink);
}

// The header row of the records and its rule.
void printRecordHeader(PrintKind kind, const PrintGrid& records, const PrintSink& sink)
{
    auto cell = [&](std::size_t column) { return records.cell ? records.cell(0, column) : std::string(); };
    switch (kind) {
    case PrintKind::file:
        sink(gridRow(records, 0, kDoseWidths), std::nullopt);
        sink(kIndent + kRule48, std::nullopt);
        break;
    case PrintKind::fileReal:
        sink(gridRow(records, 0, kRealWidths), std::nullopt);
        sink(kIndent + kRule53, std::nullopt);
        break;
    case PrintKind::fileDb: {
        std::string header = kIndent;
        appendCell(header, cell(0), kLevelNumberWidth);
        appendCell(header, cell(1), kLevelDateWidth);
        header += "(" + cell(2) + ")";
        sink(header, std::nullopt);
        sink(kIndent + kRule69, std::nullopt);
        break;
    }
    }
}

template <std::size_t N>
std::string recordLine(std::span<const std::string_view> cells, const std::array<std::size_t, N>& widths)
{
    std::string line = kIndent;
    for (std::size_t c = 0; c < N; ++c)
        appendCell(line, c < cells.size() ? cells[c] : std::string_view(), widths[c]);
    return line;
}

} // namespace

PrintGrid PrintGrid::of(std::vector<std::vector<std::string>> rows)
{
    PrintGrid grid;
    grid.rowCount = rows.size();
    grid.cell = [held = std::move(rows)](std::size_t row, std::size_t column) {
        if (row >= held.size() || column >= held[row].size())
            return std::string();
        return held[row][column];
    };
    return grid;
}

PrintStream::PrintStream(PrintKind kind, int recordsPerRow, PrintSink sink)
    : kind_(kind),
      perRow_(static_cast<std::size_t>(recordsPerRow >= 1 && recordsPerRow <= kMaxPerRow ? recordsPerRow : 1)),
      sink_(std::move(sink))
{
}

void PrintStream::begin(const PrintSource& source)
{
    for (int i = 0; i < 4; ++i)
        sink_(" ", std::nullopt);
    for (const auto& s : source.settings)
        sink_(kSpacer + std::string(9, ' ') + s.title + " : " + s.value, std::nullopt);
    sink_(kSpacer, std::nullopt);
    if (kind_ != PrintKind::fileReal)
        printPauses(source, sink_);
    if (kind_ == PrintKind::fileDb)
        printGrid(source.summary, 2, kSummaryWidth, kRule15, sink_);
    if (source.records.rowCount > 0)
        printRecordHeader(kind_, source.records, sink_);
}

void PrintStream::record(std::size_t row, std::span<const std::string_view> cells)
{
    switch (kind_) {
    case PrintKind::file: sink_(recordLine(cells, kDoseWidths), row); return;
    case PrintKind::fileReal: sink_(recordLine(cells, kRealWidths), row); return;
    case PrintKind::fileDb: break;
    }
    // Level sets: the number and time of the first record of each group of
    // k, then the k levels.
    if (pendingCount_ == 0) {
        pending_ = kIndent;
        appendCell(pending_, cells.size() > 0 ? cells[0] : std::string_view(), kLevelNumberWidth);
        appendCell(pending_, cells.size() > 1 ? cells[1] : std::string_view(), kLevelDateWidth);
    }
    appendCell(pending_, cells.size() > 2 ? cells[2] : std::string_view(), kLevelWidth);
    pendingRow_ = row;
    if (++pendingCount_ == perRow_)
        end();
}

void PrintStream::end()
{
    if (pendingCount_ == 0)
        return;
    sink_(pending_, pendingRow_);
    pending_.clear();
    pendingCount_ = 0;
}

void layOutPrint(PrintKind kind, const PrintSource& source, int recordsPerRow, const PrintSink& sink)
{
    PrintStream stream(kind, recordsPerRow, sink);
    stream.begin(source);
    const std::size_t columns = kind == PrintKind::fileReal ? kRealWidths.size()
                                : kind == PrintKind::file   ? kDoseWidths.size()
                                                            : 3;
    std::array<std::string, 5> texts;
    std::array<std::string_view, 5> cells;
    for (std::size_t row = 1; row < source.records.rowCount; ++row) {
        for (std::size_t c = 0; c < columns; ++c) {
            texts[c] = source.records.cell ? source.records.cell(row, c) : std::string();
            cells[c] = texts[c];
        }
        stream.record(row, std::span<const std::string_view>(cells.data(), columns));
    }
    stream.end();
}

std::vector<std::string> printLines(PrintKind kind, const PrintSource& source, int recordsPerRow)
{
    std::vector<std::string> lines;
    layOutPrint(kind, source, recordsPerRow,
                [&](std::string_view line, std::optional<std::size_t>) { lines.emplace_back(line); });
    return lines;
}

RecordsPerRowAnswer readRecordsPerRow(std::string_view answer)
{
    using Outcome = RecordsPerRowAnswer::Outcome;
    if (answer.empty())
        return {Outcome::cancel, 0};
    if (!hasNumericPrefix(answer))
        return {Outcome::askAgain, 0};
    // The whole answer must be the number: "3x" is not one.
    std::size_t i = 0;
    while (i < answer.size() && answer[i] == ' ')
        ++i;
    std::size_t j = answer.size();
    while (j > i && answer[j - 1] == ' ')
        --j;
    std::string_view core = answer.substr(i, j - i);
    if (core.find_first_not_of("0123456789.+") != std::string_view::npos)
        return {Outcome::askAgain, 0};
    const double value = numericPrefix(core);
    if (!(value >= 1.0 && value <= kMaxPerRow))
        return {Outcome::askAgain, 0};
    return {Outcome::accept, static_cast<int>(std::floor(value))};
}

} // namespace km740
