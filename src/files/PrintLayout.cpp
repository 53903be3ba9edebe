// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/PrintLayout.h"

#include "common/Regional.h"

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

void printDoseRecords(const PrintGrid& records, const PrintSink& sink)
{
    for (std::size_t row = 0; row < records.rowCount; ++row) {
        sink(gridRow(records, row, kDoseWidths), row == 0 ? std::nullopt : std::optional(row));
        if (row == 0)
            sink(kIndent + kRule48, std::nullopt);
    }
}

void printRealRecords(const PrintGrid& records, const PrintSink& sink)
{
    for (std::size_t row = 0; row < records.rowCount; ++row) {
        sink(gridRow(records, row, kRealWidths), row == 0 ? std::nullopt : std::optional(row));
        if (row == 0)
            sink(kIndent + kRule53, std::nullopt);
    }
}

void printLevelRecords(const PrintGrid& records, int perRow, const PrintSink& sink)
{
    auto cell = [&](std::size_t row, std::size_t column) {
        return records.cell ? records.cell(row, column) : std::string();
    };
    if (records.rowCount == 0)
        return;
    std::string header = kIndent;
    appendCell(header, cell(0, 0), kLevelNumberWidth);
    appendCell(header, cell(0, 1), kLevelDateWidth);
    header += "(" + cell(0, 2) + ")";
    sink(header, std::nullopt);
    sink(kIndent + kRule69, std::nullopt);

    const auto k = static_cast<std::size_t>(perRow);
    for (std::size_t first = 1; first < records.rowCount; first += k) {
        std::string line = kIndent;
        appendCell(line, cell(first, 0), kLevelNumberWidth);
        appendCell(line, cell(first, 1), kLevelDateWidth);
        const std::size_t end = std::min(records.rowCount, first + k);
        for (std::size_t row = first; row < end; ++row)
            appendCell(line, cell(row, 2), kLevelWidth);
        sink(line, end - 1);
    }
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

void layOutPrint(PrintKind kind, const PrintSource& source, int recordsPerRow, const PrintSink& sink)
{
    for (int i = 0; i < 4; ++i)
        sink(" ", std::nullopt);
    for (const auto& s : source.settings)
        sink(kSpacer + std::string(9, ' ') + s.title + " : " + s.value, std::nullopt);
    sink(kSpacer, std::nullopt);

    switch (kind) {
    case PrintKind::file:
        printPauses(source, sink);
        printDoseRecords(source.records, sink);
        break;
    case PrintKind::fileDb:
        printPauses(source, sink);
        printGrid(source.summary, 2, kSummaryWidth, kRule15, sink);
        printLevelRecords(source.records,
                          recordsPerRow >= 1 && recordsPerRow <= kMaxPerRow ? recordsPerRow : 1, sink);
        break;
    case PrintKind::fileReal:
        printRealRecords(source.records, sink);
        break;
    }
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
