// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Regional.h"
#include "core/common/Result.h"
#include "core/exposure/ExcludedRows.h"
#include "core/exposure/ExposureValues.h"
#include "core/exposure/LevelDistribution.h"
#include "core/exposure/PlotInputs.h"
#include "core/files/DataFileReader.h"
#include "core/lists/PrintLayout.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace km740 {

// Many short texts in one buffer: a column of a large list without a heap
// block per cell.
class TextColumn {
public:
    void push(std::string_view text);
    std::string_view at(std::size_t row) const;
    std::size_t size() const { return ends_.size(); }
    void reserve(std::size_t rows, std::size_t charsPerRow);

private:
    std::string chars_;
    std::vector<std::uint64_t> ends_;
};

// What a file list window holds for an opened data file: the header, the
// record columns by column (GridN(0), GridN(1), ...) and, for a real-time
// file, the derived values as numbers. Texts are made only for the cells
// asked for, so a window formats just the rows it paints.
class FileListTable {
public:
    // The table of a data file held in memory: what its file list window
    // shows once the file is written and read back.
    static FileListTable of(const DataFile& file);

    FileListKind window() const { return window_; }
    const DataFileHeader& header() const { return header_; }
    // "Max. dB" lines of the file, for the caption.
    const std::vector<std::string>& captionNotes() const { return captionNotes_; }

    std::size_t rowCount() const { return dateTimes_.size(); }
    int columnCount() const;
    std::string_view columnHeader(int column) const;

    // The text of a cell as the window shows it.
    std::string cell(std::size_t row, int column, const Regional& regional) const;
    // The cell as a number, empty where it holds none (kNoValueText, text).
    std::optional<double> value(std::size_t row, int column) const;

    // The column as a plot series (NaN where a cell holds no number: a gap)
    // with the graph's inputs; empty for the number and date columns.
    struct Plot {
        PlotInputs inputs;
        std::vector<double> series;
    };
    std::optional<Plot> plot(int column) const;

    // The level column counted into a distribution; a dose logger set counts
    // its TWA column. Rows left out of the exposure analysis are not counted.
    LevelDistribution distribution() const;

    // The time each record began, as its date and time cell reads (level
    // lists; a dose logger set has none).
    const RecordTimes& recordTimes() const { return times_; }

    // Rows left out of the exposure analysis: shown greyed, and the running
    // columns of a real-time list (the derived ones, all sums from the first
    // row on) pass over their readings as they pass over a record without a
    // reading. With no rows left out the running columns are the list's own.
    using RunningRow = std::array<double, 9>;
    // The running columns with `rows` left out, worked out from the levels;
    // empty when `cancel` was set. May run on another thread than the one
    // showing the table, as long as nothing changes the table meanwhile.
    std::optional<std::vector<RunningRow>> runningWithout(const ExcludedRows& rows,
                                                          const std::atomic<bool>* cancel = nullptr) const;
    // Shows the rows as left out, with the running columns runningWithout
    // gave for them (ignored for a list without running columns).
    void leaveOut(ExcludedRows rows, std::vector<RunningRow> running);
    const ExcludedRows& leftOut() const { return leftOut_; }

    // The printout's source; the grids read this table, which must outlive it.
    PrintSource printSource(const Regional& regional) const;
    PrintKind printKind() const;

    // Level cells without a reading, left out of the derived sums.
    std::uint64_t skippedLevels() const { return skippedLevels_; }
    // Why the derived columns show kNoValueText, when they do.
    const std::string& derivedProblem() const { return derivedProblem_; }

    // Filling, as the reader streams the file. reserve() takes a guess at
    // the row count so that a large file is not copied as its columns grow.
    void reserve(std::size_t rows);
    void setHeader(const DataFileHeader& header);
    void addLevel(const LevelRecord& record);
    void addDose(const DoseRow& record);
    void addCaptionNote(std::string_view line) { captionNotes_.emplace_back(line); }

private:
    FileListKind window_ = FileListKind::dose;
    DataFileHeader header_;
    std::vector<std::string> captionNotes_;
    TextColumn numbers_; // dose logger: the file's numbers
    TextColumn dateTimes_;
    TextColumn values_;                          // the level, or a dose logger's dose
    TextColumn twas_;                            // dose logger
    std::vector<std::array<double, 9>> derived_; // NaN: kNoValueText
    RecordTimes times_;
    ExcludedRows leftOut_;
    std::vector<RunningRow> derivedLeftOut_; // derived_ with leftOut_ passed over
    const std::vector<RunningRow>& shownDerived() const;
    std::optional<ExposureValues> exposure_;
    std::uint64_t skippedLevels_ = 0;
    std::string derivedProblem_;
};

// Reading a file into a table. `progress` is told the records read so far
// every few thousand records; `cancel` set stops the read, and the table
// holds what was read until then.
struct LoadedTable {
    FileListTable table;
    ReadCounts counts;
    bool cancelled = false;
};
Result<LoadedTable> loadFileListTable(const std::filesystem::path& path,
                                      const std::function<void(std::int64_t records)>& progress = {},
                                      const std::atomic<bool>* cancel = nullptr);

} // namespace km740
