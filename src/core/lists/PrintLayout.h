// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace km740 {

// Which file list is printed.
enum class PrintKind {
    file,     // "File": FileList, dose and TWA records
    fileDb,   // "FiledB": FileListdB, levels, k records per line
    fileReal, // "FileReal": FileListReal, the first five columns
};

// One settings line of the printout: a title panel and its value panel.
struct PrintSetting {
    std::string title;
    std::string value;
};

// A grid as the printout reads it: rowCount rows, row 0 the header.
struct PrintGrid {
    std::size_t rowCount = 0;
    std::function<std::string(std::size_t row, std::size_t column)> cell;

    // A grid over rows held in memory.
    static PrintGrid of(std::vector<std::vector<std::string>> rows);
};

// What a file list window puts into its printout.
struct PrintSource {
    // In print order: Calibrated dB, Time Weight, Frequency Weight,
    // Threshold Level, Criterion Level, Exchange Rate, Peak, Range,
    // Calibrated Time.
    std::array<PrintSetting, 9> settings;
    bool pausesShown = false;
    PrintGrid pauses;  // 4 columns, when shown
    PrintGrid summary; // level sets: "Dose", "TWA" and one value row
    PrintGrid records; // the record columns of the window
};

// Receives the printout line by line; `recordRow` is the record grid row a
// line came from (for the caption's progress), empty for the other lines.
using PrintSink = std::function<void(std::string_view line, std::optional<std::size_t> recordRow)>;

// Lays out one copy of the printout as its records arrive, so a file of any
// size prints in flat memory: begin() writes everything down to the record
// rule, record() the lines of the records, end() a last short group of a
// level set.
class PrintStream {
public:
    // recordsPerRow (1..5) is used by the level-set kind only; values
    // outside 1..5 are taken as 1.
    PrintStream(PrintKind kind, int recordsPerRow, PrintSink sink);

    // The settings, the pause list, the summary and the record header row
    // (row 0 of source.records; its other rows are not read).
    void begin(const PrintSource& source);
    // Record grid row `row` (from 1): its cells in column order.
    void record(std::size_t row, std::span<const std::string_view> cells);
    void end();

private:
    PrintKind kind_;
    std::size_t perRow_;
    PrintSink sink_;
    std::string pending_; // level sets: the line being grouped
    std::size_t pendingCount_ = 0;
    std::size_t pendingRow_ = 0;
};

// Lays out one copy of the printout. recordsPerRow (1..5) is used by the
// level-set kind only; values outside 1..5 are taken as 1.
void layOutPrint(PrintKind kind, const PrintSource& source, int recordsPerRow, const PrintSink& sink);

// The same, collected into lines.
std::vector<std::string> printLines(PrintKind kind, const PrintSource& source, int recordsPerRow = 1);

// The answer to "Input record(s) to print in one row (1-5)".
struct RecordsPerRowAnswer {
    enum class Outcome { accept, askAgain, cancel } outcome = Outcome::askAgain;
    int recordsPerRow = 0; // with accept: 1..5
};

// An empty answer cancels; a number from 1 to 5 is taken by its whole part
// ("2.7" -> 2); anything else asks again.
RecordsPerRowAnswer readRecordsPerRow(std::string_view answer);

} // namespace km740
