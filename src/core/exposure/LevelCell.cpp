// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/LevelCell.h"

#include "core/common/Regional.h"

#include <cmath>

namespace km740 {

namespace {

// The usual cell, "85.3": digits, a point or comma and digits, nothing else.
// Whole and fraction digits divided once give the same double as a full
// parse; anything else takes the general reading.
std::optional<double> plainLevel(std::string_view cell)
{
    long long digits = 0;
    long long scale = 1;
    int count = 0;
    bool point = false;
    for (char c : cell) {
        if (c >= '0' && c <= '9') {
            if (++count > 15)
                return std::nullopt;
            digits = digits * 10 + (c - '0');
            if (point)
                scale *= 10;
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (count == 0)
        return std::nullopt;
    return static_cast<double>(digits) / static_cast<double>(scale);
}

} // namespace

bool isPossibleLevel(double level)
{
    return std::isfinite(level) && level >= kLowestLevel && level <= kHighestLevel;
}

std::optional<double> readLevelCell(std::string_view cell)
{
    std::optional<double> level = plainLevel(cell);
    if (!level && cell.find('-') == std::string_view::npos)
        level = exactNumericPrefix(cell, true);
    if (!level || !isPossibleLevel(*level))
        return std::nullopt;
    return level;
}

} // namespace km740
