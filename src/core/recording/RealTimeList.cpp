// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/recording/RealTimeList.h"

#include <iterator>
#include <utility>

namespace km740 {

void RealTimeList::append(std::int64_t number, std::string time, std::string level)
{
    rows_.push_back(Row{number, std::move(time), std::move(level)});
}

std::string RealTimeList::cell(std::size_t i, int column) const
{
    if (i >= rows_.size())
        return {};
    const Row& r = rows_[i];
    switch (column) {
    case 0: return std::to_string(r.number);
    case 1: return r.dateTime;
    case 2: return r.level;
    default: return {};
    }
}

std::vector<RealTimeList::Row> RealTimeList::take()
{
    std::vector<Row> out;
    out.swap(rows_);
    return out;
}

void RealTimeList::putBack(std::vector<Row> older)
{
    older.insert(older.end(), std::make_move_iterator(rows_.begin()), std::make_move_iterator(rows_.end()));
    rows_.swap(older);
}

} // namespace km740
