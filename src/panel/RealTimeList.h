// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace km740 {

// The rows of the real-time list, column by column (column 0 the record
// number, 1 the date and time, 2 the level). Row 0 of a saved list is the
// heading row; it is not stored.
class RealTimeList {
public:
    static constexpr const char* kHeadingNumber = "No.s";
    static constexpr const char* kHeadingTime = "     Date Time    ";
    static constexpr const char* kHeadingLevel = "dB";
    // Rows shown at once before the list starts scrolling.
    static constexpr std::size_t kVisibleRows = 21;

    struct Row {
        long long number = 0;
        std::string time;
        std::string level;
    };

    void append(long long number, std::string time, std::string level);
    void clear() { rows_.clear(); }
    std::size_t size() const { return rows_.size(); }
    const Row& row(std::size_t i) const { return rows_[i]; }
    // The text of a cell (column 0..2) of record row i (0 is the first record).
    std::string cell(std::size_t i, int column) const;
    // Gives the rows away (for a save running elsewhere) and empties the list.
    std::vector<Row> take();
    std::vector<Row> copy() const { return rows_; }

private:
    std::vector<Row> rows_;
};

} // namespace km740
