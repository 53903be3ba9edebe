// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/files/DataFile.h"

#include <cstddef>
#include <string>
#include <vector>

namespace km740 {

// The rows of the real-time list, column by column (column 0 the record
// number, 1 the date and time, 2 the level). The heading row of the saved
// list is not stored.
class RealTimeList {
public:
    using Row = LevelRecord;
    // Rows shown at once before the list starts scrolling.
    static constexpr std::size_t kVisibleRows = 21;

    void append(std::int64_t number, std::string time, std::string level);
    void clear() { rows_.clear(); }
    std::size_t size() const { return rows_.size(); }
    const Row& row(std::size_t i) const { return rows_[i]; }
    // The text of a cell (column 0..2) of record row i (0 is the first record).
    std::string cell(std::size_t i, int column) const;
    // Gives the rows away (for a save running elsewhere) and empties the list.
    std::vector<Row> take();
    std::vector<Row> copy() const { return rows_; }
    // Puts rows that were taken (and could not be saved) back in front.
    void putBack(std::vector<Row> older);

private:
    std::vector<Row> rows_;
};

} // namespace km740
