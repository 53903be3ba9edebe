// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Regional.h"
#include "core/exposure/DerivedText.h"
#include "core/exposure/ExposureValues.h"
#include "core/exposure/PlotInputs.h"
#include "core/files/DataFileReader.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace km740 {

// Turns a data file, as it streams from the reader, into the rows of its file
// list window: every column the window shows, the derived ones of a
// real-time file included, as the window's texts. Nothing is kept between
// rows, so any file size streams in flat memory.
class FileRows : public DataFileSink {
public:
    using HeaderHandler = std::function<bool(const DataFileHeader&, FileListKind)>;
    // The cells of one row, in column order; the views last for the call.
    using RowHandler = std::function<bool(std::span<const std::string_view> cells)>;

    FileRows(const Regional& regional, HeaderHandler onHeader, RowHandler onRow);

    bool header(const DataFileHeader& header) override;
    bool levelRecord(const LevelRecord& record) override;
    bool doseRecord(const DoseRow& record) override;

    // Level cells without a reading, left out of the sums.
    std::uint64_t skipped() const { return values_ ? values_->skipped() : 0; }
    // Why the derived columns are empty (kNoValueText), when they are.
    const std::string& derivedProblem() const { return derivedProblem_; }

private:
    Regional regional_;
    HeaderHandler onHeader_;
    RowHandler onRow_;
    bool realTime_ = false;
    std::optional<ExposureValues> values_;
    std::string derivedProblem_;
    char number_[24] = {};
    // The texts of one row's derived cells, side by side.
    std::vector<char> derivedText_ = std::vector<char>(derivedColumnCount * derivedCellMaxChars);
};

} // namespace km740
