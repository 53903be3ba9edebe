// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/RealTimeList.h"

#include <utility>

namespace km740 {

void RealTimeList::append(long long number, std::string time, std::string level)
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
    case 1: return r.time;
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

} // namespace km740
